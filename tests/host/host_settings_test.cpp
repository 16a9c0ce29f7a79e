// Settings of the host: the shared settings file, the variables the module
// reads, and what the host learns from a file and from the journal.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "host/cli/adif_scan.h"
#include "host/os/file_lock.h"
#include "host/services/bstr.h"
#include "host/services/host_core.h"
#include "host/services/journal.h"
#include "host/services/run_signal.h"
#include "host/store/database.h"
#include "host/store/run_settings.h"
#include "host/store/settings_file.h"
#include "tests/host/setting_value.h"
#include "tests/host/temp_folder.h"

namespace quillet::host {
namespace {

// The settings file has the platform's line breaks (CR LF on Windows);
// the text is compared with plain ones.
std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  std::string bytes = text.str();
#ifdef _WIN32
  for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at))
    bytes.erase(at, 1);
#endif
  return bytes;
}

TEST(SettingsFile, SetsKeysAndKeepsEveryOtherLine) {
  TempFolder folder;
  const std::string path = folder.File("quillet.ini");
  std::ofstream(path, std::ios::binary) << "; shared\r\n[Window]\r\nLeft=10\r\n\r\n[adif import]\r\n"
                                           "corr=0\r\nOther=x\r\n\r\n[Last]\r\nA=1\r\n";
  EXPECT_EQ(SettingValue(path, "ADIF Import", "Corr"), "0");
  IniFile file = IniFile::Load(path);
  file.Set("ADIF Import", "ADIF", "/data/a=b.adi");
  file.Set("ADIF Import", "Corr", "2");
  file.Set("New", "K", "v");
  file.Save();
  EXPECT_EQ(ReadText(path),
            "; shared\n[Window]\nLeft=10\n\n[adif import]\nCorr=2\nOther=x\nADIF=/data/a=b.adi\n\n"
            "[Last]\nA=1\n[New]\nK=v\n");
  EXPECT_EQ(SettingValue(path, "ADIF Import", "ADIF"), "/data/a=b.adi");
  EXPECT_EQ(SettingValue(path, "Window", "ADIF"), std::nullopt);
}

TEST(FileLock, ExcludesAnotherHolderUntilReleased) {
  TempFolder folder;
  const std::string path = folder.File("quillet.ini.lock");
  {
    const FileLock first(path, FileLock::Wait::UntilHeld);
    ASSERT_TRUE(first.Held());
    EXPECT_FALSE(FileLock(path, FileLock::Wait::No).Held());
  }
  EXPECT_TRUE(FileLock(path, FileLock::Wait::No).Held());
}

// A run's copy goes with the run; one a killed run left (its lock free) goes
// with the next run, while a live run's stays.
TEST(RunSettings, CopiesOfKilledRunsGoAndLiveOnesStay) {
  TempFolder folder;
  const std::string shared = folder.File("quillet.ini");
  std::string livePath;
  {
    const RunSettings live(shared);
    livePath = live.Path();
    const auto temporary = std::filesystem::path(livePath).parent_path();
    const std::string left = (temporary / "quillet-run-left-over-test.ini").string();
    std::ofstream(left) << "[adif import]\n";
    std::ofstream((temporary / "quillet-run-left-over-test.lock").string());
    const RunSettings next(shared);
    EXPECT_FALSE(std::filesystem::exists(left));
    EXPECT_TRUE(std::filesystem::exists(livePath));
    next.MergeBack("adif import", {});
  }
  EXPECT_FALSE(std::filesystem::exists(livePath));
}

TEST(SettingsFile, AnAbsentFileStartsEmpty) {
  TempFolder folder;
  EXPECT_EQ(SettingValue(folder.File("none.ini"), "ADIF Import", "ADIF"), std::nullopt);
  IniFile file = IniFile::Load(folder.File("none.ini"));
  file.Set("ADIF Import", "Corr", "1");
  file.Save();
  EXPECT_EQ(ReadText(folder.File("none.ini")), "[ADIF Import]\nCorr=1\n");
}

TEST(HostVariablesTest, AnswersTheModulesSettingsThroughTheKernel) {
  TempFolder folder;
  Database db(folder.File("v.sqlite"), Durability::Wal);
  Journal journal(db);
  const HostVariables variables{"MAIN", "DL1QLT", "2099-12-31", "/x/v.ini", "/x"};
  Ref<HostCore> core = MakeRef<HostCore>(db, journal, variables);
  Ref<IHostKernel> kernel = Ref<ICore>::Borrow(core.get()).Query<IHostKernel>(IID_IHostKernel);
  ASSERT_TRUE(kernel);
  const std::pair<const char*, std::string> rows[] = {
      {"LOG.TABLE", "MAIN"},
      {"LOG.OPERATOR", "DL1QLT"},
      {"LOG.EXPIRE", "2099-12-31"},
      {"APPINI", "/x/v.ini"},
      {"DOWNLOAD", "/x"},
      {"APPLICATION", "Quillet host"},
      {"APPVERSION", QUILLET_PROJECT_VERSION},
      {"LOG.UNKNOWN", ""},
      {"log.table", ""},
  };
  for (const auto& [name, expected] : rows) {
    BSTR nameText = NewBstr(name);
    OwnedBstr value;
    ASSERT_EQ(kernel->GetVariable(nameText, value.put()), S_OK);
    EXPECT_EQ(value.Utf8(), expected) << name;
    SysFreeString(nameText);
  }
  std::int32_t version = 0;
  core->GetVersion(&version);
  EXPECT_GE(version, 104019);
}

TEST(JournalTest, RecognisesTheCompletedRunAndKeepsEveryLine) {
  EXPECT_TRUE(IsProcessedLine("Exec: Append ADIF data into current log, /a/b.adi processed (00:00:01)"));
  EXPECT_FALSE(IsProcessedLine("Exec: Append ADIF data into current log, /a/b.adi failed."));
  EXPECT_FALSE(IsProcessedLine("Warning: ADIF errors found, saved in b.err"));

  TempFolder folder;
  Database db(folder.File("j.sqlite"), Durability::Wal);
  Journal journal(db);
  journal.Add("first");
  journal.Add("second");
  EXPECT_EQ(QueryInteger(db, "SELECT COUNT(*) FROM JOURNAL WHERE STAMP LIKE '____-__-__ __:__:__'"), 2);
}

// The operator of a real dialog waits for this signal after "Append".
TEST(JournalTest, SignalsTheRunsEndByItsJournalLineOrAMessage) {
  TempFolder folder;
  Database db(folder.File("s.sqlite"), Durability::Wal);
  Journal journal(db);
  HostKernel kernel(journal, HostVariables{});
  RunSignal runEnded;
  kernel.SetRunEnded(&runEnded);
  const auto raisedBy = [&](auto call) {
    runEnded.Reset();
    call();
    return runEnded.WaitFor(std::chrono::milliseconds(0));
  };
  const auto line = [&](const char* text) {
    return [&kernel, text] {
      BSTR bstr = NewBstr(text);
      kernel.AddLogLine(bstr);
      SysFreeString(bstr);
    };
  };
  EXPECT_FALSE(raisedBy(line("Warning: ADIF errors found, saved in b.err")));
  EXPECT_TRUE(raisedBy(line("Exec: Append ADIF data into current log, /a/b.adi processed (00:00:01)")));
  EXPECT_TRUE(raisedBy(line("Exec: Append ADIF data into current log, /a/b.adi failed.")));
  EXPECT_TRUE(IsFailedLine("Exec: Append ADIF data into current log, /a/b.adi failed."));
  EXPECT_FALSE(IsFailedLine("Exec: Append ADIF data into current log, /a/b.adi processed (00:00:01)"));
  EXPECT_TRUE(raisedBy([&] {
    BSTR text = NewBstr("You need to load actual dictionary data");
    BSTR caption = NewBstr("Missing information");
    std::int32_t answer = 0;
    EXPECT_EQ(kernel.ShowMessageBox(text, caption, 1, 4, &answer), S_OK);
    EXPECT_EQ(answer, 1);
    SysFreeString(text);
    SysFreeString(caption);
  }));
  kernel.SetRunEnded(nullptr);
}

TEST(MenuManagerTest, RemovingACommandClearsTheCallersVariable) {
  Ref<MenuManager> menus = MakeRef<MenuManager>();
  IMenuItem* item = nullptr;
  ASSERT_EQ(menus->CreateMenuItem(&item), S_OK);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(menus->Items().size(), 1u);
  item->SetEnabled(kTrue);
  Flag enabled = 0;
  item->GetEnabled(&enabled);
  EXPECT_NE(enabled, kFalse);
  ASSERT_EQ(menus->RemoveMenuItem(&item), S_OK);
  EXPECT_EQ(item, nullptr);
  EXPECT_TRUE(menus->Items().empty());
}

}  // namespace
}  // namespace quillet::host

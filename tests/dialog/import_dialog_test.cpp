// The import dialog driven through its controls, handler by handler, over
// a fake host.
#include "dialog/import_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/portable/ini_file.h"
#include "platform/ui/application.h"
#include "runtime/text.h"
#include "support/fake_core.h"
#include "support/fake_host.h"

namespace quillet {
namespace {

using testing::FakeCore;
using testing::FakeHost;

std::u16string Wide(const std::filesystem::path& path) { return Utf8ToUtf16(path.string()); }

class ImportDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        std::filesystem::temp_directory_path() /
        ("quillet_dialog_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(folder_ / "downloads");
    source_ = Wide(folder_ / "log.adi");
    other_ = Wide(folder_ / "other.adif");
    ASSERT_TRUE(WriteWholeFile(source_, "<ADIF_VER:5>3.1.0 <EOH>\r\n"));
    ASSERT_TRUE(WriteWholeFile(other_, "<EOH>\r\n"));
    iniPath_ = Wide(folder_ / "host.ini");
    host_.SetVariable(u"DOWNLOAD", Wide(folder_ / "downloads"));
    host_.SetVariable(u"APPLICATION", u"Host");
    core_.SetHost(host_.Kernel(), host_.Server());
    previousHook_ = ui::SetErrorBoxHook([this](std::u16string_view text) { errorBoxes_.emplace_back(text); });
    dialog_ = std::make_unique<TfrmQuillet>(&core_);
    dialog_->HostKernel = ComPtr<IHostKernel>::Borrow(host_.Kernel());
    dialog_->HostServer = ComPtr<IHostServer>::Borrow(host_.Server());
    dialog_->LogName = u"MYLOG";
    dialog_->LogOperator = u"K1ABC";
    dialog_->IniPath = iniPath_;
    dialog_->IniSection = u"ADIF Import";
    dialog_->SetCaption(u"Append ADIF data into current log");
  }
  void TearDown() override {
    dialog_.reset();
    ui::SetErrorBoxHook(previousHook_);
    ui::ClearFileOpenAnswer();
    std::filesystem::remove_all(folder_);
    EXPECT_EQ(core_.RefCount(), 0);
    EXPECT_EQ(core_.windows.RefCount(), 0);
    EXPECT_EQ(host_.RefCount(), 0);
  }

  TfrmQuillet& Dialog() { return *dialog_; }
  bool AppendEnabled() { return dialog_->dbtGetADIF.OkEnabled(); }
  // The settings file holds the mode as its number.
  void Remember(std::u16string_view path, CorrectionMode mode) { Remember(path, static_cast<int>(mode)); }
  void Remember(std::u16string_view path, int mode) {
    IniFile ini(iniPath_);
    ini.WriteString(u"ADIF Import", u"ADIF", path);
    ini.WriteInteger(u"ADIF Import", u"Corr", mode);
  }
  std::u16string Remembered(std::u16string_view key) {
    return IniFile(iniPath_).ReadString(u"ADIF Import", key, u"<none>");
  }

  std::filesystem::path folder_;
  std::u16string source_;
  std::u16string other_;
  std::u16string iniPath_;
  FakeHost host_;
  FakeCore core_;
  std::vector<std::u16string> errorBoxes_;
  ui::ErrorBoxHook previousHook_;
  std::unique_ptr<TfrmQuillet> dialog_;
};

TEST_F(ImportDialogTest, FirstUseShowsDownloadFolderModeZeroAndAppendDisabled) {
  Dialog().Activate();
  EXPECT_EQ(Dialog().edSource.Text(), Wide(folder_ / "downloads"));
  EXPECT_EQ(Dialog().cbProve.ItemIndex(), 0);
  EXPECT_EQ(Dialog().cbProve.Items().at(2), u"correct data format and fill necessary fields");
  EXPECT_FALSE(AppendEnabled());
  EXPECT_TRUE(Dialog().mProgress.Text().empty());
  EXPECT_EQ(Dialog().dbtGetADIF.OkCaption(), u"Append");
  EXPECT_EQ(Dialog().dbtGetADIF.CancelCaption(), u"Close");
  EXPECT_NE(Dialog().ErrorFileHeader().find(u"<PROGRAMID:4>Host"), std::u16string::npos);
}

#ifdef _WIN32
// Windows file names drop trailing blanks: "log.adi " opens log.adi.
constexpr bool kTrailingBlankNamesTheFile = true;
#else
constexpr bool kTrailingBlankNamesTheFile = false;
#endif

TEST_F(ImportDialogTest, AppendFollowsTheSourceText) {
  Dialog().Activate();
  const struct {
    std::u16string text;
    bool enabled;
  } rows[] = {
      {source_, true},
      {u" " + source_, false},  // a leading blank names no file
      {source_ + u" ", kTrailingBlankNamesTheFile},
      {Wide(folder_), false},  // a folder is not a file
      {u"   ", false},
      {other_, true},
  };
  for (const auto& row : rows) {
    Dialog().edSource.SetText(row.text);
    EXPECT_EQ(AppendEnabled(), row.enabled) << Utf16ToUtf8(row.text);
  }
}

TEST_F(ImportDialogTest, CompletedRunKeepsAppendDisabledUntilNextActivation) {
  Remember(source_, CorrectionMode::None);
  Dialog().Activate();
  ASSERT_TRUE(AppendEnabled());
  Dialog().dbtGetADIF.ClickOk();
  EXPECT_TRUE(errorBoxes_.empty());
  EXPECT_TRUE(Dialog().RunFlag);
  EXPECT_NE(Dialog().mProgress.Text().find(u"* Import: log.adi"), std::u16string::npos);
  EXPECT_TRUE(Dialog().dbtGetADIF.CancelFocused());
  EXPECT_EQ(ui::WaitCursorDepth(), 0);
  Dialog().edSource.SetText(other_);
  EXPECT_FALSE(AppendEnabled());
  Dialog().Activate();
  EXPECT_TRUE(AppendEnabled());
  EXPECT_FALSE(Dialog().RunFlag);
}

TEST_F(ImportDialogTest, SettingsAreRememberedOnlyAfterARun) {
  Remember(source_, CorrectionMode::Format);
  Dialog().Activate();
  EXPECT_EQ(Dialog().cbProve.ItemIndex(), static_cast<int>(CorrectionMode::Format));
  Dialog().edSource.SetText(other_);
  Dialog().dbtGetADIF.ClickCancel();  // closes: no run, nothing stored
  EXPECT_EQ(Remembered(u"ADIF"), source_);

  Dialog().Activate();
  Dialog().dbtGetADIF.ClickOk();
  Dialog().edSource.SetText(u"changed after the run");
  Dialog().cbProve.SetItemIndex(0);
  Dialog().dbtGetADIF.ClickCancel();
  EXPECT_EQ(Remembered(u"ADIF"), u"changed after the run");
  EXPECT_EQ(Remembered(u"Corr"), u"0");
}

// The window is remembered in minutes; a value that is none of the list's
// reads as the exact minute.
TEST_F(ImportDialogTest, MatchWindowIsRememberedInMinutes) {
  Remember(source_, CorrectionMode::Format);
  Dialog().Activate();
  EXPECT_EQ(Dialog().cbWindow.ItemIndex(), 0);
  EXPECT_EQ(Dialog().cbWindow.Items().at(4), u"15 minutes");
  IniFile(iniPath_).WriteInteger(u"ADIF Import", u"Window", 5);
  Dialog().Activate();
  EXPECT_EQ(Dialog().SelectedMatchWindow(), 5);
  IniFile(iniPath_).WriteInteger(u"ADIF Import", u"Window", 7);
  Dialog().Activate();
  EXPECT_EQ(Dialog().SelectedMatchWindow(), 0);
  Dialog().dbtGetADIF.ClickOk();
  Dialog().cbWindow.SetItemIndex(5);
  Dialog().dbtGetADIF.ClickCancel();
  EXPECT_EQ(Remembered(u"Window"), u"30");
}

TEST_F(ImportDialogTest, RememberedModeOutsideTheListSelectsNoneAndStoresMinusOne) {
  Remember(source_, 7);
  Dialog().Activate();
  EXPECT_EQ(Dialog().cbProve.ItemIndex(), -1);
  EXPECT_EQ(Dialog().SelectedCorrectionMode(), CorrectionMode::None);
  Dialog().dbtGetADIF.ClickOk();
  EXPECT_EQ(host_.CallCount("GetRecordCount"), 0);
  Dialog().dbtGetADIF.ClickCancel();
  EXPECT_EQ(Remembered(u"Corr"), u"-1");
}

TEST_F(ImportDialogTest, FillModeWithoutCountriesShowsTheMessageAndStops) {
  Remember(source_, CorrectionMode::FillFields);
  host_.SetRecordCount(u"PROVINCE", 5);
  host_.SetRecordCount(u"UNIQUECALL", 5);
  Dialog().Activate();
  host_.ClearCalls();
  Dialog().dbtGetADIF.ClickOk();
  EXPECT_EQ(host_.CallNames(), (std::vector<std::string>{"GetRecordCount", "ShowMessageBox"}));
  EXPECT_EQ(host_.Calls().at(0), "GetRecordCount COUNTRY");
  ASSERT_EQ(host_.MessageBoxes().size(), 1u);
  const testing::FakeMessageBox& box = host_.MessageBoxes()[0];
  EXPECT_EQ(box.text,
            u"You need to load actual dictionary data from Internet\r\n"
            u"or local source, use menu: Set -> Countries list.");
  EXPECT_EQ(box.caption, u"Missing information");
  EXPECT_EQ(box.kind, 1);
  EXPECT_EQ(box.buttons, 4u);
  EXPECT_FALSE(Dialog().RunFlag);
  EXPECT_TRUE(AppendEnabled());
  EXPECT_TRUE(Dialog().mProgress.Text().empty());
}

TEST_F(ImportDialogTest, FillModeLoadsTheDictionariesInOrderThenRuns) {
  Remember(source_, CorrectionMode::FillFields);
  for (const char16_t* table : {u"COUNTRY", u"PROVINCE", u"UNIQUECALL"}) host_.SetRecordCount(table, 3);
  Dialog().Activate();
  host_.ClearCalls();
  Dialog().dbtGetADIF.ClickOk();
  std::vector<std::string> order;
  for (const std::string& call : host_.Calls()) {
    if (call.starts_with("GetRecordCount ") || call.starts_with("SetQuerySQL"))
      order.push_back(call.substr(0, 40));
  }
  ASSERT_EQ(order.size(), 6u);
  EXPECT_EQ(order[0], "GetRecordCount COUNTRY");
  EXPECT_EQ(order[1], "GetRecordCount PROVINCE");
  EXPECT_EQ(order[2], "GetRecordCount UNIQUECALL");
  EXPECT_NE(order[3].find("FROM UNIQUECALL"), std::string::npos);
  EXPECT_NE(order[4].find("FROM PROVINCE"), std::string::npos);
  EXPECT_NE(order[5].find("FROM COUNTRY"), std::string::npos);
  EXPECT_TRUE(Dialog().RunFlag);
}

TEST_F(ImportDialogTest, CorrectingModeLoadsNothing) {
  Remember(source_, CorrectionMode::Format);
  Dialog().Activate();
  Dialog().dbtGetADIF.ClickOk();
  EXPECT_EQ(host_.CallCount("GetRecordCount"), 0);
  EXPECT_EQ(host_.CallCount("CreateQuery"), 0);
  EXPECT_TRUE(Dialog().RunFlag);
}

TEST_F(ImportDialogTest, RunEndingWithAnErrorCleansUpAndStaysDisabled) {
  Remember(source_, CorrectionMode::None);
  Dialog().Activate();
  host_.FailAt("SendCommand", 0, E_FAIL, u"Host refused");
  Dialog().dbtGetADIF.ClickOk();
  ASSERT_EQ(errorBoxes_.size(), 1u);
  EXPECT_TRUE(Dialog().RunFlag);
  EXPECT_FALSE(AppendEnabled());
  EXPECT_EQ(ui::WaitCursorDepth(), 0);
  EXPECT_EQ(Dialog().RunDictionaries(), nullptr);
  Dialog().dbtGetADIF.ClickCancel();  // an errored run still stores the settings
  EXPECT_EQ(Remembered(u"ADIF"), source_);
}

#ifndef _WIN32  // headless, an unanswered file dialog is cancelled; on Windows it is the real dialog
TEST_F(ImportDialogTest, FileButtonStartsInTheSourceFolder) {
  Dialog().Activate();
  Dialog().edSource.SetText(Wide(folder_));
  Dialog().edSource.ClickButton();  // cancelled
  EXPECT_EQ(Dialog().dlgSource.InitialDir, Wide(folder_));
  EXPECT_EQ(Dialog().dlgSource.FileName, u"");
  EXPECT_EQ(Dialog().dlgSource.Title, u"Select ADIF data file...");

  Dialog().edSource.SetText(source_);
  Dialog().edSource.ClickButton();
  EXPECT_EQ(Dialog().dlgSource.InitialDir, Wide(folder_) + PathDelimiter());
  EXPECT_EQ(Dialog().dlgSource.FileName, u"log");
  EXPECT_EQ(Dialog().dlgSource.DefaultExt, u".adi");

  Dialog().edSource.SetText(u"");
  ui::SetFileOpenAnswer(other_);
  Dialog().edSource.ClickButton();
  EXPECT_EQ(Dialog().edSource.Text(), other_);
  EXPECT_TRUE(AppendEnabled());
}

// The engine's transcript, progress and error message as the controls
// show them, and the settings a run starts from.
TEST_F(ImportDialogTest, TheRunIsShownOnTheControls) {
  ::testing::internal::CaptureStdout();
  Dialog().AppendToTranscript(u"* Import\r\n");
  Dialog().AppendToTranscript(u"   Parsing ");
  Dialog().AppendToTranscript(u"found\r\n");
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(Dialog().mProgress.Text(), u"* Import\r\n   Parsing found\r\n");
  EXPECT_EQ(Dialog().mProgress.TopLine(), Dialog().mProgress.LineCount() - 1);  // the last line in view
  const std::pair<long double, int> percents[] = {
      {0, 0}, {1.0L / 3, 33}, {2.0L / 3, 66}, {0.999L, 99}, {1, 100}};
  for (const auto& [fraction, percent] : percents) {
    Dialog().ShowProgress(fraction);
    EXPECT_EQ(Dialog().psProgress.Percent(), percent);  // truncated
  }
  Dialog().ShowErrorMessage(u"Warning: ADIF errors found");
  EXPECT_EQ(Dialog().psErrors.Caption(), u"Warning: ADIF errors found");
  Dialog().edSource.SetText(source_);
  Dialog().cbProve.SetItemIndex(2);
  Dialog().cbWindow.SetItemIndex(3);
  const ImportSettings settings = Dialog().RunSettings();
  EXPECT_EQ(settings.source, source_);
  EXPECT_EQ(settings.caption, u"Append ADIF data into current log");
  EXPECT_EQ(settings.mode, CorrectionMode::FillFields);
  EXPECT_EQ(settings.matchWindow, 5);
}

#ifndef _WIN32  // the headless modal run is the batch operator; Windows runs a real loop (ui_win32_test)
#endif

TEST_F(ImportDialogTest, ModalRunAsBatchImportsAndRemembers) {
  Remember(source_, CorrectionMode::None);
  ::testing::internal::CaptureStdout();
  Dialog().ShowModal();
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("* Import: log.adi"), std::string::npos);
  EXPECT_EQ(core_.windows.beginModalCount, 1);
  EXPECT_EQ(core_.windows.endModalCount, 1);
  EXPECT_EQ(host_.Commands().size(), 1u);
  EXPECT_EQ(Remembered(u"ADIF"), source_);
}
#endif

}  // namespace
}  // namespace quillet

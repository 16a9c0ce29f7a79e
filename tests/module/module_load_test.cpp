// Loads the built module as a host does, imports a file through its menu
// command, and checks that unloading leaves nothing behind.
#include <gtest/gtest.h>

#include <quillet/plugin_api.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "runtime/bstr.h"
#include "runtime/text.h"
#include "support/fake_core.h"
#include "support/fake_host.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace quillet::testing {
namespace {

// The module binary, loaded for the life of the object.
class LoadedModule {
 public:
  explicit LoadedModule(const char* path) {
#ifdef _WIN32
    handle_ = LoadLibraryA(path);
#else
    handle_ = dlopen(path, RTLD_NOW | RTLD_LOCAL);
#endif
  }
  ~LoadedModule() { Unload(); }
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  bool Loaded() const { return handle_ != nullptr; }
  void* Symbol(const char* name) const {
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
    return dlsym(handle_, name);
#endif
  }
  bool Unload() {
    if (handle_ == nullptr) return true;
    void* handle = std::exchange(handle_, nullptr);
#ifdef _WIN32
    return FreeLibrary(static_cast<HMODULE>(handle)) != 0;
#else
    return dlclose(handle) == 0;
#endif
  }

 private:
  void* handle_ = nullptr;
};

// A scratch folder with a copy of a test file, so the error file the run
// writes beside its source lands there too.
class ScratchFolder {
 public:
  ScratchFolder()
      : path_(std::filesystem::temp_directory_path() /
              ("quillet-module-" +
               std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))) {
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::u16string Text16(const std::filesystem::path& path) { return Utf8ToUtf16(path.string()); }

TEST(Module, ImportsThroughItsMenuCommandAndUnloadsClean) {
  const std::int64_t stringsBefore = QuilletOleLiveStrings();
  ScratchFolder scratch;
  const auto source = scratch.Path() / "contest.adi";
  std::filesystem::copy_file(std::filesystem::path(QUILLET_TEST_DATA) / "n1mm-logger-plus-contest-crlf.adi",
                             source);
  const auto settings = scratch.Path() / "host.ini";
  std::ofstream(settings, std::ios::binary)
      << "[ADIF Import]\r\nADIF=" << source.string() << "\r\nCorr=1\r\n";

  FakeHost host;
  FakeCore core;
  core.SetHost(host.Kernel(), host.Server());
  host.SetVariable(u"APPINI", Text16(settings));
  host.SetVariable(u"LOG.EXPIRE", u"2030-12-31");
  host.SetVariable(u"LOG.OPERATOR", u"KI2D");
  host.SetVariable(u"LOG.TABLE", u"CONTEST");
  host.SetVariable(u"APPLICATION", u"Fake host");
  host.SetVariable(u"APPVERSION", u"1.0");

  LoadedModule module(QUILLET_MODULE_PATH);
  ASSERT_TRUE(module.Loaded());
  const auto entry = reinterpret_cast<QuilletEntryPoint>(module.Symbol(QUILLET_ENTRY_NAME));
  const auto done = reinterpret_cast<QuilletDonePoint>(module.Symbol(QUILLET_DONE_NAME));
  ASSERT_NE(entry, nullptr);
  ASSERT_NE(done, nullptr);

  IPlugin* plugin = nullptr;
  ASSERT_EQ(entry(&core, &plugin), S_OK);
  ASSERT_NE(plugin, nullptr);
  GUID id{};
  EXPECT_EQ(plugin->GetID(&id), S_OK);
  static constexpr unsigned char kId[16] = {0xAB, 0x6D, 0xC1, 0xD8, 0xD6, 0xBD, 0x46, 0x45,
                                            0x87, 0x9D, 0x59, 0x5F, 0x92, 0xC8, 0x4E, 0x8D};
  EXPECT_EQ(std::memcmp(&id, kId, sizeof kId), 0);
  {
    BString name;
    EXPECT_EQ(plugin->GetName(name.put()), S_OK);
    EXPECT_EQ(name.Text(), u"Append ADIF data into current log");
    BString version;
    EXPECT_EQ(plugin->GetVersion(version.put()), S_OK);
    EXPECT_EQ(version.Text(), u"1.04.019 (1706)");
  }

  FakeMenuItem& item = *core.menus.LastItem();
  EXPECT_EQ(item.caption, u"Append ADIF data into current log");
  EXPECT_EQ(item.Click(), S_OK);

  // The batch operator pressed "Append": every record became an INSERT.
  const auto& statements = host.ExecutedStatements();
  EXPECT_EQ(statements.size(), 25u);
  for (const std::u16string& statement : statements) EXPECT_EQ(statement.rfind(u"INSERT INTO LOGS", 0), 0u);
  ASSERT_FALSE(host.LogLines().empty());
  const std::u16string& journal = host.LogLines().back();
  EXPECT_EQ(journal.rfind(u"Exec: Append ADIF data into current log, " + Text16(source) + u" processed (", 0),
            0u)
      << Utf16ToUtf8(journal);
  EXPECT_EQ(journal.back(), u')');
  ASSERT_EQ(host.Commands().size(), 1u);
  EXPECT_EQ(host.Commands()[0].first, u"REFRESH");
  EXPECT_EQ(core.windows.beginModalCount, 1);
  EXPECT_EQ(core.windows.endModalCount, 1);

  IDestroyNotify* notify = nullptr;
  ASSERT_EQ(plugin->QueryInterface(IID_IDestroyNotify, reinterpret_cast<void**>(&notify)), S_OK);
  EXPECT_EQ(notify->Destroying(), S_OK);
  EXPECT_EQ(notify->Release(), 1u);
  EXPECT_EQ(plugin->Release(), 0u);
  EXPECT_EQ(done(), S_OK);

  EXPECT_EQ(core.menus.removeCount, 1);
  EXPECT_TRUE(item.removed);
  EXPECT_EQ(item.RefCount(), 0);
  EXPECT_EQ(core.RefCount(), 0);
  EXPECT_EQ(core.windows.RefCount(), 0);
  EXPECT_EQ(core.menus.RefCount(), 0);
  EXPECT_EQ(host.RefCount(), 0);
  EXPECT_EQ(host.LiveQueries(), 0u);
  EXPECT_TRUE(module.Unload());
  EXPECT_EQ(QuilletOleLiveStrings(), stringsBefore);
}

TEST(Module, RefusesAnOldHostAndDoneStillAnswers) {
  FakeHost host;
  FakeCore core;
  core.SetHost(host.Kernel(), host.Server());
  core.version = 104018;
  LoadedModule module(QUILLET_MODULE_PATH);
  ASSERT_TRUE(module.Loaded());
  const auto entry = reinterpret_cast<QuilletEntryPoint>(module.Symbol(QUILLET_ENTRY_NAME));
  const auto done = reinterpret_cast<QuilletDonePoint>(module.Symbol(QUILLET_DONE_NAME));
  IPlugin* plugin = nullptr;
  EXPECT_EQ(entry(&core, &plugin), static_cast<HRESULT>(0x8000FFFF));
  EXPECT_EQ(plugin, nullptr);
  EXPECT_EQ(done(), S_OK);
  EXPECT_EQ(core.RefCount(), 0);
  EXPECT_EQ(entry(&core, nullptr), static_cast<HRESULT>(0x8000FFFF));
  EXPECT_EQ(entry(nullptr, &plugin), static_cast<HRESULT>(0x8000FFFF));
}

}  // namespace
}  // namespace quillet::testing

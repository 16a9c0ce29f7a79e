#include "frame/plugin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "frame/error_info_reader.h"
#include "frame/plugin_entry.h"
#include "platform/ui/application.h"
#include "runtime/bstr.h"
#include "support/fake_core.h"
#include "support/fake_host.h"

namespace quillet {
namespace {

using testing::FakeCore;
using testing::FakeHost;
using testing::FakeMenuItem;
using testing::TakeErrorInfo;

constexpr HRESULT kUnexpected = static_cast<HRESULT>(0x8000FFFF);
constexpr HRESULT kHostFailure = static_cast<HRESULT>(0x80004005);

// A host with every interface, and what the plug-in holds of it.
class PluginTest : public ::testing::Test {
 protected:
  PluginTest() { core.SetHost(host.Kernel(), host.Server()); }
  ~PluginTest() override {
    if (plugin != nullptr) plugin->Release();
    TakeErrorInfo();
  }

  HRESULT Enter() { return PluginEntry(&core, &plugin); }
  // Every reference the plug-in took of the host has been given back.
  void ExpectNothingHeld() {
    EXPECT_EQ(core.RefCount(), 0);
    EXPECT_EQ(core.windows.RefCount(), 0);
    EXPECT_EQ(core.menus.RefCount(), 0);
    EXPECT_EQ(host.RefCount(), 0);
    for (const auto& item : core.menus.items) EXPECT_EQ(item->RefCount(), 0);
    EXPECT_EQ(ui::OwnerWindow(), WindowHandle{});
  }
  IDestroyNotify* DestroyNotify() {
    IDestroyNotify* notify = nullptr;
    EXPECT_EQ(plugin->QueryInterface(IID_IDestroyNotify, reinterpret_cast<void**>(&notify)), S_OK);
    notify->Release();  // the host's reference on the plug-in keeps it alive
    return notify;
  }
  std::u16string Text(HRESULT (QUILLET_STDCALL IPlugin::*method)(BSTR*)) {
    BString text;
    EXPECT_EQ((plugin->*method)(text.put()), S_OK);
    return text.Text();
  }

  FakeHost host;
  FakeCore core;
  IPlugin* plugin = nullptr;
};

TEST_F(PluginTest, RegistersTheCommandAndOwnerWindow) {
  ASSERT_EQ(Enter(), S_OK);
  ASSERT_NE(plugin, nullptr);
  ASSERT_EQ(core.queried.size(), 4u);
  EXPECT_EQ(core.queried[0], IID_IHostKernel);
  EXPECT_EQ(core.queried[1], IID_IHostServer);
  EXPECT_EQ(core.queried[2], IID_IApplicationWindows);
  EXPECT_EQ(core.queried[3], IID_IMenuManager);
  EXPECT_EQ(core.calls.front(), "GetVersion");
  EXPECT_EQ(core.calls[1], "GetApplicationHandle");
  EXPECT_EQ(ui::OwnerWindow(), core.windows.handle);
  const FakeMenuItem& item = *core.menus.LastItem();
  EXPECT_EQ(item.caption, kMenuCaption);
  EXPECT_EQ(item.hint, kMenuHint);
  EXPECT_EQ(item.category, 1);
  EXPECT_EQ(core.calls.back(), "SetHint " + Utf16ToUtf8(kMenuHint));
}

TEST_F(PluginTest, ReportsItsIdentity) {
  ASSERT_EQ(Enter(), S_OK);
  GUID id{};
  EXPECT_EQ(plugin->GetID(&id), S_OK);
  static constexpr unsigned char kBytes[16] = {0xAB, 0x6D, 0xC1, 0xD8, 0xD6, 0xBD, 0x46, 0x45,
                                               0x87, 0x9D, 0x59, 0x5F, 0x92, 0xC8, 0x4E, 0x8D};
  EXPECT_EQ(std::memcmp(&id, kBytes, sizeof kBytes), 0);
  EXPECT_EQ(Text(&IPlugin::GetName), u"Append ADIF data into current log");
  EXPECT_EQ(Text(&IPlugin::GetVersion), u"1.04.019 (1706)");
  EXPECT_EQ(Text(&IPlugin::GetCopyright), kPluginCopyright);
  EXPECT_EQ(Text(&IPlugin::GetHomePage), kPluginHomePage);
  EXPECT_EQ(Text(&IPlugin::GetEmail), kPluginEmail);
  std::int32_t category = 0;
  EXPECT_EQ(plugin->GetCategory(&category), S_OK);
  EXPECT_EQ(category, 1);
  EXPECT_EQ(PluginDone(), S_OK);
}

TEST_F(PluginTest, HostVersionThreshold) {
  core.version = kLowestHostVersion - 1;
  EXPECT_EQ(Enter(), kUnexpected);
  EXPECT_EQ(plugin, nullptr);
  EXPECT_TRUE(core.queried.empty());
  EXPECT_FALSE(TakeErrorInfo().present);
  ExpectNothingHeld();
  core.version = kLowestHostVersion;
  EXPECT_EQ(Enter(), S_OK);
}

TEST_F(PluginTest, VersionIsCheckedBeforeTheInterfaces) {
  core.SetHost(host.Kernel(), nullptr);
  core.version = 104018;
  EXPECT_EQ(Enter(), kUnexpected);
  EXPECT_TRUE(core.queried.empty());
}

TEST_F(PluginTest, RefusedHostsGetNoPlugin) {
  struct Row {
    const char* missing;
    bool kernel, server, windows, menus;
  };
  static constexpr Row kRows[] = {{"IHostServer", true, false, true, true},
                                  {"IApplicationWindows", true, true, false, true},
                                  {"IMenuManager", true, true, true, false}};
  for (const Row& row : kRows) {
    FakeHost otherHost;
    FakeCore refusing;
    refusing.SetHost(otherHost.Kernel(), row.server ? otherHost.Server() : nullptr);
    refusing.offerWindows = row.windows;
    refusing.offerMenuManager = row.menus;
    IPlugin* refused = reinterpret_cast<IPlugin*>(&otherHost);  // must be cleared
    EXPECT_EQ(PluginEntry(&refusing, &refused), kUnexpected) << row.missing;
    EXPECT_EQ(refused, nullptr);
    EXPECT_FALSE(TakeErrorInfo().present);
    EXPECT_EQ(refusing.RefCount(), 0) << row.missing;
    EXPECT_EQ(otherHost.RefCount(), 0) << row.missing;
    EXPECT_EQ(refusing.windows.RefCount(), 0) << row.missing;
    EXPECT_EQ(ui::OwnerWindow(), WindowHandle{}) << row.missing;
  }
  // A failure status during construction: the menu command cannot be created.
  core.menus.createStatus = kHostFailure;
  EXPECT_EQ(Enter(), kUnexpected);
  EXPECT_EQ(plugin, nullptr);
  ExpectNothingHeld();
}

TEST(PluginConstruction, RefusalMessages) {
  FakeHost host;
  FakeCore core;
  core.SetHost(host.Kernel(), nullptr);
  try {
    NewChecked<TPlugin>(&core);
    FAIL();
  } catch (const EUnsupportedCore& e) {
    EXPECT_EQ(
        e.Message,
        u"Host does not support required functionality.\r\nUpgrade your application to latest version.");
  }
  core.SetHost(host.Kernel(), host.Server());
  core.offerWindows = false;
  try {
    NewChecked<TPlugin>(&core);
    FAIL();
  } catch (const EInvalidCoreVersion& e) {
    EXPECT_EQ(e.Message, u"This plugin needs windows support.");
  }
  core.version = 104018;
  try {
    NewChecked<TPlugin>(&core);
    FAIL();
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(e.Message, u"Assertion failure (Quillet, line 74)");
  }
  EXPECT_EQ(core.RefCount(), 0);
}

TEST_F(PluginTest, DestroyingTwiceThenReleaseTearsDownOnce) {
  ASSERT_EQ(Enter(), S_OK);
  IDestroyNotify* notify = DestroyNotify();
  EXPECT_EQ(notify->Destroying(), S_OK);
  EXPECT_EQ(notify->Destroying(), S_OK);
  EXPECT_EQ(core.menus.removeCount, 1);
  ExpectNothingHeld();
  // Torn down, it still answers.
  EXPECT_EQ(Text(&IPlugin::GetName), kPluginName);
  EXPECT_EQ(plugin->Release(), 0u);
  plugin = nullptr;
  EXPECT_EQ(core.menus.removeCount, 1);
  ExpectNothingHeld();
}

TEST_F(PluginTest, FinalReleaseAloneTearsDown) {
  ASSERT_EQ(Enter(), S_OK);
  EXPECT_NE(ui::OwnerWindow(), WindowHandle{});
  EXPECT_EQ(plugin->Release(), 0u);
  plugin = nullptr;
  EXPECT_EQ(core.menus.removeCount, 1);
  EXPECT_TRUE(core.menus.LastItem()->removed);
  ExpectNothingHeld();
}

TEST_F(PluginTest, FailingMethodsReturnStatusWithErrorInfo) {
  ASSERT_EQ(Enter(), S_OK);
  const HRESULT invalidPointer = ClassErrorCode("EInvalidPointer");
  auto expectFailure = [&](HRESULT status, HRESULT expected, std::u16string_view source,
                           std::u16string_view description) {
    EXPECT_EQ(status, expected);
    const auto info = TakeErrorInfo();
    EXPECT_EQ(info.source, source);
    EXPECT_EQ(info.description, description);
  };
  const std::u16string pointer = kInvalidPointerMessage;
  expectFailure(plugin->GetID(nullptr), invalidPointer, u"pluginsystem.TPlugin", pointer);
  expectFailure(plugin->GetName(nullptr), invalidPointer, u"pluginsystem.TPlugin", pointer);
  expectFailure(plugin->GetVersion(nullptr), invalidPointer, u"pluginsystem.TPlugin", pointer);
  expectFailure(plugin->GetCategory(nullptr), invalidPointer, u"pluginsystem.TPlugin", pointer);
  expectFailure(plugin->GetCopyright(nullptr), invalidPointer, u"pluginsystem.TPlugin", pointer);
  expectFailure(plugin->GetHomePage(nullptr), invalidPointer, u"pluginsystem.TPlugin", pointer);
  expectFailure(plugin->GetEmail(nullptr), invalidPointer, u"pluginsystem.TPlugin", pointer);
  EXPECT_EQ(plugin->QueryInterface(IID_IPlugin, nullptr), E_POINTER);

  FakeMenuItem& item = *core.menus.LastItem();
  host.FailAt("GetVariable", 1, kHostFailure, u"no settings");
  expectFailure(item.Click(), kHostFailure, u"pluginsystem.TPluginMenuItem", u"no settings");
  item.getEnabledStatus = kHostFailure;
  expectFailure(item.Click(), kHostFailure, u"pluginsystem.TPluginMenuItem", u"");
  item.getEnabledStatus = S_OK;

  // A host that fails to remove the command: Destroying reports it and
  // still gives back every other reference.
  core.menus.removeStatus = kHostFailure;
  expectFailure(DestroyNotify()->Destroying(), kHostFailure, u"pluginsystem.TPlugin", u"");
  EXPECT_EQ(core.RefCount(), 0);
  EXPECT_EQ(host.RefCount(), 0);
  EXPECT_EQ(ui::OwnerWindow(), WindowHandle{});
  EXPECT_EQ(core.menus.LastItem()->RefCount(), 0);
}

#ifndef _WIN32  // the headless modal run is the batch operator; Windows runs a real loop (ui_win32_test)
TEST_F(PluginTest, CommandReadsTheLogSettingsEachTime) {
  ASSERT_EQ(Enter(), S_OK);
  FakeMenuItem& item = *core.menus.LastItem();
  host.SetVariable(u"LOG.EXPIRE", u"");
  EXPECT_EQ(item.Click(), static_cast<HRESULT>(0x800428DF));
  const auto info = TakeErrorInfo();
  EXPECT_EQ(info.description, u"'''' is not a valid date and time");
  EXPECT_EQ(info.source, u"pluginsystem.TPluginMenuItem");
  EXPECT_EQ(core.windows.beginModalCount, 0);  // no dialog shown

  host.SetVariable(u"LOG.EXPIRE", u"2026-12-31");
  host.ClearCalls();
  EXPECT_EQ(item.Click(), S_OK);
  EXPECT_EQ(item.Click(), S_OK);
  EXPECT_EQ(core.windows.beginModalCount, 2);
  EXPECT_EQ(core.windows.endModalCount, 2);
  for (const char* name : {"GetVariable APPINI", "GetVariable LOG.EXPIRE", "GetVariable LOG.OPERATOR",
                           "GetVariable LOG.TABLE"}) {
    EXPECT_EQ(std::count(host.Calls().begin(), host.Calls().end(), name), 2) << name;
  }
}
#endif

TEST_F(PluginTest, CommandNeedsTheKernel) {
  core.SetHost(nullptr, host.Server());
  ASSERT_EQ(Enter(), S_OK);
  EXPECT_EQ(core.menus.LastItem()->Click(), ClassErrorCode("EUnsupportedCore"));
  EXPECT_EQ(TakeErrorInfo().description, kUnsupportedCoreMessage);
  EXPECT_EQ(core.windows.beginModalCount, 0);
}

}  // namespace
}  // namespace quillet

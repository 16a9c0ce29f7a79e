#include "frame/plugin_menu_item.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "frame/error_info_reader.h"
#include "frame/exception_family.h"
#include "support/fake_core.h"

namespace quillet {
namespace {

using testing::FakeCore;
using testing::FakeMenuItem;
using testing::TakeErrorInfo;

constexpr HRESULT kHostFailure = static_cast<HRESULT>(0x80004005);

TEST(PluginMenuItem, CreatesTheCommandInOrder) {
  FakeCore core;
  {
    TPluginMenuItem item(&core, 7);
    const std::vector<std::string> expected = {"CreateMenuItem", "SetCaption PluginMenuItem",
                                               "SetHint ",       "SetCategory 7",
                                               "SetEnabled -1",  "SetOptions 0",
                                               "SetOnClick"};
    EXPECT_EQ(core.calls, expected);
    EXPECT_TRUE(core.menus.LastItem()->hintWasNull);
    EXPECT_EQ(core.menus.LastItem()->onClick.get(), &item);
  }
  EXPECT_EQ(core.RefCount(), 0);
}

TEST(PluginMenuItem, RefusesHostWithoutMenuManager) {
  FakeCore core;
  core.offerMenuManager = false;
  try {
    TPluginMenuItem item(&core, 1);
    FAIL() << "built without IMenuManager";
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(e.Message, u"Assertion failure (PluginSupport, line 52)");
  }
  EXPECT_EQ(core.RefCount(), 0);
}

TEST(PluginMenuItem, IsNotReferenceCounted) {
  FakeCore core;
  auto item = std::make_unique<TPluginMenuItem>(&core, 1);
  EXPECT_EQ(item->AddRef(), 0xFFFFFFFFu);
  EXPECT_EQ(item->Release(), 0xFFFFFFFFu);
  EXPECT_EQ(item->Release(), 0xFFFFFFFFu);
  INotifyEvent* notify = nullptr;
  EXPECT_EQ(item->QueryInterface(IID_INotifyEvent, reinterpret_cast<void**>(&notify)), S_OK);
  EXPECT_EQ(notify, item.get());
  void* other = nullptr;
  EXPECT_EQ(item->QueryInterface(IID_IPlugin, &other), E_NOINTERFACE);
}

TEST(PluginMenuItem, ClickRunsOnClickOnlyWhenEnabled) {
  FakeCore core;
  TPluginMenuItem item(&core, 1);
  FakeMenuItem& host = *core.menus.LastItem();
  EXPECT_EQ(host.Click(), S_OK);  // no OnClick yet

  int clicks = 0;
  std::int32_t senderRefs = 0;
  item.OnClick = [&](TPluginMenuItem& sender) {
    EXPECT_EQ(&sender, &item);
    senderRefs = host.RefCount();
    ++clicks;
  };
  host.enabled = kFalse;
  EXPECT_EQ(host.Click(), S_OK);
  EXPECT_EQ(clicks, 0);
  host.enabled = 1;  // any non-zero value is true
  EXPECT_EQ(host.Click(), S_OK);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(senderRefs, host.RefCount() + 1);  // the sender was held during the call
}

TEST(PluginMenuItem, NotifyTurnsFailuresIntoStatus) {
  FakeCore core;
  TPluginMenuItem item(&core, 1);
  FakeMenuItem& host = *core.menus.LastItem();
  item.OnClick = [](TPluginMenuItem&) { throw EConvertError(u"bad date"); };
  EXPECT_EQ(host.Click(), static_cast<HRESULT>(0x800428DF));
  auto info = TakeErrorInfo();
  EXPECT_EQ(info.source, u"pluginsystem.TPluginMenuItem");
  EXPECT_EQ(info.description, u"bad date");

  host.getEnabledStatus = kHostFailure;
  EXPECT_EQ(host.Click(), kHostFailure);
  info = TakeErrorInfo();
  EXPECT_TRUE(info.present);
  EXPECT_EQ(info.source, u"pluginsystem.TPluginMenuItem");
}

TEST(PluginMenuItem, FreeingRemovesOnceAndReleasesWhatTheHostLeft) {
  for (const bool hostClears : {true, false}) {
    FakeCore core;
    core.menus.clearOnRemove = hostClears;
    auto item = std::make_unique<TPluginMenuItem>(&core, 1);
    FakeMenuItem& host = *core.menus.LastItem();
    item->Remove();
    item->Remove();
    item.reset();
    EXPECT_EQ(core.menus.removeCount, 1);
    EXPECT_TRUE(host.removed);
    EXPECT_EQ(host.RefCount(), 0) << hostClears;
    EXPECT_EQ(core.menus.RefCount(), 0);
    EXPECT_EQ(core.RefCount(), 0);
  }
}

TEST(PluginMenuItem, DestructorRemovesWhenOwnerDidNot) {
  FakeCore core;
  { TPluginMenuItem item(&core, 1); }
  EXPECT_EQ(core.menus.removeCount, 1);
  EXPECT_EQ(core.menus.LastItem()->RefCount(), 0);
}

TEST(PluginMenuItem, FailedRemovalStillReleases) {
  FakeCore core;
  auto item = std::make_unique<TPluginMenuItem>(&core, 1);
  core.menus.removeStatus = kHostFailure;
  EXPECT_THROW(item->Remove(), EOleException);
  // The host keeps the command but no longer the handler, which goes now.
  EXPECT_EQ(core.menus.LastItem()->onClick.get(), nullptr);
  item.reset();
  EXPECT_EQ(core.menus.removeCount, 1);
  EXPECT_EQ(core.menus.LastItem()->RefCount(), 0);
  EXPECT_EQ(core.menus.RefCount(), 0);
  TakeErrorInfo();
}

}  // namespace
}  // namespace quillet

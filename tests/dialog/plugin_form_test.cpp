// The plug-in form base: modal bracketing, host icons, placement.
#include "dialog/plugin_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/exceptions.h"
#include "support/fake_core.h"

namespace quillet {
namespace {

using testing::FakeCore;
using testing::FakeIcon;
using testing::FakeWindow;

class ProbeForm : public TForm {
 public:
  explicit ProbeForm(FakeCore& core) : TForm(&core) {
    OnActivate = [&core] { core.calls.emplace_back("activate"); };
  }
  using TForm::CreateParams;
};

[[maybe_unused]] std::vector<std::string> ModalCalls(const FakeCore& core) {
  std::vector<std::string> result;
  for (const std::string& call : core.calls) {
    if (call == "BeginModal" || call == "EndModal" || call == "activate") result.push_back(call);
  }
  return result;
}

#ifndef _WIN32  // the headless modal run is the batch operator; Windows runs a real loop (ui_win32_test)
TEST(PluginForm, ShowModalBracketsTheRunAlsoWhenItThrows) {
  FakeCore core;
  {
    ProbeForm form(core);
    EXPECT_EQ(form.ShowModal(), ui::mrCancel);
    EXPECT_EQ(ModalCalls(core), (std::vector<std::string>{"BeginModal", "activate", "EndModal"}));

    form.OnShow = [] { throw EInOutError(u"show failed"); };
    core.windows.endModalStatus = E_FAIL;  // the run's own exception wins
    EXPECT_THROW(form.ShowModal(), EInOutError);
    EXPECT_EQ(core.windows.beginModalCount, 2);
    EXPECT_EQ(core.windows.endModalCount, 2);

    form.OnShow = nullptr;
    EXPECT_THROW(form.ShowModal(), Exception);  // EndModal's failure after a normal run
    EXPECT_EQ(core.windows.endModalCount, 3);

    core.windows.beginModalStatus = E_FAIL;
    core.calls.clear();
    EXPECT_THROW(form.ShowModal(), Exception);
    EXPECT_EQ(ModalCalls(core), (std::vector<std::string>{"BeginModal"}));
  }
  EXPECT_EQ(core.RefCount(), 0);
  EXPECT_EQ(core.windows.RefCount(), 0);
}
#endif

TEST(PluginForm, HostWithoutApplicationWindowsFailsConstruction) {
  FakeCore core;
  core.offerWindows = false;
  try {
    ProbeForm form(core);
    FAIL() << "constructed";
  } catch (const EAssertionFailed& error) {
    EXPECT_EQ(error.Message, u"Assertion failure (PluginForm, line 47)");
  }
  EXPECT_EQ(core.RefCount(), 0);
}

#ifndef _WIN32  // the headless modal run is the batch operator; Windows runs a real loop (ui_win32_test)
TEST(PluginForm, EveryShowAttachesTheHostIcons) {
  FakeCore core;
  ProbeForm form(core);
  form.ShowModal();
  EXPECT_EQ(form.Icon(ui::IconKind::Small), FakeIcon(100));
  EXPECT_EQ(form.Icon(ui::IconKind::Large), FakeIcon(200));
  form.ShowModal();
  EXPECT_EQ(form.Icon(ui::IconKind::Small), FakeIcon(101));
  EXPECT_EQ(form.Icon(ui::IconKind::Large), FakeIcon(201));
  EXPECT_EQ(core.icons.RefCount(), 0);

  core.icons.largeStatus = E_FAIL;  // a failing icon call ends the show
  EXPECT_THROW(form.ShowModal(), Exception);
  EXPECT_EQ(core.windows.endModalCount, 3);
}
#endif

#ifndef _WIN32  // the headless modal run is the batch operator; Windows runs a real loop (ui_win32_test)
TEST(PluginForm, HostWithoutIconsShowsWithoutThem) {
  FakeCore core;
  core.offerIcons = false;
  ProbeForm form(core);
  EXPECT_EQ(form.ShowModal(), ui::mrCancel);
  EXPECT_EQ(form.Icon(ui::IconKind::Small), IconHandle{});
  EXPECT_EQ(core.icons.handedOut.size(), 0u);
}
#endif

TEST(PluginForm, PlacementRuleAdjustsParentAndStyles) {
  const WindowHandle owner = FakeWindow(7);
  const WindowHandle parent = FakeWindow(9);
  const struct {
    std::uint8_t mode;
    WindowHandle parent;
    std::uint32_t style;
    std::uint32_t exStyle;
  } rows[] = {
      {0, owner, 0x10, ui::kExStyleAppWindow | 1},
      {1, WindowHandle{}, 0x10, ui::kExStyleAppWindow | 1},
      {2, parent, 0x10, 1},
      {3, parent, 0x10, ui::kExStyleAppWindow | 1},
      {4, parent, 0x10 | ui::kStyleChild, ui::kExStyleAppWindow | 1},
      {5, owner, 0x10, ui::kExStyleAppWindow | 1},
  };
  for (const auto& row : rows) {
    ui::WindowCreateParams params;
    params.parent = owner;
    params.style = 0x10;
    params.exStyle = ui::kExStyleAppWindow | 1;
    ApplyPlacementRule(row.mode, parent, params);
    EXPECT_EQ(params.parent, row.parent) << int{row.mode};
    EXPECT_EQ(params.style, row.style) << int{row.mode};
    EXPECT_EQ(params.exStyle, row.exStyle) << int{row.mode};
  }
}

}  // namespace
}  // namespace quillet

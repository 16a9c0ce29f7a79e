#include "frame/plugin.h"

#include "frame/boundary.h"
#include "frame/exception_family.h"
#include "platform/ui/application.h"
#include "runtime/bstr.h"
#include "runtime/safe_call.h"

namespace quillet {

TPlugin::TPlugin(ICore* core) : TCheckedInterfacedObject("TPlugin"), Core(ComPtr<ICore>::Borrow(core)) {
  try {
    Construct();
  } catch (...) {
    Teardown();
    throw;
  }
}

void TPlugin::Construct() {
  if (!Core) throw EInvalidPointer(kInvalidPointerMessage);
  std::int32_t version = 0;
  Check(Core->GetVersion(&version));
  if (version < kLowestHostVersion) throw EAssertionFailed::At(u"Assertion failure", u"Quillet", 74);
  Kernel = Core.Query<IHostKernel>(IID_IHostKernel);
  Server = Core.Query<IHostServer>(IID_IHostServer);
  if (!Server) throw EUnsupportedCore(kUnsupportedCoreMessage);
  AppWindows = Core.Query<IApplicationWindows>(IID_IApplicationWindows);
  if (!AppWindows) throw EInvalidCoreVersion(kNoWindowsSupportMessage);
  WindowHandle owner{};
  Check(AppWindows->GetApplicationHandle(&owner));
  ui::SetOwnerWindow(owner);
  std::int32_t category = 0;
  Check(GetCategory(&category));
  MenuItem = std::make_unique<TPluginMenuItem>(Core.get(), category);
  MenuItem->OnClick = [this](TPluginMenuItem& sender) { MenuClick(sender); };
  Check(MenuItem->Item->SetCaption(BString(kMenuCaption).get()));
  Check(MenuItem->Item->SetHint(BString(kMenuHint).get()));
}

void TPlugin::Teardown() {
  try {
    if (const auto item = std::move(MenuItem)) item->Remove();
  } catch (...) {
    ReleaseHost();
    throw;
  }
  ReleaseHost();
}

void TPlugin::ReleaseHost() noexcept {
  ui::SetOwnerWindow(WindowHandle{});
  Server.reset();
  Kernel.reset();
  AppWindows.reset();
  Core.reset();
}

HRESULT TPlugin::QueryInterface(REFIID iid, void** object) noexcept {
  IPlugin* plugin = this;
  return BoundaryQueryInterface(iid, object,
                                {{IID_IUnknown, plugin},
                                 {IID_IPlugin, plugin},
                                 {IID_IDestroyNotify, static_cast<IDestroyNotify*>(this)}});
}

ULONG TPlugin::AddRef() noexcept { return BoundaryAddRef(); }

ULONG TPlugin::Release() noexcept { return BoundaryRelease(); }

HRESULT TPlugin::GetID(GUID* id) noexcept {
  return Guard([&] { OutParameter(id) = kPluginId; });
}

HRESULT TPlugin::GetName(BSTR* name) noexcept {
  return Guard([&] { SetOutString(name, kPluginName); });
}

HRESULT TPlugin::GetVersion(BSTR* version) noexcept {
  return Guard([&] { SetOutString(version, kPluginVersion); });
}

HRESULT TPlugin::GetCategory(std::int32_t* category) noexcept {
  return Guard([&] { OutParameter(category) = kPluginCategory; });
}

HRESULT TPlugin::GetCopyright(BSTR* text) noexcept {
  return Guard([&] { SetOutString(text, kPluginCopyright); });
}

HRESULT TPlugin::GetHomePage(BSTR* text) noexcept {
  return Guard([&] { SetOutString(text, kPluginHomePage); });
}

HRESULT TPlugin::GetEmail(BSTR* text) noexcept {
  return Guard([&] { SetOutString(text, kPluginEmail); });
}

HRESULT TPlugin::Destroying() noexcept {
  return Guard([&] { Teardown(); });
}

}  // namespace quillet

#include "frame/plugin_menu_item.h"

#include "frame/boundary.h"
#include "runtime/bstr.h"
#include "runtime/safe_call.h"

namespace quillet {
namespace {

constexpr char kClassName[] = "TPluginMenuItem";
constexpr ULONG kNotCounted = 0xFFFFFFFFu;

}  // namespace

TPluginMenuItem::TPluginMenuItem(ICore* core, std::int32_t category) {
  MenuManager = ComPtr<ICore>::Borrow(core).Query<IMenuManager>(IID_IMenuManager);
  if (!MenuManager) throw EAssertionFailed::At(u"Assertion failure", u"PluginSupport", 52);
  try {
    Check(MenuManager->CreateMenuItem(Item.put()));
    Check(Item->SetCaption(BString(u"PluginMenuItem").get()));
    Check(Item->SetHint(nullptr));
    Check(Item->SetCategory(category));
    Check(Item->SetEnabled(kTrue));
    Check(Item->SetOptions(0));
    Check(Item->SetOnClick(this));
  } catch (...) {
    // The host may already show the command: take it out again.
    if (Item) RemoveQuietly(*MenuManager.get());
    throw;
  }
}

TPluginMenuItem::~TPluginMenuItem() {
  if (const auto manager = std::move(MenuManager)) RemoveQuietly(*manager.get());
}

void TPluginMenuItem::Remove() {
  if (const auto manager = std::move(MenuManager)) RemoveFromHost(*manager.get());
}

void TPluginMenuItem::RemoveFromHost(IMenuManager& manager) {
  try {
    Check(manager.RemoveMenuItem(Item.inOut()));
  } catch (...) {
    // A host that kept the command must not keep this handler, which goes
    // right after.
    if (Item) Item->SetOnClick(nullptr);
    throw;
  }
}

void TPluginMenuItem::RemoveQuietly(IMenuManager& manager) noexcept {
  try {
    RemoveFromHost(manager);
  } catch (...) {
    // Nothing may leave here; an owner that wants the failure calls Remove.
  }
}

HRESULT TPluginMenuItem::QueryInterface(REFIID iid, void** object) noexcept {
  if (object == nullptr) return E_POINTER;
  *object = FindInterface(iid, {{IID_IUnknown, this}, {IID_INotifyEvent, this}});
  return *object != nullptr ? S_OK : E_NOINTERFACE;
}

ULONG TPluginMenuItem::AddRef() noexcept { return kNotCounted; }

ULONG TPluginMenuItem::Release() noexcept { return kNotCounted; }

HRESULT TPluginMenuItem::Notify(IUnknown* sender) noexcept {
  return Guarded(kClassName, [&] {
    const auto heldSender = ComPtr<IUnknown>::Borrow(sender);
    DoClick();
  });
}

void TPluginMenuItem::DoClick() {
  if (!Item) return;
  Flag enabled = kFalse;
  Check(Item->GetEnabled(&enabled));
  if (enabled != kFalse && OnClick) OnClick(*this);
}

HRESULT TPluginMenuItem::SafeCallException(const Exception* e) const noexcept {
  return HandleSafeCallException(kClassName, e);
}

}  // namespace quillet

#include "host/services/menu_manager.h"

#include <algorithm>

#include "host/services/bstr.h"

namespace quillet::host {

HRESULT MenuItem::GetEnabled(Flag* enabled) {
  if (enabled == nullptr) return E_POINTER;
  *enabled = enabled_ ? kTrue : kFalse;
  return S_OK;
}

HRESULT MenuItem::SetCaption(BSTR caption) {
  return Guarded([&] { caption_ = FromBstr(caption); });
}

// Options, hints and categories only place a command in a real host's
// menus; the reference host has no menu to place it in.
HRESULT MenuItem::SetOptions(std::int32_t) { return S_OK; }

HRESULT MenuItem::SetEnabled(Flag enabled) {
  enabled_ = enabled != kFalse;
  return S_OK;
}

HRESULT MenuItem::SetHint(BSTR) { return S_OK; }

HRESULT MenuItem::SetCategory(std::int32_t) { return S_OK; }

HRESULT MenuItem::SetOnClick(INotifyEvent* handler) {
  // The item holds its own reference: the module may release its handler
  // object before the operator chooses the command.
  handler_ = Ref<INotifyEvent>::Borrow(handler);
  return S_OK;
}

HRESULT MenuItem::Choose() {
  if (!enabled_ || !handler_) return FailWith("the command is not available", E_UNEXPECTED);
  // Held for the call: the handler may remove its own command meanwhile.
  Ref<INotifyEvent> handler = handler_;
  return handler->Notify(static_cast<IMenuItem*>(this));
}

MenuManager::~MenuManager() { DetachAll(); }

HRESULT MenuManager::CreateMenuItem(IMenuItem** item) {
  if (item == nullptr) return E_POINTER;
  *item = nullptr;
  return Guarded([&] {
    Ref<MenuItem> created = MakeRef<MenuItem>();
    items_.push_back(created);
    // One reference for the list, one for the caller, who releases it through
    // RemoveMenuItem or at the end.
    created->AddRef();
    *item = created.get();
  });
}

HRESULT MenuManager::RemoveMenuItem(IMenuItem** item) {
  if (item == nullptr || *item == nullptr) return E_POINTER;
  const auto found = std::find_if(items_.begin(), items_.end(), [&](const Ref<MenuItem>& entry) {
    return static_cast<IMenuItem*>(entry.get()) == *item;
  });
  if (found == items_.end()) return FailWith("no such menu command", E_INVALIDARG);
  // Detached before it goes: a caller still holding the item finds it
  // without its handler, rather than calling into a module being unloaded.
  (*found)->Detach();
  items_.erase(found);
  // The host clears the caller's variable, so it releases that reference.
  IMenuItem* released = *item;
  *item = nullptr;
  released->Release();
  return S_OK;
}

MenuItem* MenuManager::Find(const std::string& caption) const {
  for (const Ref<MenuItem>& item : items_) {
    if (item->Caption() == caption) return item.get();
  }
  return nullptr;
}

// At the end of the session every handler is let go before the module is
// unloaded, whoever still holds the items.
void MenuManager::DetachAll() {
  for (const Ref<MenuItem>& item : items_) item->Detach();
}

}  // namespace quillet::host

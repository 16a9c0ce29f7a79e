// TPluginMenuItem registers one command in the host's menus and forwards
// the host's click notifications to its owner's OnClick.
//
// It is not reference-counted: AddRef and Release do nothing and return -1,
// and its owner holds it in a unique_ptr. Remove() takes the command out of
// the host's menus and may raise; the destructor removes it too when the
// owner did not, without raising. When the host fails to remove the
// command, the item's click handler is cleared, so the host is never left
// holding this object after it goes.
#pragma once

#include <quillet/plugin_api.h>

#include <cstdint>
#include <functional>

#include "runtime/com_ptr.h"

namespace quillet {

class Exception;

class TPluginMenuItem : public INotifyEvent {
 public:
  using TNotifyEvent = std::function<void(TPluginMenuItem& sender)>;

  // Creates the host's command with neutral settings and this object as
  // its click handler. Raises EAssertionFailed when the host offers no
  // IMenuManager.
  TPluginMenuItem(ICore* core, std::int32_t category);
  virtual ~TPluginMenuItem();
  TPluginMenuItem(const TPluginMenuItem&) = delete;
  TPluginMenuItem& operator=(const TPluginMenuItem&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;
  // Holds a reference to sender during the call and runs DoClick.
  HRESULT QUILLET_STDCALL Notify(IUnknown* sender) noexcept override;

  // Runs OnClick when the host reports the command enabled.
  virtual void DoClick();
  // RemoveMenuItem, then releases MenuManager; Item is released when the
  // object goes, if the host left it. Later calls do nothing.
  void Remove();

  HRESULT SafeCallException(const Exception* e) const noexcept;

  ComPtr<IMenuManager> MenuManager;
  ComPtr<IMenuItem> Item;
  TNotifyEvent OnClick;

 private:
  // RemoveMenuItem; when the host fails it, the handler is taken back
  // from the item before the failure is raised.
  void RemoveFromHost(IMenuManager& manager);
  void RemoveQuietly(IMenuManager& manager) noexcept;
};

}  // namespace quillet

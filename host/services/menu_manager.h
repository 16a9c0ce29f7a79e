// The reference host's menus: the commands plug-ins register, each with its
// caption, enabled state and click handler. Choosing a command calls its
// handler when the command is enabled, as a menu would. The host draws no
// menu, so a command's options, hint and category are accepted and not kept.
#pragma once

#include <quillet/plugin_api.h>

#include <string>
#include <vector>

#include "host/services/ref.h"

namespace quillet::host {

class MenuItem final : public RefCounted<IMenuItem> {
 public:
  MenuItem() : RefCounted(IID_IMenuItem) {}

  HRESULT STDMETHODCALLTYPE GetEnabled(Flag* enabled) override;
  HRESULT STDMETHODCALLTYPE SetCaption(BSTR caption) override;
  HRESULT STDMETHODCALLTYPE SetOptions(std::int32_t value) override;
  HRESULT STDMETHODCALLTYPE SetEnabled(Flag enabled) override;
  HRESULT STDMETHODCALLTYPE SetHint(BSTR hint) override;
  HRESULT STDMETHODCALLTYPE SetCategory(std::int32_t category) override;
  HRESULT STDMETHODCALLTYPE SetOnClick(INotifyEvent* handler) override;

  const std::string& Caption() const { return caption_; }
  bool Enabled() const { return enabled_; }
  // Calls the handler with this item as sender; the module's status.
  HRESULT Choose();
  // Drops the handler: the host never calls it again.
  void Detach() { handler_.reset(); }

 private:
  std::string caption_;
  bool enabled_ = false;
  Ref<INotifyEvent> handler_;
};

class MenuManager final : public RefCounted<IMenuManager> {
 public:
  MenuManager() : RefCounted(IID_IMenuManager) {}
  ~MenuManager() override;

  HRESULT STDMETHODCALLTYPE CreateMenuItem(IMenuItem** item) override;
  HRESULT STDMETHODCALLTYPE RemoveMenuItem(IMenuItem** item) override;

  // The registered command with this caption; null when none.
  MenuItem* Find(const std::string& caption) const;
  const std::vector<Ref<MenuItem>>& Items() const { return items_; }
  // Drops every handler (before the module that implements them unloads).
  void DetachAll();

 private:
  std::vector<Ref<MenuItem>> items_;
};

}  // namespace quillet::host

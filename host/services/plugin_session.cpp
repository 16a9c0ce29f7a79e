#include "host/services/plugin_session.h"

#include <cstdio>

#include "host/base/host_error.h"
#include "host/services/bstr.h"
#include "host/services/host_core.h"

namespace quillet::host {

std::string StatusMessage(const std::string& what, HRESULT status) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(status));
  std::string message = what + " failed with status " + code;
  const std::string description = TakeErrorDescription();
  if (!description.empty()) message += ": " + description;
  return message;
}

PluginSession::PluginSession(const std::string& modulePath, HostCore& core)
    : core_(core), library_(std::make_unique<ModuleLibrary>(modulePath)) {
  auto entry = reinterpret_cast<QuilletEntryPoint>(library_->Symbol(QUILLET_ENTRY_NAME));
  if (entry == nullptr) throw HostError(modulePath + " has no plug-in entry point");
  const HRESULT status = entry(&core_, plugin_.put());
  if (status < 0 || !plugin_) {
    const std::string message = StatusMessage("the plug-in entry point", status);
    End();
    throw HostError(message);
  }
}

PluginSession::~PluginSession() { End(); }

void PluginSession::Choose(const std::string& caption) {
  MenuItem* item = core_.Menus().Find(caption);
  // A module that registers one command under another caption still has it run.
  if (item == nullptr && core_.Menus().Items().size() == 1) item = core_.Menus().Items().front().get();
  if (item == nullptr) throw HostError("the module registered no command \"" + caption + "\"");
  if (!item->Enabled()) throw HostError("the command \"" + caption + "\" is disabled");
  const HRESULT status = item->Choose();
  if (status < 0) throw HostError(StatusMessage("the command \"" + caption + "\"", status));
}

void PluginSession::End() noexcept {
  if (plugin_) {
    if (auto notify = plugin_.Query<IDestroyNotify>(IID_IDestroyNotify)) {
      const HRESULT status = notify->Destroying();
      if (status < 0) std::fprintf(stderr, "quillet: %s\n", StatusMessage("Destroying", status).c_str());
    }
    plugin_.reset();
  }
  // The module has released the host: its run's statements are complete.
  core_.Server().CommitWrites();
  // Nothing of the module may be called once it is unloaded.
  core_.Menus().DetachAll();
  if (library_) {
    if (auto done = reinterpret_cast<QuilletDonePoint>(library_->Symbol(QUILLET_DONE_NAME))) done();
    library_.reset();
  }
}

}  // namespace quillet::host

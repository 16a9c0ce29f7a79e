#include "host/services/host_kernel.h"

#include <stdexcept>

#include "host/os/console.h"
#include "host/services/bstr.h"
#include "host/services/journal.h"

namespace quillet::host {
namespace {

constexpr std::int32_t kButtonOk = 1;

// Messages carry Windows line breaks; a terminal wants plain ones.
void PrintMessage(std::string_view caption, std::string_view text) {
  std::string lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' || i + 1 >= text.size() || text[i + 1] != '\n') lines += text[i];
  }
  Console::Standard().Error(std::string(caption) + ": " + lines);
}

}  // namespace

std::string_view HostVersionText() { return QUILLET_HOST_VERSION_TEXT; }
std::int32_t HostVersionNumber() { return QUILLET_HOST_VERSION_NUMBER; }

std::string HostVariables::Lookup(std::string_view name) const {
  if (name == "LOG.TABLE") return logTable;
  if (name == "LOG.OPERATOR") return logOperator;
  if (name == "LOG.EXPIRE") return logExpire;
  if (name == "APPINI") return appIni;
  if (name == "APPLICATION") return std::string(kApplicationName);
  if (name == "APPVERSION") return std::string(HostVersionText());
  if (name == "DOWNLOAD") return download;
  return {};
}

bool IsProcessedLine(std::string_view line) {
  const std::size_t at = line.rfind(" processed (");
  return line.starts_with("Exec: ") && at != std::string_view::npos && line.ends_with(")");
}

bool IsFailedLine(std::string_view line) { return line.starts_with("Exec: ") && line.ends_with(" failed."); }

HRESULT HostKernel::AddLogLine(BSTR text) {
  return Guarded([&] {
    const std::string line = FromBstr(text);
    journal_.Add(line);
    if (IsProcessedLine(line)) processed_ = true;
    if (IsProcessedLine(line) || IsFailedLine(line)) RaiseRunEnded();
  });
}

HRESULT HostKernel::ShowError(BSTR text, BSTR caption) {
  return Guarded([&] {
    PrintMessage(FromBstr(caption), FromBstr(text));
    RaiseRunEnded();
  });
}

HRESULT HostKernel::ShowMessageBox(BSTR text, BSTR caption, std::int32_t, std::uint32_t,
                                   std::int32_t* result) {
  if (result == nullptr) return E_POINTER;
  return Guarded([&] {
    PrintMessage(FromBstr(caption), FromBstr(text));
    *result = kButtonOk;
    RaiseRunEnded();
  });
}

HRESULT HostKernel::SendCommand(BSTR command, BSTR parameter) {
  return Guarded([&] {
    const std::string name = FromBstr(command);
    // The views a refresh would update are not kept by this host; what
    // other readers of the database see is the committed state, so the
    // open batch commits.
    if (name != "REFRESH") throw std::runtime_error("unknown host command " + name);
    (void)parameter;
    if (refreshAction_) refreshAction_();
  });
}

HRESULT HostKernel::GetVariable(BSTR name, BSTR* value) {
  if (value == nullptr) return E_POINTER;
  return Guarded([&] { *value = NewBstr(variables_.Lookup(FromBstr(name))); });
}

}  // namespace quillet::host

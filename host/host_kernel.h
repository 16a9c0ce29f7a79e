// IHostKernel of the reference host: the journal, messages to the operator
// (standard error: the host has no window), commands and settings.
#pragma once

#include <quillet/plugin_api.h>

#include <string>
#include <string_view>
#include <utility>

#include "host/ref.h"

namespace quillet::host {

class Journal;

// The settings the module reads by name with GetVariable.
struct HostVariables {
  std::string logTable;     // LOG.TABLE
  std::string logOperator;  // LOG.OPERATOR
  std::string logExpire;    // LOG.EXPIRE, yyyy-mm-dd
  std::string appIni;       // APPINI
  std::string download;     // DOWNLOAD
  // An unknown name gives the empty text.
  std::string Lookup(std::string_view name) const;
};

inline constexpr std::string_view kApplicationName = "Quillet host";
std::string_view HostVersionText();
std::int32_t HostVersionNumber();

// True for the module's journal line of a completed run:
// "Exec: <caption>, <file> processed (hh:nn:ss)".
bool IsProcessedLine(std::string_view line);

class HostKernel final : public RefCounted<IHostKernel> {
 public:
  HostKernel(Journal& journal, HostVariables variables)
      : RefCounted(IID_IHostKernel), journal_(journal), variables_(std::move(variables)) {}

  HRESULT STDMETHODCALLTYPE AddLogLine(BSTR text) override;
  HRESULT STDMETHODCALLTYPE ShowError(BSTR text, BSTR caption) override;
  HRESULT STDMETHODCALLTYPE ShowMessageBox(BSTR text, BSTR caption, std::int32_t kind, std::uint32_t buttons,
                                           std::int32_t* result) override;
  HRESULT STDMETHODCALLTYPE SendCommand(BSTR command, BSTR parameter) override;
  HRESULT STDMETHODCALLTYPE GetVariable(BSTR name, BSTR* value) override;

  // What the module reported during this session.
  bool ImportProcessed() const { return processed_; }
  int RefreshCount() const { return refreshes_; }

 private:
  Journal& journal_;
  HostVariables variables_;
  bool processed_ = false;
  int refreshes_ = 0;
};

}  // namespace quillet::host

// IHostKernel of the reference host: the journal, messages to the operator
// (standard error: the host has no window), commands and settings.
#pragma once

#include <quillet/plugin_api.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "host/services/import_report_sink.h"
#include "host/services/ref.h"
#include "host/services/run_signal.h"

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
// True for the module's journal line of a run that could not read its file:
// "Exec: <caption>, <file> failed.".
bool IsFailedLine(std::string_view line);

class HostKernel final : public RefCounted<IHostKernel> {
 public:
  HostKernel(Journal& journal, HostVariables variables)
      : RefCounted(IID_IHostKernel),
        journal_(journal),
        variables_(std::move(variables)),
        reportSink_(MakeRef<ImportReportSink>()) {}

  HRESULT STDMETHODCALLTYPE AddLogLine(BSTR text) override;
  HRESULT STDMETHODCALLTYPE ShowError(BSTR text, BSTR caption) override;
  HRESULT STDMETHODCALLTYPE ShowMessageBox(BSTR text, BSTR caption, std::int32_t kind, std::uint32_t buttons,
                                           std::int32_t* result) override;
  HRESULT STDMETHODCALLTYPE SendCommand(BSTR command, BSTR parameter) override;
  HRESULT STDMETHODCALLTYPE GetVariable(BSTR name, BSTR* value) override;

  // What the module reported during this session.
  bool ImportProcessed() const { return processed_; }
  // The report of the module's last run that read its source to the end.
  const std::optional<ModuleReport>& ImportReport() const { return reportSink_->Received(); }
  // Raised at the end of every run and at every message to the operator;
  // signal must outlive the kernel or be cleared with null.
  void SetRunEnded(RunSignal* signal) { runEnded_ = signal; }
  // Called at every "REFRESH": the module's changes are to be seen now.
  void SetRefreshAction(std::function<void()> action) { refreshAction_ = std::move(action); }

 private:
  Journal& journal_;
  HostVariables variables_;
  bool processed_ = false;
  RunSignal* runEnded_ = nullptr;
  std::function<void()> refreshAction_;
  Ref<ImportReportSink> reportSink_;

  // The host's own interface besides the contract's: the run report.
  HRESULT QueryOther(REFIID iid, void** object) override {
    return iid == IID_IImportReport ? reportSink_->QueryInterface(iid, object) : E_NOINTERFACE;
  }

  void RaiseRunEnded() {
    if (runEnded_ != nullptr) runEnded_->Notify();
  }
};

}  // namespace quillet::host

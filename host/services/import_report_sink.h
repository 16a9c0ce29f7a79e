// The reference host's IImportReport: it keeps the report the module hands
// over at the end of a run, for the host's own report (--json).
#pragma once

#include <quillet/import_report.h>

#include <optional>
#include <string>
#include <vector>

#include "host/services/ref.h"

namespace quillet::host {

// What the module reported of its run, as it reported it.
struct ModuleReport {
  long found = 0, inserted = 0, updated = 0, withConfirmation = 0, matchedWithinWindow = 0;
  long ignored = 0, errors = 0;
  struct Ignored {
    std::string recordOperator;  // "" for records without one
    bool outOfDate = false;      // else not the log's operator
    long records = 0;
  };
  std::vector<Ignored> ignoredRecords;
  struct Failure {
    long record = 0;
    std::string reason;
  };
  std::vector<Failure> failures;  // the first ones, in order
  long failureCount = 0;
  std::string errorFilePath;
};

class ImportReportSink final : public RefCounted<IImportReport> {
 public:
  ImportReportSink() : RefCounted(IID_IImportReport) {}

  HRESULT STDMETHODCALLTYPE ReportCounts(std::int32_t found, std::int32_t inserted, std::int32_t updated,
                                         std::int32_t withConfirmation, std::int32_t matchedWithinWindow,
                                         std::int32_t ignored, std::int32_t errors) override;
  HRESULT STDMETHODCALLTYPE ReportIgnored(BSTR recordOperator, Flag outOfDate, std::int32_t records) override;
  HRESULT STDMETHODCALLTYPE ReportFailure(std::int32_t record, BSTR reason) override;
  HRESULT STDMETHODCALLTYPE ReportEnd(std::int32_t failures, BSTR errorFilePath) override;

  // The report of the last run that completed one; none before.
  const std::optional<ModuleReport>& Received() const { return received_; }

 private:
  // Filled from ReportCounts to ReportEnd, then received.
  ModuleReport pending_;
  std::optional<ModuleReport> received_;
};

}  // namespace quillet::host

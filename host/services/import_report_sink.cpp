#include "host/services/import_report_sink.h"

#include "host/services/bstr.h"

namespace quillet::host {

// A new report starts with its counts: what an earlier run left half
// reported is dropped.
HRESULT ImportReportSink::ReportCounts(std::int32_t found, std::int32_t inserted, std::int32_t updated,
                                       std::int32_t withConfirmation, std::int32_t matchedWithinWindow,
                                       std::int32_t ignored, std::int32_t errors) {
  return Guarded([&] {
    pending_ = ModuleReport{};
    pending_.found = found;
    pending_.inserted = inserted;
    pending_.updated = updated;
    pending_.withConfirmation = withConfirmation;
    pending_.matchedWithinWindow = matchedWithinWindow;
    pending_.ignored = ignored;
    pending_.errors = errors;
  });
}

HRESULT ImportReportSink::ReportIgnored(BSTR recordOperator, Flag outOfDate, std::int32_t records) {
  return Guarded([&] {
    pending_.ignoredRecords.push_back({FromBstr(recordOperator), outOfDate != kFalse, records});
  });
}

HRESULT ImportReportSink::ReportFailure(std::int32_t record, BSTR reason) {
  return Guarded([&] { pending_.failures.push_back({record, FromBstr(reason)}); });
}

HRESULT ImportReportSink::ReportEnd(std::int32_t failures, BSTR errorFilePath) {
  return Guarded([&] {
    pending_.failureCount = failures;
    pending_.errorFilePath = FromBstr(errorFilePath);
    received_ = std::move(pending_);
    pending_ = ModuleReport{};
  });
}

}  // namespace quillet::host

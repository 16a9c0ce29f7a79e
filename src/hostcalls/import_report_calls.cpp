#include "hostcalls/import_report_calls.h"

#include <quillet/import_report.h>
#include <quillet/plugin_api.h>

#include "runtime/bstr.h"
#include "runtime/safe_call.h"

namespace quillet::host_calls {

// Asked of the kernel directly, so that a host without the interface sees
// this one call and nothing else.
ComPtr<IImportReport> QueryImportReport(IHostKernel* kernel) {
  ComPtr<IImportReport> report;
  if (kernel->QueryInterface(IID_IImportReport, reinterpret_cast<void**>(report.put())) < 0) report.detach();
  return report;
}

void ReportCounts(IImportReport* report, std::int32_t found, std::int32_t inserted, std::int32_t updated,
                  std::int32_t withConfirmation, std::int32_t matchedWithinWindow, std::int32_t ignored,
                  std::int32_t errors) {
  Check(
      report->ReportCounts(found, inserted, updated, withConfirmation, matchedWithinWindow, ignored, errors));
}

void ReportIgnored(IImportReport* report, std::u16string_view recordOperator, bool outOfDate,
                   std::int32_t records) {
  Check(report->ReportIgnored(BString(recordOperator).get(), outOfDate ? kTrue : kFalse, records));
}

void ReportFailure(IImportReport* report, std::int32_t record, std::u16string_view reason) {
  Check(report->ReportFailure(record, BString(reason).get()));
}

void ReportEnd(IImportReport* report, std::int32_t failures, std::u16string_view errorFilePath) {
  Check(report->ReportEnd(failures, BString(errorFilePath).get()));
}

}  // namespace quillet::host_calls

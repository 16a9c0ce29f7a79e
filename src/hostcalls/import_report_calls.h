// The calls of the run report, for a host that offers IImportReport (the
// reference host); see quillet/import_report.h. Each goes through Check
// like every other host call.
#pragma once

#include <quillet/import_report.h>

#include <cstdint>
#include <string_view>

#include "runtime/com_ptr.h"

namespace quillet {

namespace host_calls {

// The host's report interface; empty for a host without one.
ComPtr<IImportReport> QueryImportReport(IHostKernel* kernel);

void ReportCounts(IImportReport* report, std::int32_t found, std::int32_t inserted, std::int32_t updated,
                  std::int32_t withConfirmation, std::int32_t matchedWithinWindow, std::int32_t ignored,
                  std::int32_t errors);
void ReportIgnored(IImportReport* report, std::u16string_view recordOperator, bool outOfDate,
                   std::int32_t records);
void ReportFailure(IImportReport* report, std::int32_t record, std::u16string_view reason);
void ReportEnd(IImportReport* report, std::int32_t failures, std::u16string_view errorFilePath);

}  // namespace host_calls
}  // namespace quillet

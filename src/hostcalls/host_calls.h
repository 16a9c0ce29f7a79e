// The host operations the module uses, each one call through Check: a
// failure status raises at the call site. Whatever in the module asks the
// host for its settings or its data asks through here (or through
// HostQuery, for the rows of a query).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet {

struct IHostKernel;
struct IHostServer;

namespace host_calls {

void AddLogLine(IHostKernel* kernel, std::u16string_view text);
void ShowError(IHostKernel* kernel, std::u16string_view text, std::u16string_view caption);
// The button the operator pressed, as the host reports it.
std::int32_t ShowMessageBox(IHostKernel* kernel, std::u16string_view text, std::u16string_view caption,
                            std::int32_t kind, std::uint32_t buttons);
void SendCommand(IHostKernel* kernel, std::u16string_view command, std::u16string_view parameter);
std::u16string GetVariable(IHostKernel* kernel, std::u16string_view name);

std::int32_t GetRecordCount(IHostServer* server, std::u16string_view table);
std::int32_t GetRecordCountWhere(IHostServer* server, std::u16string_view table,
                                 std::u16string_view condition);
// The number of rows the statement changed; 0 when the host did not carry it out.
std::int32_t ExecuteSQL(IHostServer* server, std::u16string_view sql);

}  // namespace host_calls
}  // namespace quillet

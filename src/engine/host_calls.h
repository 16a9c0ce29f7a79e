// The host operations the import engine uses, each one call through Check:
// a failure status raises at the call site.
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
void SendCommand(IHostKernel* kernel, std::u16string_view command, std::u16string_view parameter);
std::u16string GetVariable(IHostKernel* kernel, std::u16string_view name);

std::int32_t GetRecordCountWhere(IHostServer* server, std::u16string_view table,
                                 std::u16string_view condition);
std::int32_t ExecuteSQL(IHostServer* server, std::u16string_view sql);

}  // namespace host_calls
}  // namespace quillet

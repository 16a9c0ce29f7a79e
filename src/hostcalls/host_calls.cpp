#include "hostcalls/host_calls.h"

#include <quillet/plugin_api.h>

#include "runtime/bstr.h"
#include "runtime/safe_call.h"

namespace quillet::host_calls {

// Each call builds its BSTR arguments for the call alone: the host only
// borrows an in parameter, so the temporaries free them once it returns.
void AddLogLine(IHostKernel* kernel, std::u16string_view text) {
  Check(kernel->AddLogLine(BString(text).get()));
}

void ShowError(IHostKernel* kernel, std::u16string_view text, std::u16string_view caption) {
  Check(kernel->ShowError(BString(text).get(), BString(caption).get()));
}

std::int32_t ShowMessageBox(IHostKernel* kernel, std::u16string_view text, std::u16string_view caption,
                            std::int32_t kind, std::uint32_t buttons) {
  std::int32_t pressed = 0;
  Check(kernel->ShowMessageBox(BString(text).get(), BString(caption).get(), kind, buttons, &pressed));
  return pressed;
}

void SendCommand(IHostKernel* kernel, std::u16string_view command, std::u16string_view parameter) {
  Check(kernel->SendCommand(BString(command).get(), BString(parameter).get()));
}

// The value is an out parameter: the host allocates it and the BString
// frees it, also when Check raises.
std::u16string GetVariable(IHostKernel* kernel, std::u16string_view name) {
  BString value;
  Check(kernel->GetVariable(BString(name).get(), value.put()));
  return value.Text();
}

std::int32_t GetRecordCount(IHostServer* server, std::u16string_view table) {
  std::int32_t count = 0;
  Check(server->GetRecordCount(BString(table).get(), &count));
  return count;
}

std::int32_t GetRecordCountWhere(IHostServer* server, std::u16string_view table,
                                 std::u16string_view condition) {
  std::int32_t count = 0;
  Check(server->GetRecordCountWhere(BString(table).get(), BString(condition).get(), &count));
  return count;
}

// A refused statement is not a failure status: the host answers S_OK with
// 0 rows, and the caller decides what a refusal means.
std::int32_t ExecuteSQL(IHostServer* server, std::u16string_view sql) {
  std::int32_t result = 0;
  Check(server->ExecuteSQL(BString(sql).get(), &result));
  return result;
}

}  // namespace quillet::host_calls

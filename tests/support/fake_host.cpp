#include "support/fake_host.h"

#include <utility>

#include "runtime/bstr.h"
#include "runtime/text.h"

namespace quillet::testing {
namespace {

std::string Utf8(BSTR text) { return Utf16ToUtf8(BString::ToText(text)); }

// Stores a new copy of text in an out parameter.
HRESULT PutText(std::u16string_view text, BSTR* out) {
  *out = text.empty() ? nullptr : SysAllocStringLen(OleUnits(text.data()), static_cast<UINT>(text.size()));
  return (text.empty() || *out != nullptr) ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

FakeHost::FakeHost() = default;

// Error information this host left for the thread and nobody collected is
// dropped with the host, so that its strings do not outlive the test.
FakeHost::~FakeHost() {
  IErrorInfo* current = nullptr;
  if (GetErrorInfo(0, &current) != S_OK || current == nullptr) return;
  bool ours = false;
  for (const auto& injected : injectedErrors_) ours = ours || injected.get() == current;
  if (!ours) SetErrorInfo(0, current);
  current->Release();
}

void FakeHost::AddInterface(const IID& iid, IUnknown* object) {
  interfaces_.emplace_back(iid, ComPtr<IUnknown>::Borrow(object));
}

void FakeHost::SetVariable(std::u16string name, std::u16string value) {
  variables_[std::move(name)] = std::move(value);
}

void FakeHost::SetRecordCount(std::u16string table, std::int32_t count) {
  recordCounts_[std::move(table)] = count;
}

void FakeHost::OnRecordCountWhere(
    std::function<std::int32_t(std::u16string_view table, std::u16string_view condition)> answer) {
  recordCountWhere_ = std::move(answer);
}

void FakeHost::OnExecuteSQL(std::function<std::int32_t(std::u16string_view sql)> answer) {
  executeSql_ = std::move(answer);
}

void FakeHost::SetQueryResult(std::u16string tableName, FakeResult result) {
  tableResults_.emplace_back(std::move(tableName), std::move(result));
}

void FakeHost::OnQuery(std::function<std::optional<FakeResult>(std::u16string_view sql)> answer) {
  queryAnswer_ = std::move(answer);
}

void FakeHost::FailAt(std::string method, int occurrence, HRESULT status, std::u16string description,
                      std::u16string source) {
  failures_.push_back({std::move(method), occurrence, status, std::move(description), std::move(source)});
}

std::vector<std::string> FakeHost::CallNames() const {
  std::vector<std::string> names;
  for (const auto& call : calls_) names.push_back(call.substr(0, call.find(' ')));
  return names;
}

int FakeHost::CallCount(std::string_view method) const {
  const auto found = occurrences_.find(method);
  return found == occurrences_.end() ? 0 : found->second;
}

void FakeHost::ClearCalls() { calls_.clear(); }

HRESULT FakeHost::Enter(std::string method, std::string arguments) {
  calls_.push_back(arguments.empty() ? method : method + " " + arguments);
  const int occurrence = ++occurrences_[method];
  for (const auto& failure : failures_) {
    if (failure.method == method && (failure.occurrence == 0 || failure.occurrence == occurrence)) {
      return Fail(failure.status, failure.description, failure.source);
    }
  }
  return S_OK;
}

HRESULT FakeHost::Fail(HRESULT status, std::u16string_view description, std::u16string_view source) {
  ComPtr<ICreateErrorInfo> created;
  if (CreateErrorInfo(created.put()) != S_OK) return status;
  std::u16string descriptionCopy(description);
  std::u16string sourceCopy(source);
  created->SetDescription(const_cast<LPOLESTR>(OleUnits(descriptionCopy.c_str())));
  created->SetSource(const_cast<LPOLESTR>(OleUnits(sourceCopy.c_str())));
  auto info = created.Query<IErrorInfo>(IID_IErrorInfo);
  SetErrorInfo(0, info.get());
  injectedErrors_.push_back(std::move(info));
  return status;
}

HRESULT FakeHost::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_ICore) {
    *object = static_cast<ICore*>(this);
  } else if (iid == IID_IHostKernel) {
    *object = static_cast<IHostKernel*>(this);
  } else if (iid == IID_IHostServer) {
    *object = static_cast<IHostServer*>(this);
  } else {
    for (const auto& [known, other] : interfaces_) {
      if (known == iid) {
        other->AddRef();
        *object = other.get();
        return S_OK;
      }
    }
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG FakeHost::AddRef() { return static_cast<ULONG>(++refs_); }

ULONG FakeHost::Release() { return static_cast<ULONG>(--refs_); }

HRESULT FakeHost::GetVersion(std::int32_t* version) {
  if (HRESULT status = Enter("GetVersion"); status < 0) return status;
  if (version == nullptr) return E_POINTER;
  *version = version_;
  return S_OK;
}

HRESULT FakeHost::AddLogLine(BSTR text) {
  if (HRESULT status = Enter("AddLogLine", Utf8(text)); status < 0) return status;
  logLines_.push_back(BString::ToText(text));
  return S_OK;
}

HRESULT FakeHost::ShowError(BSTR text, BSTR caption) {
  if (HRESULT status = Enter("ShowError", Utf8(text) + " " + Utf8(caption)); status < 0) return status;
  errors_.push_back({BString::ToText(text), BString::ToText(caption)});
  return S_OK;
}

HRESULT FakeHost::ShowMessageBox(BSTR text, BSTR caption, std::int32_t kind, std::uint32_t buttons,
                                 std::int32_t* result) {
  const std::string arguments =
      Utf8(text) + " " + Utf8(caption) + " " + std::to_string(kind) + " " + std::to_string(buttons);
  if (HRESULT status = Enter("ShowMessageBox", arguments); status < 0) return status;
  if (result == nullptr) return E_POINTER;
  messageBoxes_.push_back({BString::ToText(text), BString::ToText(caption), kind, buttons});
  *result = messageBoxResult_;
  return S_OK;
}

HRESULT FakeHost::SendCommand(BSTR command, BSTR parameter) {
  if (HRESULT status = Enter("SendCommand", Utf8(command) + " " + Utf8(parameter)); status < 0) return status;
  commands_.push_back({BString::ToText(command), BString::ToText(parameter)});
  return S_OK;
}

HRESULT FakeHost::GetVariable(BSTR name, BSTR* value) {
  if (HRESULT status = Enter("GetVariable", Utf8(name)); status < 0) return status;
  if (value == nullptr) return E_POINTER;
  const auto found = variables_.find(BString::ToText(name));
  return PutText(found == variables_.end() ? std::u16string_view() : found->second, value);
}

HRESULT FakeHost::GetRecordCount(BSTR table, std::int32_t* count) {
  if (HRESULT status = Enter("GetRecordCount", Utf8(table)); status < 0) return status;
  if (count == nullptr) return E_POINTER;
  const auto found = recordCounts_.find(BString::ToText(table));
  *count = found == recordCounts_.end() ? 0 : found->second;
  return S_OK;
}

HRESULT FakeHost::GetRecordCountWhere(BSTR table, BSTR condition, std::int32_t* count) {
  if (HRESULT status = Enter("GetRecordCountWhere", Utf8(table) + " " + Utf8(condition)); status < 0) {
    return status;
  }
  if (count == nullptr) return E_POINTER;
  *count = recordCountWhere_ ? recordCountWhere_(BString::ToText(table), BString::ToText(condition)) : 0;
  return S_OK;
}

HRESULT FakeHost::ExecuteSQL(BSTR sql, std::int32_t* result) {
  if (HRESULT status = Enter("ExecuteSQL", Utf8(sql)); status < 0) return status;
  if (result == nullptr) return E_POINTER;
  executed_.push_back(BString::ToText(sql));
  *result = executeSql_ ? executeSql_(executed_.back()) : 1;
  return S_OK;
}

}  // namespace quillet::testing

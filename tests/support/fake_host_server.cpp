// The query protocol of the fake host: handles numbered from 1, a result
// chosen by the statement text, a position that QueryFirst sets and
// QueryNext advances, and fields read from the current row.
#include <cstdlib>

#include "runtime/bstr.h"
#include "runtime/text.h"
#include "support/fake_host.h"

namespace quillet::testing {
namespace {

constexpr HRESULT kTypeMismatch = static_cast<HRESULT>(0x80020005u);

std::string Utf8(BSTR text) { return Utf16ToUtf8(BString::ToText(text)); }

std::string Args(QueryHandle handle, BSTR text = nullptr) {
  return text == nullptr ? std::to_string(handle) : std::to_string(handle) + " " + Utf8(text);
}

std::u16string TwoDigits(int value) {
  return {char16_t(u'0' + value / 10 % 10), char16_t(u'0' + value % 10)};
}

// A column as the host would render it as text.
std::u16string AsText(const FakeValue& value) {
  if (const auto* text = std::get_if<std::u16string>(&value)) return *text;
  if (const auto* number = std::get_if<std::int32_t>(&value)) return IntToText(*number);
  if (const auto* date = std::get_if<FakeDateTime>(&value)) {
    return IntToText(date->year) + u"-" + TwoDigits(date->month) + u"-" + TwoDigits(date->day) + u" " +
           TwoDigits(date->hour) + u":" + TwoDigits(date->minute) + u":" + TwoDigits(date->second);
  }
  return {};
}

bool AsInteger(const FakeValue& value, std::int32_t& result) {
  if (const auto* number = std::get_if<std::int32_t>(&value)) {
    result = *number;
    return true;
  }
  const auto* text = std::get_if<std::u16string>(&value);
  if (text == nullptr) return std::holds_alternative<std::monostate>(value) && (result = 0, true);
  const std::string narrow = Utf16ToUtf8(*text);
  char* end = nullptr;
  result = static_cast<std::int32_t>(std::strtol(narrow.c_str(), &end, 10));
  return !narrow.empty() && *end == '\0';
}

Flag HasValue(const FakeValue& value) {
  return std::holds_alternative<std::monostate>(value) ? kFalse : kTrue;
}

}  // namespace

FakeResult FakeHost::AnswerQuery(std::u16string_view sql) const {
  if (queryAnswer_) {
    if (auto answer = queryAnswer_(sql)) return *answer;
  }
  for (const auto& [table, result] : tableResults_) {
    if (sql.find(table) != std::u16string_view::npos) return result;
  }
  return {};
}

FakeHost::Query* FakeHost::FindQuery(QueryHandle handle) {
  const auto found = queries_.find(handle);
  return found == queries_.end() ? nullptr : &found->second;
}

HRESULT FakeHost::ReadField(QueryHandle handle, BSTR fieldName, const FakeValue*& value) {
  Query* query = FindQuery(handle);
  if (query == nullptr || !query->open) return Fail(E_INVALIDARG, u"Query is not open");
  if (query->position >= query->result.rows.size()) return Fail(E_FAIL, u"No current row");
  const FakeRow& row = query->result.rows[query->position];
  const auto found = row.find(BString::ToText(fieldName));
  if (found == row.end()) return Fail(E_INVALIDARG, u"Field '" + BString::ToText(fieldName) + u"' not found");
  value = &found->second;
  return S_OK;
}

HRESULT FakeHost::CreateQuery(QueryHandle* handle) {
  if (HRESULT status = Enter("CreateQuery"); status < 0) return status;
  if (handle == nullptr) return E_POINTER;
  *handle = nextHandle_++;
  queries_[*handle] = Query{};
  return S_OK;
}

HRESULT FakeHost::SetQuerySQL(QueryHandle handle, BSTR sql) {
  if (HRESULT status = Enter("SetQuerySQL", Args(handle, sql)); status < 0) return status;
  Query* query = FindQuery(handle);
  if (query == nullptr) return Fail(E_INVALIDARG, u"Unknown query handle");
  query->sql = BString::ToText(sql);
  return S_OK;
}

HRESULT FakeHost::OpenQuery(QueryHandle handle, std::int32_t* recordCount) {
  if (HRESULT status = Enter("OpenQuery", Args(handle)); status < 0) return status;
  Query* query = FindQuery(handle);
  if (query == nullptr) return Fail(E_INVALIDARG, u"Unknown query handle");
  if (recordCount == nullptr) return E_POINTER;
  query->result = AnswerQuery(query->sql);
  query->open = true;
  query->position = 0;
  *recordCount = query->result.reportedCount.value_or(static_cast<std::int32_t>(query->result.rows.size()));
  return S_OK;
}

HRESULT FakeHost::QueryFirst(QueryHandle handle) {
  if (HRESULT status = Enter("QueryFirst", Args(handle)); status < 0) return status;
  Query* query = FindQuery(handle);
  if (query == nullptr || !query->open) return Fail(E_INVALIDARG, u"Query is not open");
  query->position = 0;
  return S_OK;
}

HRESULT FakeHost::QueryNext(QueryHandle handle) {
  if (HRESULT status = Enter("QueryNext", Args(handle)); status < 0) return status;
  Query* query = FindQuery(handle);
  if (query == nullptr || !query->open) return Fail(E_INVALIDARG, u"Query is not open");
  if (query->position < query->result.rows.size()) ++query->position;
  return S_OK;
}

HRESULT FakeHost::QueryEof(QueryHandle handle, Flag* eof) {
  if (HRESULT status = Enter("QueryEof", Args(handle)); status < 0) return status;
  Query* query = FindQuery(handle);
  if (query == nullptr || !query->open) return Fail(E_INVALIDARG, u"Query is not open");
  if (eof == nullptr) return E_POINTER;
  *eof = query->position >= query->result.rows.size() ? kTrue : kFalse;
  return S_OK;
}

HRESULT FakeHost::GetFieldString(QueryHandle handle, BSTR fieldName, BSTR* inOutValue, Flag* hasValue) {
  if (HRESULT status = Enter("GetFieldString", Args(handle, fieldName)); status < 0) return status;
  if (inOutValue == nullptr || hasValue == nullptr) return E_POINTER;
  const FakeValue* value = nullptr;
  if (HRESULT status = ReadField(handle, fieldName, value); status < 0) return status;
  const std::u16string text = AsText(*value);
  BSTR fresh =
      text.empty() ? nullptr : SysAllocStringLen(OleUnits(text.data()), static_cast<UINT>(text.size()));
  if (!text.empty() && fresh == nullptr) return E_OUTOFMEMORY;
  SysFreeString(*inOutValue);
  *inOutValue = fresh;
  *hasValue = HasValue(*value);
  return S_OK;
}

HRESULT FakeHost::GetFieldInteger(QueryHandle handle, BSTR fieldName, std::int32_t* value, Flag* hasValue) {
  if (HRESULT status = Enter("GetFieldInteger", Args(handle, fieldName)); status < 0) return status;
  if (value == nullptr || hasValue == nullptr) return E_POINTER;
  const FakeValue* column = nullptr;
  if (HRESULT status = ReadField(handle, fieldName, column); status < 0) return status;
  std::int32_t number = 0;
  if (!AsInteger(*column, number)) return Fail(kTypeMismatch, u"Field is not an integer");
  *value = number;
  *hasValue = HasValue(*column);
  return S_OK;
}

HRESULT FakeHost::GetFieldDateTime(QueryHandle handle, BSTR fieldName, std::uint16_t* year,
                                   std::uint16_t* month, std::uint16_t* day, std::uint16_t* hour,
                                   std::uint16_t* minute, std::uint16_t* second, Flag* hasValue) {
  if (HRESULT status = Enter("GetFieldDateTime", Args(handle, fieldName)); status < 0) return status;
  if (!year || !month || !day || !hour || !minute || !second || !hasValue) return E_POINTER;
  const FakeValue* column = nullptr;
  if (HRESULT status = ReadField(handle, fieldName, column); status < 0) return status;
  FakeDateTime parts;
  if (const auto* date = std::get_if<FakeDateTime>(column)) {
    parts = *date;
  } else if (!std::holds_alternative<std::monostate>(*column)) {
    return Fail(kTypeMismatch, u"Field is not a date and time");
  }
  *year = parts.year;
  *month = parts.month;
  *day = parts.day;
  *hour = parts.hour;
  *minute = parts.minute;
  *second = parts.second;
  *hasValue = HasValue(*column);
  return S_OK;
}

HRESULT FakeHost::CloseQuery(QueryHandle handle) {
  if (HRESULT status = Enter("CloseQuery", Args(handle)); status < 0) return status;
  Query* query = FindQuery(handle);
  if (query == nullptr) return Fail(E_INVALIDARG, u"Unknown query handle");
  query->open = false;
  return S_OK;
}

HRESULT FakeHost::FreeQuery(QueryHandle handle) {
  if (HRESULT status = Enter("FreeQuery", Args(handle)); status < 0) return status;
  if (queries_.erase(handle) == 0) return Fail(E_INVALIDARG, u"Unknown query handle");
  return S_OK;
}

}  // namespace quillet::testing

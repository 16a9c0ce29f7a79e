// A scripted host for tests: one object that implements ICore, IHostKernel
// and IHostServer with canned answers, records every call in order, and can
// fail any call with a chosen status and error information.
//
// Ownership follows the host contract: in-strings are only read, out and
// by-reference strings are allocated for the caller (who frees them), and
// the by-reference value of GetFieldString has its old content freed.
// The object lives on the test's stack: AddRef and Release only count
// (RefCount() starts at 0 and is back to 0 once every reference handed out
// or taken has been released); nothing is ever deleted through Release.
//
// The call log holds one line per host method, IUnknown's methods left
// out: the method name, then its arguments separated by single spaces,
// texts as UTF-8, e.g. "CreateQuery", "SetQuerySQL 1 SELECT ...",
// "GetFieldString 1 Callsign", "CloseQuery 1", "FreeQuery 1". A call that
// is made to fail is logged like any other.
#pragma once

#include <quillet/plugin_api.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "runtime/com_ptr.h"

namespace quillet::testing {

struct FakeDateTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
};

// One column value: null (std::monostate), text, integer or date-time parts.
using FakeValue = std::variant<std::monostate, std::u16string, std::int32_t, FakeDateTime>;
// Column name (matched exactly) -> value. A column a row lacks is an
// unknown field: reading it fails with E_INVALIDARG.
using FakeRow = std::map<std::u16string, FakeValue>;

struct FakeResult {
  std::vector<FakeRow> rows;
  // What OpenQuery reports; rows.size() when not set. Rows past a smaller
  // reported count are still visited by QueryNext/QueryEof.
  std::optional<std::int32_t> reportedCount;
};

struct FakeMessageBox {
  std::u16string text;
  std::u16string caption;
  std::int32_t kind = 0;
  std::uint32_t buttons = 0;
};

struct FakeTextPair {  // ShowError (text, caption), SendCommand (command, parameter)
  std::u16string first;
  std::u16string second;
};

class FakeHost final : public ICore, public IHostKernel, public IHostServer {
 public:
  FakeHost();
  ~FakeHost();
  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;

  // Borrowed pointers (no reference added).
  ICore* Core() { return this; }
  IHostKernel* Kernel() { return this; }
  IHostServer* Server() { return this; }
  std::int32_t RefCount() const { return refs_; }

  // --- Script ---
  void SetVersion(std::int32_t version) { version_ = version; }  // 104019 unless set
  // Another interface that QueryInterface hands out (with a reference added).
  void AddInterface(const IID& iid, IUnknown* object);
  void SetVariable(std::u16string name, std::u16string value);    // unknown names give ""
  void SetRecordCount(std::u16string table, std::int32_t count);  // unknown tables give 0
  void OnRecordCountWhere(
      std::function<std::int32_t(std::u16string_view table, std::u16string_view condition)> answer);
  void OnExecuteSQL(std::function<std::int32_t(std::u16string_view sql)> answer);  // 1 unless set
  void SetMessageBoxResult(std::int32_t result) { messageBoxResult_ = result; }    // 1 unless set
  // The result of every query whose SQL contains tableName (first added wins).
  void SetQueryResult(std::u16string tableName, FakeResult result);
  // Consulted before SetQueryResult's table; nullopt passes on. SQL that
  // nothing answers gives an empty result.
  void OnQuery(std::function<std::optional<FakeResult>(std::u16string_view sql)> answer);
  // The occurrence-th call (1-based; 0: every call) of the named method
  // stores error information with description and source, then returns
  // status without doing anything else.
  void FailAt(std::string method, int occurrence, HRESULT status, std::u16string description = {},
              std::u16string source = {});

  // --- Record ---
  const std::vector<std::string>& Calls() const { return calls_; }
  std::vector<std::string> CallNames() const;  // the first word of each line
  int CallCount(std::string_view method) const;
  void ClearCalls();
  const std::vector<std::u16string>& ExecutedStatements() const { return executed_; }
  const std::vector<std::u16string>& LogLines() const { return logLines_; }
  const std::vector<FakeTextPair>& Errors() const { return errors_; }
  const std::vector<FakeTextPair>& Commands() const { return commands_; }
  const std::vector<FakeMessageBox>& MessageBoxes() const { return messageBoxes_; }
  // Queries created and not yet freed.
  std::size_t LiveQueries() const { return queries_.size(); }

  // --- IUnknown ---
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // --- ICore ---
  HRESULT QUILLET_STDCALL GetVersion(std::int32_t* version) override;

  // --- IHostKernel ---
  HRESULT QUILLET_STDCALL AddLogLine(BSTR text) override;
  HRESULT QUILLET_STDCALL ShowError(BSTR text, BSTR caption) override;
  HRESULT QUILLET_STDCALL ShowMessageBox(BSTR text, BSTR caption, std::int32_t kind, std::uint32_t buttons,
                                         std::int32_t* result) override;
  HRESULT QUILLET_STDCALL SendCommand(BSTR command, BSTR parameter) override;
  HRESULT QUILLET_STDCALL GetVariable(BSTR name, BSTR* value) override;

  // --- IHostServer ---
  HRESULT QUILLET_STDCALL GetRecordCount(BSTR table, std::int32_t* count) override;
  HRESULT QUILLET_STDCALL GetRecordCountWhere(BSTR table, BSTR condition, std::int32_t* count) override;
  HRESULT QUILLET_STDCALL CreateQuery(QueryHandle* handle) override;
  HRESULT QUILLET_STDCALL SetQuerySQL(QueryHandle handle, BSTR sql) override;
  HRESULT QUILLET_STDCALL OpenQuery(QueryHandle handle, std::int32_t* recordCount) override;
  HRESULT QUILLET_STDCALL QueryFirst(QueryHandle handle) override;
  HRESULT QUILLET_STDCALL QueryNext(QueryHandle handle) override;
  HRESULT QUILLET_STDCALL QueryEof(QueryHandle handle, Flag* eof) override;
  HRESULT QUILLET_STDCALL GetFieldString(QueryHandle handle, BSTR fieldName, BSTR* inOutValue,
                                         Flag* hasValue) override;
  HRESULT QUILLET_STDCALL GetFieldInteger(QueryHandle handle, BSTR fieldName, std::int32_t* value,
                                          Flag* hasValue) override;
  HRESULT QUILLET_STDCALL GetFieldDateTime(QueryHandle handle, BSTR fieldName, std::uint16_t* year,
                                           std::uint16_t* month, std::uint16_t* day, std::uint16_t* hour,
                                           std::uint16_t* minute, std::uint16_t* second,
                                           Flag* hasValue) override;
  HRESULT QUILLET_STDCALL CloseQuery(QueryHandle handle) override;
  HRESULT QUILLET_STDCALL FreeQuery(QueryHandle handle) override;
  HRESULT QUILLET_STDCALL ExecuteSQL(BSTR sql, std::int32_t* result) override;

 private:
  struct Failure {
    std::string method;
    int occurrence;
    HRESULT status;
    std::u16string description;
    std::u16string source;
  };
  struct Query {
    std::u16string sql;
    FakeResult result;
    bool open = false;
    std::size_t position = 0;
  };

  // Logs the call and answers an injected failure, else S_OK.
  HRESULT Enter(std::string method, std::string arguments = {});
  HRESULT Fail(HRESULT status, std::u16string_view description, std::u16string_view source = {});
  FakeResult AnswerQuery(std::u16string_view sql) const;
  Query* FindQuery(QueryHandle handle);
  // The current row's column, or a failure status when there is none.
  HRESULT ReadField(QueryHandle handle, BSTR fieldName, const FakeValue*& value);

  std::int32_t refs_ = 0;
  std::int32_t version_ = 104019;
  std::int32_t messageBoxResult_ = 1;
  std::vector<std::pair<IID, ComPtr<IUnknown>>> interfaces_;
  std::map<std::u16string, std::u16string> variables_;
  std::map<std::u16string, std::int32_t> recordCounts_;
  std::function<std::int32_t(std::u16string_view, std::u16string_view)> recordCountWhere_;
  std::function<std::int32_t(std::u16string_view)> executeSql_;
  std::vector<std::pair<std::u16string, FakeResult>> tableResults_;
  std::function<std::optional<FakeResult>(std::u16string_view)> queryAnswer_;
  std::vector<Failure> failures_;
  std::vector<ComPtr<IErrorInfo>> injectedErrors_;
  std::map<QueryHandle, Query> queries_;
  QueryHandle nextHandle_ = 1;

  std::vector<std::string> calls_;
  std::map<std::string, int, std::less<>> occurrences_;
  std::vector<std::u16string> executed_;
  std::vector<std::u16string> logLines_;
  std::vector<FakeTextPair> errors_;
  std::vector<FakeTextPair> commands_;
  std::vector<FakeMessageBox> messageBoxes_;
};

}  // namespace quillet::testing

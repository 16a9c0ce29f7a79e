// IHostServer of the reference host: counts, queries and data-changing
// statements over the SQLite database, every statement first translated
// from the host's dialect (host/store/sql_dialect.h).
#pragma once

#include <quillet/plugin_api.h>

#include <functional>
#include <string>
#include <string_view>

#include "host/services/query_table.h"
#include "host/services/ref.h"
#include "host/store/database.h"
#include "host/store/statement_cache.h"

namespace quillet::host {

class Journal;

class HostServer final : public RefCounted<IHostServer> {
 public:
  HostServer(Database& db, Journal& journal)
      : RefCounted(IID_IHostServer),
        db_(db),
        journal_(journal),
        statements_(db),
        batch_(db, CommitPolicy::EachStatement) {}

  HRESULT STDMETHODCALLTYPE GetRecordCount(BSTR table, std::int32_t* count) override;
  HRESULT STDMETHODCALLTYPE GetRecordCountWhere(BSTR table, BSTR condition, std::int32_t* count) override;
  HRESULT STDMETHODCALLTYPE CreateQuery(QueryHandle* handle) override;
  HRESULT STDMETHODCALLTYPE SetQuerySQL(QueryHandle handle, BSTR sql) override;
  HRESULT STDMETHODCALLTYPE OpenQuery(QueryHandle handle, std::int32_t* recordCount) override;
  HRESULT STDMETHODCALLTYPE QueryFirst(QueryHandle handle) override;
  HRESULT STDMETHODCALLTYPE QueryNext(QueryHandle handle) override;
  HRESULT STDMETHODCALLTYPE QueryEof(QueryHandle handle, Flag* eof) override;
  HRESULT STDMETHODCALLTYPE GetFieldString(QueryHandle handle, BSTR fieldName, BSTR* inOutValue,
                                           Flag* hasValue) override;
  HRESULT STDMETHODCALLTYPE GetFieldInteger(QueryHandle handle, BSTR fieldName, std::int32_t* value,
                                            Flag* hasValue) override;
  HRESULT STDMETHODCALLTYPE GetFieldDateTime(QueryHandle handle, BSTR fieldName, std::uint16_t* year,
                                             std::uint16_t* month, std::uint16_t* day, std::uint16_t* hour,
                                             std::uint16_t* minute, std::uint16_t* second,
                                             Flag* hasValue) override;
  HRESULT STDMETHODCALLTYPE CloseQuery(QueryHandle handle) override;
  HRESULT STDMETHODCALLTYPE FreeQuery(QueryHandle handle) override;
  HRESULT STDMETHODCALLTYPE ExecuteSQL(BSTR sql, std::int32_t* result) override;

  // Called after every statement ExecuteSQL carries out or refuses: the
  // module's import runs one per record it takes.
  void SetStatementObserver(std::function<void()> observer) { statementObserver_ = std::move(observer); }
  // Why the database could not carry on; empty while it can.
  const std::string& Fault() const { return fault_; }

  // Runs at the start of every write transaction of the module's
  // statements (WriteBatch::SetOnBegin); a LogConflict it raises becomes
  // the Fault() as it stands.
  void SetBatchOpening(std::function<void()> opening) { batch_.SetOnBegin(std::move(opening)); }
  // Every statement commits on its own until a run asks for batches.
  void SetCommitPolicy(CommitPolicy policy);
  // Commits the open batch, at the end of a run or when the module asks for
  // its views to be refreshed. Never raises: a failure becomes the Fault()
  // and CommitFailed().
  void CommitWrites() noexcept;
  bool CommitFailed() const { return commitFailed_; }

 private:
  std::int32_t Execute(const std::string& sql);
  // Opens the batch before a statement; raises HostError with the Fault().
  void EnterBatch();
  std::string FaultText(const char* what) const;
  // Translated and run; the first column of the first row.
  std::int64_t RunStatement(const std::string& dialectSql);

  Database& db_;
  Journal& journal_;
  QueryTable queries_;
  StatementCache statements_;
  WriteBatch batch_;
  std::function<void()> statementObserver_;
  std::string fault_;
  bool commitFailed_ = false;
};

// A table name as the module passes it, checked to be a plain identifier.
std::string TableName(BSTR table);

}  // namespace quillet::host

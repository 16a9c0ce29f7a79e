#include "host/services/host_server.h"

#include <limits>

#include "host/base/text.h"
#include "host/services/bstr.h"
#include "host/services/journal.h"
#include "host/store/database.h"
#include "host/store/log_book.h"
#include "host/store/sql_dialect.h"

namespace quillet::host {
namespace {

// The interface counts in 32 bits; a larger count is capped, not wrapped
// into a negative number the module would read as a failure.
std::int32_t ToCount(std::int64_t value) {
  return value > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                          : static_cast<std::int32_t>(value);
}

// The first line of a statement, for journal messages.
std::string_view FirstLine(std::string_view sql) {
  sql = TrimText(sql);
  return sql.substr(0, sql.find_first_of("\r\n"));
}

}  // namespace

// A table name goes into the statement as it is (SQLite cannot bind a
// name), so only plain identifiers are let through.
std::string TableName(BSTR table) {
  const std::string name = FromBstr(table);
  bool plain = !name.empty();
  for (char c : name) {
    plain = plain && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_');
  }
  if (!plain) throw HostError("'" + name + "' is not a table name");
  return name;
}

HRESULT HostServer::GetRecordCount(BSTR table, std::int32_t* count) {
  if (count == nullptr) return E_POINTER;
  return Guarded([&] {
    // The count is read inside the run's write transaction, so it sees the
    // run's own rows and no other import can insert between it and the
    // statement that follows.
    const std::string sql = "SELECT COUNT(*) FROM " + TableName(table);
    EnterBatch();
    *count = ToCount(QueryInteger(db_, sql));
  });
}

HRESULT HostServer::GetRecordCountWhere(BSTR table, BSTR condition, std::int32_t* count) {
  if (count == nullptr) return E_POINTER;
  return Guarded([&] {
    // The condition is in the host's dialect; RunStatement translates it and
    // shares one prepared statement among conditions that differ in values.
    const std::string sql = "SELECT COUNT(*) FROM " + TableName(table) + " WHERE " + FromBstr(condition);
    EnterBatch();
    *count = ToCount(RunStatement(sql));
  });
}

HRESULT HostServer::CreateQuery(QueryHandle* handle) {
  if (handle == nullptr) return E_POINTER;
  return Guarded([&] { *handle = queries_.Create(); });
}

HRESULT HostServer::SetQuerySQL(QueryHandle handle, BSTR sql) {
  return Guarded([&] { queries_.At(handle).SetSql(TranslateSql(FromBstr(sql))); });
}

HRESULT HostServer::OpenQuery(QueryHandle handle, std::int32_t* recordCount) {
  if (recordCount == nullptr) return E_POINTER;
  return Guarded([&] {
    Query& query = queries_.At(handle);
    EnterBatch();
    *recordCount = query.Open(db_);
  });
}

HRESULT HostServer::QueryFirst(QueryHandle handle) {
  return Guarded([&] { queries_.At(handle).First(); });
}

HRESULT HostServer::QueryNext(QueryHandle handle) {
  return Guarded([&] { queries_.At(handle).Next(); });
}

HRESULT HostServer::QueryEof(QueryHandle handle, Flag* eof) {
  if (eof == nullptr) return E_POINTER;
  return Guarded([&] { *eof = queries_.At(handle).Eof() ? kTrue : kFalse; });
}

HRESULT HostServer::GetFieldString(QueryHandle handle, BSTR fieldName, BSTR* inOutValue, Flag* hasValue) {
  if (inOutValue == nullptr || hasValue == nullptr) return E_POINTER;
  return Guarded([&] {
    const Query& query = queries_.At(handle);
    const int column = query.Column(FromBstr(fieldName));
    // Allocated before the old value is freed: if the allocation fails, the
    // caller's string is still intact.
    BSTR text = NewBstr(query.Row().Text(column));
    SysFreeString(*inOutValue);
    *inOutValue = text;
    *hasValue = query.Row().IsNull(column) ? kFalse : kTrue;
  });
}

HRESULT HostServer::GetFieldInteger(QueryHandle handle, BSTR fieldName, std::int32_t* value, Flag* hasValue) {
  if (value == nullptr || hasValue == nullptr) return E_POINTER;
  return Guarded([&] {
    const Query& query = queries_.At(handle);
    const int column = query.Column(FromBstr(fieldName));
    // Cut to the interface's 32 bits; the module asks only for IDs and counts.
    *value = static_cast<std::int32_t>(query.Row().Integer(column));
    *hasValue = query.Row().IsNull(column) ? kFalse : kTrue;
  });
}

HRESULT HostServer::GetFieldDateTime(QueryHandle handle, BSTR fieldName, std::uint16_t* year,
                                     std::uint16_t* month, std::uint16_t* day, std::uint16_t* hour,
                                     std::uint16_t* minute, std::uint16_t* second, Flag* hasValue) {
  if (!year || !month || !day || !hour || !minute || !second || !hasValue) return E_POINTER;
  return Guarded([&] {
    const Query& query = queries_.At(handle);
    const int column = query.Column(FromBstr(fieldName));
    DateTimeParts parts;
    const bool null = query.Row().IsNull(column);
    // Dates are stored as ISO text; a NULL answers zeros with hasValue false.
    if (!null) parts = SplitDateTime(query.Row().Text(column));
    *year = parts.year, *month = parts.month, *day = parts.day;
    *hour = parts.hour, *minute = parts.minute, *second = parts.second;
    *hasValue = null ? kFalse : kTrue;
  });
}

HRESULT HostServer::CloseQuery(QueryHandle handle) {
  return Guarded([&] { queries_.At(handle).Close(); });
}

HRESULT HostServer::FreeQuery(QueryHandle handle) {
  return Guarded([&] { queries_.Free(handle); });
}

HRESULT HostServer::ExecuteSQL(BSTR sql, std::int32_t* result) {
  if (result == nullptr) return E_POINTER;
  HRESULT status = Guarded([&] { *result = Execute(FromBstr(sql)); });
  // The observer (the progress meter) runs also for a refused statement: a
  // record is done whatever the database made of it.
  if (statementObserver_) statementObserver_();
  // A record ends with its data-changing statement: the batch may commit
  // here without parting an existence query from its INSERT.
  if (status >= 0) {
    status = Guarded([&] {
      try {
        batch_.Settle();
      } catch (const HostError& error) {
        commitFailed_ = true;
        throw HostError(fault_ = FaultText(error.what()));
      }
    });
  }
  return status;
}

void HostServer::SetCommitPolicy(CommitPolicy policy) {
  try {
    batch_.SetPolicy(policy);
  } catch (const HostError& error) {
    commitFailed_ = true;
    fault_ = FaultText(error.what());
  }
}

// Called at REFRESH, when the module is released and at the end of a run,
// where nothing may be raised: a failed commit is remembered, and the run
// reports it.
void HostServer::CommitWrites() noexcept {
  try {
    batch_.Commit();
  } catch (const std::exception& error) {
    commitFailed_ = true;
    if (fault_.empty()) fault_ = FaultText(error.what());
  }
}

std::string HostServer::FaultText(const char* what) const {
  return "the log database " + db_.Path() + " cannot be written: " + what;
}

void HostServer::EnterBatch() {
  try {
    batch_.Enter();
  } catch (const LogConflict& error) {
    throw HostError(fault_ = error.what());
  } catch (const HostError& error) {
    throw HostError(fault_ = FaultText(error.what()));
  }
}

// Statements that differ only in their values share one prepared statement.
std::int64_t HostServer::RunStatement(const std::string& dialectSql) {
  if (const auto parameterized = ParameterizeSql(dialectSql)) return statements_.Run(*parameterized);
  const std::string sql = TranslateSql(dialectSql);  // outlives the statement's tail
  Statement statement = db_.Prepare(sql);
  const std::string_view tail = TrimText(statement.Tail());
  if (!tail.empty() && tail != ";") throw HostError("more than one statement");
  std::int64_t first = 0;
  // The remaining rows are stepped through: a statement is complete only once
  // SQLite has returned its last row.
  if (statement.Step()) {
    first = statement.Integer(0);
    while (statement.Step()) {
    }
  }
  return first;
}

// A statement SQLite refuses answers 0 and leaves its message in the
// journal, so that the import goes on with the next record. A database
// that cannot carry on fails the call instead: every later statement would
// fail too, and the run must end at once.
std::int32_t HostServer::Execute(const std::string& sql) {
  EnterBatch();
  try {
    RunStatement(sql);
    return ToCount(db_.Changes());
  } catch (const DatabaseFault& error) {
    fault_ = FaultText(error.what());
    throw HostError(fault_);
  } catch (const HostError& error) {
    journal_.Add("SQL error: " + std::string(error.what()) + ": " +
                 std::string(FirstLine(TranslateSql(sql))));
    // Statement atomicity keeps the batch; should SQLite have rolled the
    // whole transaction back, its rows are lost and the run cannot go on.
    if (batch_.Open() && !db_.InTransaction()) EnterBatch();  // raises
    return 0;
  }
}

}  // namespace quillet::host

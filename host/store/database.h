// The host's SQLite database: one connection, prepared statements, write
// transactions, and the fault that stops the database for good.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "host/base/host_error.h"

struct sqlite3;
struct sqlite3_stmt;

namespace quillet::host {

// The database cannot carry on at all (full, read-only, an I/O error, still
// locked after the busy timeout, damaged, out of memory): unlike a statement
// it refuses, no later statement can succeed either.
class DatabaseFault : public HostError {
 public:
  using HostError::HostError;
};

// How commits reach the disk. Wal is the host's own setting; RollbackFull is
// SQLite's default (rollback journal, full sync), kept as a baseline.
enum class Durability { Wal, RollbackFull };

class Statement {
 public:
  Statement() = default;
  Statement(sqlite3* db, std::string_view sql);  // raises HostError
  ~Statement();
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&& other) noexcept;

  // True on a row, false when done; raises HostError on failure.
  bool Step();
  void Reset();
  void Bind(int index, std::string_view text);
  void Bind(int index, std::int64_t value);
  void Bind(int index, double value);
  void BindNull(int index);
  void ClearBindings();

  int ColumnCount() const;
  std::string ColumnName(int column) const;
  bool IsNull(int column) const;
  std::string Text(int column) const;
  std::int64_t Integer(int column) const;
  // The text after the first statement (blank or ";"), a view into the
  // text given to the constructor: valid while that text lives.
  std::string_view Tail() const { return tail_; }

  explicit operator bool() const { return stmt_ != nullptr; }

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  std::string_view tail_;
};

class Database {
 public:
  // Opens or creates the file and its schema; raises HostError.
  Database(const std::string& path, Durability durability);
  // Opens an existing file for reading only, creating nothing; raises
  // HostError when there is no such database.
  static Database OpenExisting(const std::string& path);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;
  Database(Database&& other) noexcept;

  void Exec(std::string_view sql);
  Statement Prepare(std::string_view sql) { return Statement(db_, sql); }
  // Rows changed by the last INSERT, UPDATE or DELETE.
  std::int64_t Changes() const;
  // True while an explicit transaction is open on the connection.
  bool InTransaction() const;
  const std::string& Path() const { return path_; }

 private:
  Database() = default;

  sqlite3* db_ = nullptr;
  std::string path_;
};

// A write transaction (BEGIN IMMEDIATE) that rolls back unless committed,
// so that a step that raises leaves the database as it was.
class Transaction {
 public:
  explicit Transaction(Database& db) : db_(db) { db_.Exec("BEGIN IMMEDIATE"); }
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();

 private:
  Database& db_;
  bool committed_ = false;
};

// How the module's statements reach the database. EachStatement commits
// every statement on its own (SQLite's autocommit), kept as a baseline;
// Batched groups them into write transactions. Held runs them inside a
// transaction the caller has opened and ends: the batch neither begins nor
// commits one (a dry run rolls the whole run back at its end).
enum class CommitPolicy { Batched, EachStatement, Held };

// The write transaction that the statements of a module's run share.
//
// Enter() comes before every statement that reads or writes for the module
// and opens the transaction with BEGIN IMMEDIATE, so that the writer lock is
// held from a record's existence query to its INSERT: another import into
// the same database waits (busy timeout) rather than finding the record
// absent too. Settle() comes after every data-changing statement, the end
// of a record: it commits once the transaction has been open for
// kInterval, or when an interrupt is pending (then the process ends by that
// signal, its work committed). Commit() ends the transaction at once; the
// destructor commits what is still open.
//
// A statement that SQLite refuses undoes only its own changes (statement
// atomicity): the transaction and the batch's other rows stay.
class WriteBatch {
 public:
  static constexpr std::chrono::milliseconds kInterval{1000};

  WriteBatch(Database& db, CommitPolicy policy) : db_(db), policy_(policy) {}
  ~WriteBatch();
  WriteBatch(const WriteBatch&) = delete;
  WriteBatch& operator=(const WriteBatch&) = delete;

  void SetPolicy(CommitPolicy policy);
  // Runs at the start of every write transaction (before every statement
  // with EachStatement), so that what the batch's statements rely on is
  // written with them. What it raises rolls the transaction back and
  // passes on from Enter().
  void SetOnBegin(std::function<void()> onBegin) { onBegin_ = std::move(onBegin); }
  // Raises DatabaseFault when the writer lock cannot be had, or when SQLite
  // has rolled back the open transaction (its rows are gone).
  void Enter();
  void Settle();
  // Raises DatabaseFault when the commit fails; the transaction is then
  // rolled back and the batch closed.
  void Commit();
  bool Open() const { return open_; }

 private:
  Database& db_;
  CommitPolicy policy_;
  bool open_ = false;
  std::chrono::steady_clock::time_point opened_;
  std::function<void()> onBegin_;
};

// One integer from a query such as SELECT COUNT(*).
std::int64_t QueryInteger(Database& db, std::string_view sql);

}  // namespace quillet::host

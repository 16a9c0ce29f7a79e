#include "host/store/database.h"

#include <sqlite3.h>

#include <thread>
#include <utility>

#include "host/os/interrupt.h"
#include "host/store/schema.h"

namespace quillet::host {
namespace {

// The primary code: extended codes (SQLITE_IOERR_WRITE, ...) carry it in
// their low byte.
bool IsFault(int status) {
  switch (status & 0xFF) {
    case SQLITE_FULL:
    case SQLITE_READONLY:
    case SQLITE_IOERR:
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_CANTOPEN:
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_NOMEM:
    case SQLITE_PERM:
      return true;
  }
  return false;
}

// How long a statement waits for another connection's lock. An import holds
// the writer lock for up to WriteBatch::kInterval at a time and another one
// into the same database waits its turn, so this is many intervals.
constexpr int kBusyTimeoutMs = 60000;

// Retries every millisecond (SQLite's own handler backs off to 100 ms), so
// that a writer waiting for a lock takes it in the short pause that a batch
// leaves after each commit.
int RetryEachMillisecond(void*, int count) {
  if (count >= kBusyTimeoutMs) return 0;
  std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return 1;
}

void SetBusyHandler(sqlite3* db) { sqlite3_busy_handler(db, RetryEachMillisecond, nullptr); }

[[noreturn]] void Raise(sqlite3* db, int status) {
  if (IsFault(status)) throw DatabaseFault(sqlite3_errmsg(db));
  throw HostError(sqlite3_errmsg(db));
}

}  // namespace

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
  const char* tail = nullptr;
  const int status = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, &tail);
  if (status != SQLITE_OK) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    Raise(db, status);
  }
  // SQLite prepares blank text or a lone comment as no statement at all,
  // which would step as done without having run anything.
  if (stmt_ == nullptr) throw HostError("empty statement");
  tail_ = sql.substr(static_cast<std::size_t>(tail - sql.data()));
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_), stmt_(std::exchange(other.stmt_, nullptr)), tail_(other.tail_) {}

Statement& Statement::operator=(Statement&& other) noexcept {
  std::swap(db_, other.db_);
  std::swap(stmt_, other.stmt_);
  std::swap(tail_, other.tail_);
  return *this;
}

bool Statement::Step() {
  const int status = sqlite3_step(stmt_);
  if (status == SQLITE_ROW) return true;
  if (status == SQLITE_DONE) return false;
  Raise(db_, status);
}

void Statement::Reset() { sqlite3_reset(stmt_); }

void Statement::Bind(int index, std::string_view text) {
  sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void Statement::Bind(int index, std::int64_t value) { sqlite3_bind_int64(stmt_, index, value); }

void Statement::Bind(int index, double value) { sqlite3_bind_double(stmt_, index, value); }

void Statement::BindNull(int index) { sqlite3_bind_null(stmt_, index); }

void Statement::ClearBindings() { sqlite3_clear_bindings(stmt_); }

int Statement::ColumnCount() const { return sqlite3_column_count(stmt_); }

std::string Statement::ColumnName(int column) const { return sqlite3_column_name(stmt_, column); }

bool Statement::IsNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }

std::string Statement::Text(int column) const {
  const auto* text = sqlite3_column_text(stmt_, column);
  if (text == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(text),
                     static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
}

std::int64_t Statement::Integer(int column) const { return sqlite3_column_int64(stmt_, column); }

namespace {

// Columns added to a table after databases were written with it: CREATE
// TABLE IF NOT EXISTS leaves an existing table as it is. Another process
// opening the same file may add the column first; its ALTER then fails
// here, which is fine as long as the column is there afterwards.
void AddMissingColumns(Database& db) {
  constexpr const char* kHasKeptRows =
      "SELECT COUNT(*) FROM pragma_table_info('HISTORY') WHERE name = 'KEPT_ROWS'";
  if (QueryInteger(db, kHasKeptRows) != 0) return;
  try {
    db.Exec("ALTER TABLE HISTORY ADD COLUMN KEPT_ROWS INTEGER NOT NULL DEFAULT 1");
  } catch (const HostError&) {
    if (QueryInteger(db, kHasKeptRows) == 0) throw;
  }
}

}  // namespace

Database::Database(const std::string& path, Durability durability) : path_(path) {
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    throw HostError("cannot open " + path + ": " + message);
  }
  SetBusyHandler(db_);
  try {
    if (durability == Durability::Wal) {
      // A checkpoint every 4000 pages instead of SQLite's 1000 writes the
      // pages an import keeps changing (the index leaves, the table's last
      // page) back to the database, and syncs, a quarter as often.
      Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=4000;");
    } else {
      Exec("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;");
    }
    Exec(SchemaSql());
    AddMissingColumns(*this);
  } catch (...) {
    sqlite3_close(db_);
    throw;
  }
}

Database::~Database() { sqlite3_close(db_); }

Database::Database(Database&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), path_(std::move(other.path_)) {}

Database Database::OpenExisting(const std::string& path) {
  Database db;
  db.path_ = path;
  if (sqlite3_open_v2(path.c_str(), &db.db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    throw HostError("no log database " + path);
  }
  SetBusyHandler(db.db_);
  // A file that is no database, or not ours, shows here rather than later.
  if (QueryInteger(db, "SELECT COUNT(*) FROM sqlite_master WHERE name = 'LOGBOOK'") == 0) {
    throw HostError(path + " is not a quillet log database");
  }
  return db;
}

void Database::Exec(std::string_view sql) {
  const std::string text(sql);
  char* message = nullptr;
  const int status = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &message);
  if (status != SQLITE_OK) {
    const std::string error = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    if (IsFault(status)) throw DatabaseFault(error);
    throw HostError(error);
  }
}

std::int64_t Database::Changes() const { return sqlite3_changes(db_); }

bool Database::InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

Transaction::~Transaction() {
  if (committed_) return;
  try {
    db_.Exec("ROLLBACK");
  } catch (const HostError&) {
    // SQLite has already rolled back what it could not carry on with.
  }
}

void Transaction::Commit() {
  db_.Exec("COMMIT");
  committed_ = true;
}

WriteBatch::~WriteBatch() {
  try {
    Commit();
  } catch (const HostError&) {
    // Rolled back: the run that owned the batch has ended already.
  }
}

void WriteBatch::SetPolicy(CommitPolicy policy) {
  Commit();
  policy_ = policy;
}

void WriteBatch::Enter() {
  if (open_ && !db_.InTransaction()) {
    open_ = false;
    throw DatabaseFault("SQLite rolled back the open transaction");
  }
  if (open_) return;
  if (policy_ == CommitPolicy::EachStatement) {
    if (onBegin_) onBegin_();
    return;
  }
  if (policy_ == CommitPolicy::Held) {
    open_ = true;
    if (onBegin_) onBegin_();
    return;
  }
  db_.Exec("BEGIN IMMEDIATE");
  open_ = true;
  opened_ = std::chrono::steady_clock::now();
  if (!onBegin_) return;
  try {
    onBegin_();
  } catch (...) {
    open_ = false;
    try {
      db_.Exec("ROLLBACK");
    } catch (const HostError&) {
      // Nothing left open to roll back.
    }
    throw;
  }
}

void WriteBatch::Settle() {
  if (InterruptPending()) {
    Commit();
    EndByPendingInterrupt();
  }
  if (!open_ || std::chrono::steady_clock::now() - opened_ < kInterval) return;
  Commit();
  // Another import waiting for the writer lock polls every millisecond:
  // this pause lets it take its turn before this run takes the lock again.
  std::this_thread::sleep_for(std::chrono::milliseconds(3));
}

void WriteBatch::Commit() {
  if (!open_) return;
  open_ = false;
  if (!db_.InTransaction()) throw DatabaseFault("SQLite rolled back the open transaction");
  if (policy_ == CommitPolicy::Held) return;
  try {
    db_.Exec("COMMIT");
  } catch (const HostError&) {
    try {
      db_.Exec("ROLLBACK");
    } catch (const HostError&) {
      // Nothing left open to roll back.
    }
    throw;
  }
}

std::int64_t QueryInteger(Database& db, std::string_view sql) {
  Statement statement = db.Prepare(sql);
  return statement.Step() ? statement.Integer(0) : 0;
}

}  // namespace quillet::host

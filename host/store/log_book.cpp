#include "host/store/log_book.h"

#include "host/base/text.h"
#include "host/store/database.h"
#include "host/store/sql_dialect.h"

namespace quillet::host {

// A day and nothing more: the dialect's date forms also take a time, which a
// closing date has none of.
bool IsClosingDate(std::string_view text) { return text.size() == 10 && !DateLiteral(text).empty(); }

std::optional<LogEntry> LogBook::Find(std::string_view name) {
  Statement select = db_.Prepare("SELECT NAME, OPERATOR, CLOSING FROM LOGBOOK WHERE NAME = ?");
  select.Bind(1, name);
  if (!select.Step()) return std::nullopt;
  return LogEntry{select.Text(0), select.Text(1), select.Text(2)};
}

void LogBook::Create(const LogEntry& entry) {
  if (Find(entry.name)) throw HostError("log " + entry.name + " exists");
  Statement insert = db_.Prepare("INSERT INTO LOGBOOK (NAME, OPERATOR, CLOSING) VALUES (?, ?, ?)");
  insert.Bind(1, entry.name);
  insert.Bind(2, entry.operatorCall);
  insert.Bind(3, entry.closing);
  insert.Step();
}

bool LogBook::Ensure(const LogEntry& entry) {
  if (const auto existing = Find(entry.name)) {
    // Another import that stored the same log first agrees with this one on
    // whose log it is: the two share it.
    if (existing->operatorCall == entry.operatorCall && existing->closing == entry.closing) return false;
    throw LogConflict("log " + existing->name + " was created meanwhile by another import, for " +
                      (existing->operatorCall.empty() ? "no operator" : existing->operatorCall) +
                      ", closing " + existing->closing + "; this import was for " +
                      (entry.operatorCall.empty() ? "no operator" : entry.operatorCall) + ", closing " +
                      entry.closing + ", and stored nothing");
  }
  Create(entry);
  return true;
}

// Only the log as it was stored, and only while it holds no QSO: another
// import may have stored into it or changed it meanwhile. The check and the
// removal share one write transaction, so that none can come between them.
bool LogBook::DeleteIfEmpty(const LogEntry& entry) {
  Transaction transaction(db_);
  const auto existing = Find(entry.name);
  if (!existing || existing->operatorCall != entry.operatorCall || existing->closing != entry.closing ||
      QsoCount(entry.name) != 0) {
    return false;
  }
  Statement remove = db_.Prepare("DELETE FROM LOGBOOK WHERE NAME = ?");
  remove.Bind(1, entry.name);
  remove.Step();
  transaction.Commit();
  return true;
}

std::vector<LogEntry> LogBook::List() {
  Statement select = db_.Prepare("SELECT NAME, OPERATOR, CLOSING FROM LOGBOOK ORDER BY NAME");
  std::vector<LogEntry> logs;
  while (select.Step()) logs.push_back({select.Text(0), select.Text(1), select.Text(2)});
  return logs;
}

std::int64_t LogBook::QsoCount(std::string_view name) {
  Statement count = db_.Prepare("SELECT COUNT(*) FROM LOGS WHERE LOGNAME = ?");
  count.Bind(1, name);
  return count.Step() ? count.Integer(0) : 0;
}

}  // namespace quillet::host

namespace quillet::host {
namespace {

// NULL and the empty text both mean a column left empty, so they count as
// one; most frequent first, ties by value, so that the listing is stable.
std::vector<std::pair<std::string, std::int64_t>> CountsBy(Database& db, std::string_view column,
                                                           std::string_view name) {
  Statement select = db.Prepare("SELECT COALESCE(" + std::string(column) +
                                ", ''), COUNT(*) FROM LOGS "
                                "WHERE LOGNAME = ? GROUP BY 1 ORDER BY 2 DESC, 1");
  select.Bind(1, name);
  std::vector<std::pair<std::string, std::int64_t>> counts;
  while (select.Step()) counts.emplace_back(select.Text(0), select.Integer(1));
  return counts;
}

}  // namespace

LogContents LogBook::Contents(std::string_view name) {
  LogContents contents;
  // QSO dates are stored as 'YYYY-MM-DD HH:MM:SS'; the range shows days.
  Statement range = db_.Prepare(
      "SELECT COUNT(*), COALESCE(substr(MIN(QSODATE), 1, 10), ''), COALESCE(substr(MAX(QSODATE), 1, 10), '') "
      "FROM LOGS WHERE LOGNAME = ?");
  range.Bind(1, name);
  if (range.Step()) contents = {range.Integer(0), range.Text(1), range.Text(2), {}, {}};
  contents.bands = CountsBy(db_, "QSOBAND", name);
  contents.modes = CountsBy(db_, "QSOMODE", name);
  return contents;
}

// Log names compare without regard to case (NAME is NOCASE), so a new case
// of the same name is no clash. QSOs name their log, so they move with it
// in the same transaction.
void LogBook::Update(std::string_view name, const LogEntry& entry) {
  if (!EqualsNoCase(name, entry.name) && Find(entry.name)) throw HostError("log " + entry.name + " exists");
  Transaction transaction(db_);
  Statement update = db_.Prepare("UPDATE LOGBOOK SET NAME = ?, OPERATOR = ?, CLOSING = ? WHERE NAME = ?");
  update.Bind(1, entry.name);
  update.Bind(2, entry.operatorCall);
  update.Bind(3, entry.closing);
  update.Bind(4, name);
  update.Step();
  // The QSOs move with the log, and so does its history: the rows it keeps
  // from before an import name the log too, and an undo must not put them
  // back under a name no log has any more.
  for (const char* sql : {"UPDATE LOGS SET LOGNAME = ?1 WHERE LOGNAME = ?2",
                          "UPDATE HISTORY SET LOGNAME = ?1 WHERE LOGNAME = ?2",
                          "UPDATE HISTORY_ROWS SET LOGNAME = ?1 WHERE LOGNAME = ?2 COLLATE NOCASE"}) {
    Statement move = db_.Prepare(sql);
    move.Bind(1, entry.name);
    move.Bind(2, name);
    move.Step();
  }
  transaction.Commit();
}

void LogBook::Delete(std::string_view name) {
  Transaction transaction(db_);
  // The log's history goes with it: a later log of the same name must not
  // undo into QSOs it never held.
  for (const char* sql : {"DELETE FROM LOGS WHERE LOGNAME = ?", "DELETE FROM LOGBOOK WHERE NAME = ?",
                          "DELETE FROM HISTORY WHERE LOGNAME = ?"}) {
    Statement remove = db_.Prepare(sql);
    remove.Bind(1, name);
    remove.Step();
  }
  db_.Exec("DELETE FROM HISTORY_ROWS WHERE HISTORY_ID NOT IN (SELECT ID FROM HISTORY)");
  db_.Exec("DELETE FROM HISTORY_INSERTED WHERE HISTORY_ID NOT IN (SELECT ID FROM HISTORY)");
  transaction.Commit();
}

}  // namespace quillet::host

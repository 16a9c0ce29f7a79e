#include "host/store/history.h"

#include "host/os/timestamp.h"
#include "host/store/database.h"
#include "host/store/schema.h"

namespace quillet::host {
namespace {

std::optional<std::int64_t> OptionalInteger(const Statement& row, int column) {
  if (row.IsNull(column)) return std::nullopt;
  return row.Integer(column);
}

HistoryEntry ReadEntry(const Statement& row) {
  HistoryEntry entry;
  entry.id = row.Integer(0);
  entry.log = row.Text(1);
  entry.stamp = row.Text(2);
  entry.file = row.Text(3);
  entry.mode = static_cast<int>(row.Integer(4));
  entry.inserted = OptionalInteger(row, 5);
  entry.updated = OptionalInteger(row, 6);
  entry.ignored = OptionalInteger(row, 7);
  entry.errors = OptionalInteger(row, 8);
  entry.undoes = OptionalInteger(row, 9);
  entry.undone = !row.IsNull(10);
  entry.keptRows = row.Integer(11) != 0;
  return entry;
}

constexpr const char* kEntryColumns =
    "SELECT ID, LOGNAME, STAMP, FILE, MODE, INSERTED, UPDATED, IGNORED, ERRORS, UNDOES, UNDONE_BY, "
    "KEPT_ROWS FROM HISTORY ";

// The rows an entry inserted (?1: the entry), in either of the forms a
// database may hold them.
constexpr const char* kInsertedRows =
    "SELECT ROW_ID FROM HISTORY_INSERTED WHERE HISTORY_ID = ?1 UNION ALL "
    "SELECT ROW_ID FROM HISTORY_ROWS WHERE HISTORY_ID = ?1 AND ROW_INSERTED = 1";
// The rows an entry changed or deleted, with their values from before
// (ROW_INSERTED 0: changed, 2: deleted, as an undo deletes the rows of the
// import it undoes).
constexpr const char* kChangedRows =
    "SELECT ROW_ID FROM HISTORY_ROWS WHERE HISTORY_ID = ?1 AND ROW_INSERTED = 0";
constexpr const char* kDeletedRows =
    "SELECT ROW_ID FROM HISTORY_ROWS WHERE HISTORY_ID = ?1 AND ROW_INSERTED = 2";
// The rows an entry left in the log.
const std::string kEntryRows = std::string(kInsertedRows) + " UNION ALL " + kChangedRows;

// The log's newest keep entries stay; the rows of the others go with them.
// An entry's ID grows with time, so the newest are the highest.
void Prune(Database& db, const std::string& log, int keep) {
  Statement prune = db.Prepare(
      "DELETE FROM HISTORY WHERE LOGNAME = ?1 AND ID NOT IN "
      "(SELECT ID FROM HISTORY WHERE LOGNAME = ?1 ORDER BY ID DESC LIMIT ?2)");
  prune.Bind(1, log);
  prune.Bind(2, static_cast<std::int64_t>(keep));
  prune.Step();
  db.Exec("DELETE FROM HISTORY_ROWS WHERE HISTORY_ID NOT IN (SELECT ID FROM HISTORY)");
  db.Exec("DELETE FROM HISTORY_INSERTED WHERE HISTORY_ID NOT IN (SELECT ID FROM HISTORY)");
}

std::int64_t Count(Database& db, const std::string& sql, std::int64_t entry) {
  Statement count = db.Prepare(sql);
  count.Bind(1, entry);
  count.Step();
  return count.Integer(0);
}

// Rows of the entry that are gone (or back, for those it deleted), or that a
// later entry not undone inserted, changed or deleted (each looked up by the
// key of the history tables: the history holds few entries a log, and an
// index by row alone would cost every import).
const std::string kConflicts =
    "SELECT COUNT(*) FROM (SELECT ROW_ID, 1 AS KEPT FROM (" + kEntryRows +
    ") UNION ALL SELECT ROW_ID, 0 FROM (" + kDeletedRows +
    ")) r WHERE EXISTS (SELECT 1 FROM LOGS WHERE ID = r.ROW_ID) <> r.KEPT OR EXISTS "
    "(SELECT 1 FROM HISTORY h WHERE h.ID > ?1 AND h.UNDONE_BY IS NULL AND ("
    "EXISTS (SELECT 1 FROM HISTORY_ROWS l WHERE l.HISTORY_ID = h.ID AND l.ROW_ID = r.ROW_ID) OR "
    "EXISTS (SELECT 1 FROM HISTORY_INSERTED l WHERE l.HISTORY_ID = h.ID AND l.ROW_ID = r.ROW_ID)))";

void Restore(Database& db, std::int64_t entry) {
  const std::string columns = LogColumnList("");
  const std::string changed = kChangedRows;
  // In this order: the rows the entry inserted go, the rows it changed get
  // their values back, and those deleted (by the entry, or since) come back
  // with their IDs.
  std::vector<std::string> steps{
      "DELETE FROM LOGS WHERE ID IN (" + std::string(kInsertedRows) + ")",
      "UPDATE LOGS SET (" + columns + ") = (SELECT " + LogColumnList("h.") +
          " FROM HISTORY_ROWS h WHERE h.HISTORY_ID = ?1 AND h.ROW_ID = LOGS.ID) WHERE ID IN (" + changed +
          ")",
      "INSERT INTO LOGS (ID, " + columns + ") SELECT ROW_ID, " + columns +
          " FROM HISTORY_ROWS WHERE HISTORY_ID = ?1 AND ROW_INSERTED IN (0, 2) AND ROW_ID NOT IN (SELECT ID "
          "FROM LOGS)"};
  for (const std::string& sql : steps) {
    Statement step = db.Prepare(sql);
    step.Bind(1, entry);
    step.Step();
  }
}

// The newest entry of the log without undo data that is newer than entry
// and not undone: its changes are unknown, so they may touch entry's rows.
std::optional<HistoryEntry> LaterWithoutRows(Database& db, const std::string& log, std::int64_t entry) {
  Statement later = db.Prepare(std::string(kEntryColumns) +
                               "WHERE LOGNAME = ? AND ID > ? AND KEPT_ROWS = 0 ORDER BY ID DESC LIMIT 1");
  later.Bind(1, log);
  later.Bind(2, entry);
  if (!later.Step()) return std::nullopt;
  return ReadEntry(later);
}

std::string EntryName(const HistoryEntry& entry) {
  return "#" + std::to_string(entry.id) + " (" + entry.file + ")";
}

// Whether OLD and NEW differ in any LOGS column, compared byte for byte:
// the columns compare text without regard to case, and an undo must put
// back a change of case too. An update that changes nothing (a file
// imported again) keeps no row, so that it costs nothing and is no
// conflict for the undo of an earlier import.
std::string RowChanged() {
  std::string condition;
  const std::string columns = LogColumnList("");
  std::size_t start = 0;
  while (start < columns.size()) {
    std::size_t end = columns.find(", ", start);
    if (end == std::string::npos) end = columns.size();
    const std::string column = columns.substr(start, end - start);
    if (!condition.empty()) condition += " OR ";
    condition += "OLD." + column + " IS NOT NEW." + column + " COLLATE BINARY";
    start = end + 2;
  }
  return condition;
}

}  // namespace

std::int64_t History::Add(const std::string& log, const std::string& file, int mode, int keep,
                          bool keptRows) {
  Statement add =
      db_.Prepare("INSERT INTO HISTORY (LOGNAME, STAMP, FILE, MODE, KEPT_ROWS) VALUES (?, ?, ?, ?, ?)");
  add.Bind(1, log);
  add.Bind(2, LocalTimestamp());
  add.Bind(3, file);
  add.Bind(4, static_cast<std::int64_t>(mode));
  add.Bind(5, static_cast<std::int64_t>(keptRows ? 1 : 0));
  add.Step();
  const std::int64_t id = QueryInteger(db_, "SELECT last_insert_rowid()");
  Prune(db_, log, keep);
  return id;
}

void History::SetCounts(std::int64_t id, std::int64_t inserted, std::int64_t updated, std::int64_t ignored,
                        std::int64_t errors) {
  Statement set =
      db_.Prepare("UPDATE HISTORY SET INSERTED = ?, UPDATED = ?, IGNORED = ?, ERRORS = ? WHERE ID = ?");
  set.Bind(1, inserted);
  set.Bind(2, updated);
  set.Bind(3, ignored);
  set.Bind(4, errors);
  set.Bind(5, id);
  set.Step();
}

std::vector<HistoryEntry> History::List(const std::string& log) {
  Statement list = db_.Prepare(std::string(kEntryColumns) + "WHERE LOGNAME = ? ORDER BY ID");
  list.Bind(1, log);
  std::vector<HistoryEntry> entries;
  while (list.Step()) entries.push_back(ReadEntry(list));
  return entries;
}

HistoryEntry History::Undo(const std::string& log, bool force, int keep) {
  Transaction transaction(db_);
  Statement last =
      db_.Prepare(std::string(kEntryColumns) +
                  "WHERE LOGNAME = ? AND UNDONE_BY IS NULL AND KEPT_ROWS = 1 ORDER BY ID DESC LIMIT 1");
  last.Bind(1, log);
  if (!last.Step()) throw UndoRefused("log " + log + " has no import to undo");
  const HistoryEntry target = ReadEntry(last);
  // Finished before the writes below, which an open read would not see.
  last = Statement();
  const std::string name = EntryName(target);
  if (const auto blind = LaterWithoutRows(db_, log, target.id); blind && !force) {
    throw UndoRefused("the later import " + EntryName(*blind) +
                      " kept no undo data, so its changes to the QSOs of " + name +
                      " cannot be told; nothing was changed. To undo " + name +
                      " anyway, overwriting what it changed: quillet log undo " + log + " --force");
  }
  const std::int64_t rows = Count(db_, "SELECT COUNT(*) FROM (" + kEntryRows + ")", target.id);
  const std::int64_t gone = Count(
      db_, "SELECT COUNT(*) FROM (" + kEntryRows + ") WHERE ROW_ID NOT IN (SELECT ID FROM LOGS)", target.id);
  // Every row gone: the log was emptied or deleted since, and an undo would
  // only bring back what its owner removed.
  if (rows > 0 && gone == rows && !force) {
    throw UndoRefused("the QSOs that " + name + " stored or changed are no longer in log " + log +
                      "; nothing was changed");
  }
  const std::int64_t conflicts = Count(db_, kConflicts, target.id);
  if (conflicts > 0 && !force) {
    throw UndoRefused(std::to_string(conflicts) + " of the QSOs that " + name +
                      " changed were deleted or changed since by a later import; nothing was changed. "
                      "To undo it anyway, overwriting those changes: quillet log undo " +
                      log + " --force");
  }
  // The target's rows are pruned only once they are restored.
  const std::int64_t undo = Add(log, "undo of " + name, target.mode, keep + 1);
  {
    HistoryRecorder recorder(db_, undo);
    Restore(db_, target.id);
  }
  Statement mark = db_.Prepare("UPDATE HISTORY SET UNDONE_BY = ? WHERE ID = ?");
  mark.Bind(1, undo);
  mark.Bind(2, target.id);
  mark.Step();
  Statement undoes = db_.Prepare("UPDATE HISTORY SET UNDOES = ? WHERE ID = ?");
  undoes.Bind(1, target.id);
  undoes.Bind(2, undo);
  undoes.Step();
  SetCounts(undo, Count(db_, "SELECT COUNT(*) FROM (" + std::string(kInsertedRows) + ")", undo),
            Count(db_, "SELECT COUNT(*) FROM HISTORY_ROWS WHERE HISTORY_ID = ?", undo), 0, 0);
  Prune(db_, log, keep);
  transaction.Commit();
  return target;
}

// A row the entry inserted stays in HISTORY_INSERTED alone: what it held
// before is nothing, whatever the entry does to it afterwards.
HistoryRecorder::HistoryRecorder(Database& db, std::int64_t entry) : db_(db) {
  const std::string id = std::to_string(entry);
  const std::string notInserted =
      "NOT EXISTS (SELECT 1 FROM HISTORY_INSERTED WHERE HISTORY_ID = " + id + " AND ROW_ID = OLD.ID)";
  // OR IGNORE keeps the first copy of a row: its values from before the
  // entry, however often the entry changes it afterwards.
  const std::string saveOld = "INSERT OR IGNORE INTO HISTORY_ROWS (HISTORY_ID, ROW_ID, ROW_INSERTED, " +
                              LogColumnList("") + ") VALUES (" + id + ", OLD.ID, 0, " +
                              LogColumnList("OLD.") + ");";
  const std::string markDeleted =
      "UPDATE HISTORY_ROWS SET ROW_INSERTED = 2 WHERE HISTORY_ID = " + id + " AND ROW_ID = OLD.ID;";
  db_.Exec(
      "CREATE TEMP TRIGGER history_insert AFTER INSERT ON main.LOGS BEGIN "
      "INSERT OR IGNORE INTO HISTORY_INSERTED (HISTORY_ID, ROW_ID) VALUES (" +
      id + ", NEW.ID); END;");
  db_.Exec("CREATE TEMP TRIGGER history_update AFTER UPDATE ON main.LOGS WHEN (" + RowChanged() + ") AND " +
           notInserted + " BEGIN " + saveOld + " END;");
  db_.Exec("CREATE TEMP TRIGGER history_delete BEFORE DELETE ON main.LOGS WHEN " + notInserted + " BEGIN " +
           saveOld + markDeleted + " END;");
}

HistoryRecorder::~HistoryRecorder() {
  try {
    db_.Exec(
        "DROP TRIGGER IF EXISTS temp.history_insert; DROP TRIGGER IF EXISTS temp.history_update; "
        "DROP TRIGGER IF EXISTS temp.history_delete;");
  } catch (const HostError&) {
    // The connection goes with the run; its temporary triggers with it.
  }
}

}  // namespace quillet::host

// The import history of the logs: an entry for every import and every undo,
// with the rows each changed, so that the last one of a log can be undone.
//
// A HistoryRecorder keeps a run's rows as SQLite executes its statements,
// by triggers of the connection: within the statement's own transaction,
// so that an import and what undoes it commit together or not at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/base/host_error.h"

namespace quillet::host {

class Database;

inline constexpr int kDefaultHistoryKept = 10;

struct HistoryEntry {
  std::int64_t id = 0;
  std::string log, stamp, file;
  int mode = 0;
  std::optional<std::int64_t> inserted, updated, ignored, errors;  // unset: the run did not end
  std::optional<std::int64_t> undoes;                              // set: an undo of that entry
  bool undone = false;
  bool keptRows = true;  // false: imported without undo data; it cannot be undone
};

// An undo refused: the message is the line the user sees.
class UndoRefused : public HostError {
 public:
  using HostError::HostError;
};

class History {
 public:
  explicit History(Database& db) : db_(db) {}

  // Within the caller's write transaction: a new entry for log, and only the
  // keep newest entries of the log kept; returns the new entry's id. An
  // import without undo data (keptRows false) gets an entry too, so that
  // the undo of an earlier import knows its rows may have changed since.
  std::int64_t Add(const std::string& log, const std::string& file, int mode, int keep, bool keptRows = true);
  void SetCounts(std::int64_t id, std::int64_t inserted, std::int64_t updated, std::int64_t ignored,
                 std::int64_t errors);
  // The log's entries, oldest first.
  std::vector<HistoryEntry> List(const std::string& log);

  // Undoes the newest entry of the log that is not undone yet and kept its
  // undo data, in one transaction, recorded as an entry of its own. Raises
  // UndoRefused when there is none, when its rows are all gone, or (unless
  // force) when a row it would restore was deleted or changed by a later
  // entry not undone, or a later import kept no undo data.
  HistoryEntry Undo(const std::string& log, bool force, int keep);

 private:
  Database& db_;
};

// While alive, every row that the connection inserts into, updates in or
// deletes from LOGS is recorded for the entry: the first time only, as a
// row inserted or with its values from before. Create it within the
// entry's transaction.
class HistoryRecorder {
 public:
  HistoryRecorder(Database& db, std::int64_t entry);
  ~HistoryRecorder();
  HistoryRecorder(const HistoryRecorder&) = delete;
  HistoryRecorder& operator=(const HistoryRecorder&) = delete;

 private:
  Database& db_;
};

}  // namespace quillet::host

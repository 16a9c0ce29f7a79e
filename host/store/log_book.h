// The host's logs: each has a name (the value of LOGS.LOGNAME), the callsign
// of the operator who owns it and a closing date (yyyy-mm-dd).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/base/host_error.h"

namespace quillet::host {

class Database;

// A log of the name asked for exists with another operator or closing date.
class LogConflict : public HostError {
 public:
  using HostError::HostError;
};

inline constexpr std::string_view kDefaultLogName = "MAIN";
inline constexpr std::string_view kDefaultClosingDate = "2099-12-31";

struct LogEntry {
  std::string name;
  std::string operatorCall;
  std::string closing;
};

// What a log holds: its QSOs, their first and last date (yyyy-mm-dd, empty
// without QSOs) and their counts by band and by mode, largest first.
struct LogContents {
  std::int64_t qsos = 0;
  std::string firstDate, lastDate;
  std::vector<std::pair<std::string, std::int64_t>> bands, modes;
};

class LogBook {
 public:
  explicit LogBook(Database& db) : db_(db) {}
  std::optional<LogEntry> Find(std::string_view name);
  // Raises HostError when a log of that name (any case) exists.
  void Create(const LogEntry& entry);
  // Within the caller's write transaction: stores entry unless a log of
  // its name exists; true when it stored it. Raises LogConflict when the
  // log that exists has another operator or closing date.
  bool Ensure(const LogEntry& entry);
  // Removes the log, in a transaction of its own, only when it holds no
  // QSO (whoever stored them) and still has entry's settings; true when it
  // was removed.
  bool DeleteIfEmpty(const LogEntry& entry);
  std::vector<LogEntry> List();
  std::int64_t QsoCount(std::string_view name);
  LogContents Contents(std::string_view name);
  // Replaces the log's settings; a new name also moves its QSOs. Raises
  // HostError when the new name is taken by another log.
  void Update(std::string_view name, const LogEntry& entry);
  // Removes the log and its QSOs.
  void Delete(std::string_view name);

 private:
  Database& db_;
};

// True for a valid calendar date written yyyy-mm-dd.
bool IsClosingDate(std::string_view text);

}  // namespace quillet::host

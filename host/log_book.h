// The host's logs: each has a name (the value of LOGS.LOGNAME), the callsign
// of the operator who owns it and a closing date (yyyy-mm-dd).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::host {

class Database;

inline constexpr std::string_view kDefaultLogName = "MAIN";
inline constexpr std::string_view kDefaultClosingDate = "2099-12-31";

struct LogEntry {
  std::string name;
  std::string operatorCall;
  std::string closing;
};

class LogBook {
 public:
  explicit LogBook(Database& db) : db_(db) {}
  std::optional<LogEntry> Find(std::string_view name);
  // Raises HostError when a log of that name (any case) exists.
  void Create(const LogEntry& entry);
  std::vector<LogEntry> List();
  std::int64_t QsoCount(std::string_view name);

 private:
  Database& db_;
};

// True for a valid calendar date written yyyy-mm-dd.
bool IsClosingDate(std::string_view text);

}  // namespace quillet::host

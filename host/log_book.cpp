#include "host/log_book.h"

#include "host/database.h"
#include "host/sql_dialect.h"

namespace quillet::host {

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

#include "host/services/query_table.h"

#include <utility>

#include "host/base/text.h"
#include "host/store/sql_dialect.h"

namespace quillet::host {
namespace {

int Digits(std::string_view text, std::size_t at, std::size_t count) {
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

}  // namespace

DateTimeParts SplitDateTime(std::string_view text) {
  const std::string_view whole = text;
  // Fractions of a second are dropped: the interface hands out whole seconds.
  if (text.size() > 19 && text[19] == '.') text = text.substr(0, 19);
  const std::string literal =
      // A stored date may lack its seconds or its time (written by another
      // program); DateLiteral completes both with zeros.
      text.size() == 19 || text.size() == 16 || text.size() == 10 ? DateLiteral(text) : std::string();
  if (literal.empty()) throw HostError("'" + std::string(whole) + "' is not a valid date and time");
  // literal is 'YYYY-MM-DD HH:MM:SS' with its quotes.
  DateTimeParts parts;
  parts.year = static_cast<std::uint16_t>(Digits(literal, 1, 4));
  parts.month = static_cast<std::uint16_t>(Digits(literal, 6, 2));
  parts.day = static_cast<std::uint16_t>(Digits(literal, 9, 2));
  parts.hour = static_cast<std::uint16_t>(Digits(literal, 12, 2));
  parts.minute = static_cast<std::uint16_t>(Digits(literal, 15, 2));
  parts.second = static_cast<std::uint16_t>(Digits(literal, 18, 2));
  return parts;
}

// A new statement ends the open one: its rows belong to the old text.
void Query::SetSql(std::string sql) {
  Close();
  sql_ = std::move(sql);
}

std::int32_t Query::Open(Database& db) {
  Close();
  statement_ = db.Prepare(sql_);
  columns_.clear();
  for (int i = 0; i < statement_.ColumnCount(); ++i) columns_.push_back(statement_.ColumnName(i));
  // One pass to count, so that the count is exact whatever the statement.
  std::int32_t count = 0;
  // The rows are then stepped again from the start: SQLite cannot tell how
  // many rows a statement gives without giving them.
  while (statement_.Step()) ++count;
  First();
  return count;
}

void Query::First() {
  if (!statement_) throw HostError("the query is not open");
  statement_.Reset();
  eof_ = !statement_.Step();
}

void Query::Next() {
  if (!statement_) throw HostError("the query is not open");
  // Past the end Next stays at the end, as a dataset does, rather than
  // restarting the statement.
  if (!eof_) eof_ = !statement_.Step();
}

void Query::Close() {
  statement_ = Statement();
  eof_ = true;
}

int Query::Column(std::string_view name) const {
  if (!statement_ || eof_) throw HostError("the query has no current row");
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (EqualsNoCase(columns_[i], name)) return static_cast<int>(i);
  }
  throw HostError("field '" + std::string(name) + "' not found");
}

std::int32_t QueryTable::Create() {
  // Handles are never reused within a session: a stale handle fails loudly
  // instead of reaching another query.
  const std::int32_t handle = next_++;
  queries_[handle];
  return handle;
}

Query& QueryTable::At(std::int32_t handle) {
  const auto found = queries_.find(handle);
  if (found == queries_.end()) throw HostError("no query with handle " + std::to_string(handle));
  return found->second;
}

void QueryTable::Free(std::int32_t handle) {
  if (queries_.erase(handle) == 0) throw HostError("no query with handle " + std::to_string(handle));
}

}  // namespace quillet::host

// The queries the module opens through IHostServer, by handle. Each query
// holds its SELECT text and, while open, a prepared statement positioned on
// its current row.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "host/store/database.h"

namespace quillet::host {

// The parts of a stored date-time.
struct DateTimeParts {
  std::uint16_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Splits 'YYYY-MM-DD', 'YYYY-MM-DD HH:MM' or 'YYYY-MM-DD HH:MM:SS' (any
// fraction of a second is dropped); raises HostError for any other text.
DateTimeParts SplitDateTime(std::string_view text);

class Query {
 public:
  void SetSql(std::string sql);
  // Prepares the statement, counts its rows exactly and positions on the
  // first row. Raises HostError.
  std::int32_t Open(Database& db);
  void First();
  void Next();
  bool Eof() const { return eof_; }
  void Close();

  // The current row's column by name, any case; raises HostError when the
  // query has no current row or no such column.
  int Column(std::string_view name) const;
  const Statement& Row() const { return statement_; }

 private:
  std::string sql_;
  Statement statement_;
  std::vector<std::string> columns_;
  bool eof_ = true;
};

class QueryTable {
 public:
  std::int32_t Create();
  // Raises HostError for a handle that is not open.
  Query& At(std::int32_t handle);
  void Free(std::int32_t handle);

 private:
  std::map<std::int32_t, Query> queries_;
  std::int32_t next_ = 1;
};

}  // namespace quillet::host

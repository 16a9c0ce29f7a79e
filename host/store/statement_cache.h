// Prepared statements kept by shape (host/store/sql_dialect.h), so that the many
// statements of an import that differ only in their values are prepared
// once and bound for each use.
#pragma once

#include <string>
#include <unordered_map>

#include "host/store/database.h"
#include "host/store/sql_dialect.h"

namespace quillet::host {

class StatementCache {
 public:
  explicit StatementCache(Database& db) : db_(db) {}

  // Runs the statement to its end and answers the first column of its first
  // row (0 without rows), leaving it reset. Raises HostError, also for text
  // that holds more than one statement.
  std::int64_t Run(const ParameterizedSql& sql);

 private:
  // Enough for the few shapes of an import; a full cache starts again.
  static constexpr std::size_t kCapacity = 64;

  Statement& Prepared(const std::string& shape);

  Database& db_;
  std::unordered_map<std::string, Statement> statements_;
};

}  // namespace quillet::host

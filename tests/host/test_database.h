// An in-memory database of the host's, with its schema, for the tests of
// the dictionaries stored there.
#pragma once

#include <string>

#include "host/store/database.h"

namespace quillet::host::testing {

class TestDatabase {
 public:
  TestDatabase() : db_(":memory:", Durability::RollbackFull) {}

  Database& get() { return db_; }
  void Exec(const std::string& sql) { db_.Exec(sql); }
  // The first column of the first row as text ("" for none or NULL).
  std::string Text(const std::string& sql);

 private:
  Database db_;
};

}  // namespace quillet::host::testing

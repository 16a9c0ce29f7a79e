// An in-memory SQLite database with the host's dictionary tables, as the
// reference host creates them.
#pragma once

#include <string>

struct sqlite3;

namespace quillet::host::testing {

class TestDatabase {
 public:
  TestDatabase();
  ~TestDatabase();
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;

  sqlite3* get() const { return db_; }
  void Exec(const std::string& sql);
  // The first column of the first row as text ("" for none or NULL).
  std::string Text(const std::string& sql);

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace quillet::host::testing

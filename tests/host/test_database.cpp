#include "tests/host/test_database.h"

namespace quillet::host::testing {

std::string TestDatabase::Text(const std::string& sql) {
  Statement statement = db_.Prepare(sql);
  return statement.Step() ? statement.Text(0) : std::string();
}

}  // namespace quillet::host::testing

// The host's journal: every line goes to the console's standard error and,
// with the time it was written, into the table JOURNAL.
#pragma once

#include <string>
#include <string_view>

namespace quillet::host {

class Database;

class Journal {
 public:
  explicit Journal(Database& db) : db_(db) {}
  void Add(std::string_view line);

 private:
  Database& db_;
  bool tableFailed_ = false;  // reported once, then the table is left alone
};

}  // namespace quillet::host

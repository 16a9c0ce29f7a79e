#include "host/services/journal.h"

#include <cstdio>

#include "host/os/console.h"
#include "host/os/timestamp.h"
#include "host/store/database.h"

namespace quillet::host {

void Journal::Add(std::string_view line) {
  Console::Standard().Journal(line);
  if (tableFailed_) return;
  try {
    Statement insert = db_.Prepare("INSERT INTO JOURNAL (STAMP, LINE) VALUES (?, ?)");
    insert.Bind(1, LocalTimestamp());
    insert.Bind(2, line);
    insert.Step();
  } catch (const HostError& error) {
    // The journal must never stop the host; the line is on stderr already.
    tableFailed_ = true;
    Console::Standard().Error(std::string("quillet: the journal table cannot be written: ") + error.what());
  }
}

}  // namespace quillet::host

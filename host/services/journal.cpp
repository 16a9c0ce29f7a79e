#include "host/services/journal.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "host/os/console.h"
#include "host/store/database.h"

namespace quillet::host {

std::string LocalTimestamp() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

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

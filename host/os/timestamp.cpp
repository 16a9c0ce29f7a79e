#include "host/os/timestamp.h"

#include <ctime>

namespace quillet::host {
namespace {

// The calendar functions' thread-safe forms differ by platform in name and
// argument order.
std::tm Broken(std::time_t now, bool utc) {
  std::tm parts{};
#ifdef _WIN32
  if (utc)
    gmtime_s(&parts, &now);
  else
    localtime_s(&parts, &now);
#else
  if (utc)
    gmtime_r(&now, &parts);
  else
    localtime_r(&now, &parts);
#endif
  return parts;
}

std::string Format(const char* format, bool utc) {
  const std::tm parts = Broken(std::time(nullptr), utc);
  char text[64];
  const std::size_t length = std::strftime(text, sizeof text, format, &parts);
  return std::string(text, length);
}

}  // namespace

std::string LocalTimestamp() { return Format("%Y-%m-%d %H:%M:%S", false); }

std::string UtcTimestamp(const char* format) { return Format(format, true); }

}  // namespace quillet::host

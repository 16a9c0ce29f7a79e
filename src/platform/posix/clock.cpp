#include "platform/clock.h"

#include <ctime>

namespace quillet {

// Milliseconds of the monotonic clock, cut to 32 bits like the system's
// tick count: a change of the wall clock must not stop or stretch a run's
// timing, and callers compare differences, which survive the wrap.
std::uint32_t TickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const auto ms =
      static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);
}

TDateTime Now() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm local{};
  // localtime_r, not localtime: the host may read the time on another
  // thread at the same moment.
  localtime_r(&now.tv_sec, &local);
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         // A leap second (tm_sec 60) is no valid time to encode; it counts as 59.
         EncodeTime(local.tm_hour, local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec,
                    static_cast<int>(now.tv_nsec / 1000000));
}

// The headless platform has no regional settings: the formats are the
// ISO ones, so that transcripts read the same on every machine.
const ShortFormats& LocaleShortFormats() {
  static const ShortFormats formats{u"yyyy-mm-dd", u"hh:nn"};
  return formats;
}

}  // namespace quillet

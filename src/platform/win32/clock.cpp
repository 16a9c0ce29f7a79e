// Time from the system: the tick count, the local clock and the user
// locale's short date and time formats.
#include "platform/clock.h"

#include <windows.h>

#include "platform/win32/locale_pattern.h"
#include "platform/win32/wide_path.h"

namespace quillet {
namespace {

// One locale string; empty when the locale does not know the item.
std::u16string LocaleText(LCTYPE item) {
  wchar_t buffer[96] = {};
  const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, item, buffer, 96);
  if (length <= 1) return {};
  return win32::FromWide(buffer, static_cast<std::size_t>(length - 1));
}

// LOCALE_SSHORTTIME exists from Windows 7 on; before, and in a locale that
// lacks it, the long time format stands in.
std::u16string ShortTimePicture() {
  std::u16string picture = LocaleText(LOCALE_SSHORTTIME);
  return picture.empty() ? LocaleText(LOCALE_STIMEFORMAT) : picture;
}

ShortFormats ReadLocaleFormats() {
  ShortFormats formats;
  const std::u16string date = win32::RuntimePattern(LocaleText(LOCALE_SSHORTDATE));
  const std::u16string time = win32::RuntimePattern(ShortTimePicture());
  if (!date.empty()) formats.date = date;
  if (!time.empty()) formats.time = time;
  return formats;
}

}  // namespace

// Wraps after 49.7 days; callers compare differences, which stay right
// across the wrap in unsigned arithmetic.
std::uint32_t TickCount() { return GetTickCount(); }

TDateTime Now() {
  SYSTEMTIME local{};
  GetLocalTime(&local);
  return EncodeDate(local.wYear, local.wMonth, local.wDay) +
         EncodeTime(local.wHour, local.wMinute, local.wSecond, local.wMilliseconds);
}

// Read once: the module's run is short against a change of the user's
// regional settings.
const ShortFormats& LocaleShortFormats() {
  static const ShortFormats formats = ReadLocaleFormats();
  return formats;
}

}  // namespace quillet

#include "host/os/locale_date.h"

#include <windows.h>

#include <cstdio>

#include "host/base/text.h"

namespace quillet::host {

std::string LocaleDateText(const std::string& date) {
  SYSTEMTIME day{};
  int year = 0;
  int month = 0;
  int dayOfMonth = 0;
  if (std::sscanf(date.c_str(), "%4d-%2d-%2d", &year, &month, &dayOfMonth) != 3) return date;
  day.wYear = static_cast<WORD>(year);
  day.wMonth = static_cast<WORD>(month);
  day.wDay = static_cast<WORD>(dayOfMonth);
  wchar_t text[80];
  const int length = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, text, 80);
  if (length <= 1) return date;
  return Utf8(std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<std::size_t>(length - 1)));
}

}  // namespace quillet::host

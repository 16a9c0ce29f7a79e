#include "platform/win32/locale_pattern.h"

namespace quillet::win32 {
namespace {

// The letters of the system's date and time pictures; everything else in
// a picture is a separator, copied as it is.
bool IsPictureLetter(char16_t c) {
  return c == u'y' || c == u'M' || c == u'd' || c == u'H' || c == u'h' || c == u'm' || c == u's' ||
         c == u'g' || c == u't';
}

// The runtime's letter for a picture letter; 0 for one it has no use for.
char16_t RuntimeLetter(char16_t c) {
  switch (c) {
    // The system writes months with "M" and minutes with "m"; the runtime
    // writes months "m" and minutes "n", and hours "h" whether 12 or 24.
    case u'M':
      return u'm';
    case u'm':
      return u'n';
    case u'H':
      return u'h';
    case u'g':
    // The era ("g") and the AM/PM mark ("t") have no letter in the runtime's
    // patterns; they are dropped with what separates them from the rest.
    case u't':
      return 0;
    default:
      return c;
  }
}

bool IsRuntimeLetter(char16_t c) {
  return c == u'y' || c == u'm' || c == u'd' || c == u'h' || c == u'n' || c == u's';
}

// Drops the blanks and separators that precede a dropped letter.
void DropTrailingSeparators(std::u16string& pattern) {
  while (!pattern.empty() && !IsRuntimeLetter(pattern.back()) && pattern.back() != u'\'') pattern.pop_back();
}

// A dropped letter at the start leaves its separator behind: "tt h:mm".
std::u16string TrimBlanks(const std::u16string& pattern) {
  const std::size_t first = pattern.find_first_not_of(u' ');
  if (first == std::u16string::npos) return {};
  return pattern.substr(first, pattern.find_last_not_of(u' ') - first + 1);
}

}  // namespace

std::u16string RuntimePattern(std::u16string_view picture) {
  std::u16string pattern;
  bool quoted = false;
  for (const char16_t c : picture) {
    // Quoted text is literal in both languages and keeps its quotes.
    if (c == u'\'') quoted = !quoted;
    if (quoted || c == u'\'' || !IsPictureLetter(c)) {
      pattern.push_back(c);
    } else if (const char16_t letter = RuntimeLetter(c); letter != 0) {
      pattern.push_back(letter);
    } else {
      DropTrailingSeparators(pattern);
    }
  }
  return TrimBlanks(pattern);
}

}  // namespace quillet::win32

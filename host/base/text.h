// Text helpers of the host: the database speaks UTF-8, the module UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace quillet::host {

// Invalid sequences become U+FFFD; nothing throws.
std::string Utf8(std::u16string_view text);
std::u16string Utf16(std::string_view text);

// Maps only a to z, as the module does.
std::string UpperAscii(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
// Blanks and control characters removed at both ends.
std::string_view TrimText(std::string_view text);

}  // namespace quillet::host

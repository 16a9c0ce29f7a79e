// Widens text made of ASCII characters only, for tests and benchmarks that
// generate callsigns and patterns as narrow strings.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

inline std::u16string Ascii(std::string_view text) { return std::u16string(text.begin(), text.end()); }

}  // namespace quillet

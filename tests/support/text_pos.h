// Where a text occurs in another, counted as the host's scripting counts.
#pragma once

#include <cstdint>
#include <string_view>

namespace quillet {

// 1-based position of the first occurrence of sub in text; 0 when absent
// or when sub is empty.
std::int32_t TextPos(std::u16string_view sub, std::u16string_view text);

}  // namespace quillet

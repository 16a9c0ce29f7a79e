// What the reader and the field index share: reading the value of a data
// specifier once the position after its "<NAME:" is known, and the
// ASCII-case-insensitive search for a terminator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "adif/adif_reader.h"

namespace quillet::adif {

// How far after the colon of a data specifier the reader looks.
inline constexpr std::size_t kSpecifierWindow = 32767;

// The value of the data specifier whose "<NAME:" ends right before
// afterColon in text, its length read by the given rule and cut to maxLen
// characters. Raises EConvertError when its length does not fit a 32-bit
// signed integer.
std::u16string ReadSpecifierValue(std::u16string_view text, std::size_t afterColon, std::int32_t maxLen,
                                  AdifLengths lengths);

// Whether text, ASCII-upper-cased, contains upperPattern at or after from.
bool ContainsUpper(std::u16string_view text, std::u16string_view upperPattern, std::size_t from = 0);
// Where text, ASCII-upper-cased, first contains upperPattern at or after
// from; npos when it does not.
std::size_t FindUpper(std::u16string_view text, std::u16string_view upperPattern, std::size_t from = 0);

}  // namespace quillet::adif

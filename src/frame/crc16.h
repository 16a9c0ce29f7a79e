// CRC-16/XMODEM: polynomial 0x1021, initial value 0, no reflection, no
// final XOR. The exception family derives its status codes from it, so the
// values must never change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillet {

std::uint16_t Crc16(const void* data, std::size_t length);
// The CRC of the UTF-8 encoding of text; the empty text gives 0.
std::uint16_t StringCrc16(std::u16string_view text);

}  // namespace quillet

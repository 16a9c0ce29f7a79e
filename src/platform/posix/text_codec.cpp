#include "platform/text_codec.h"

#include "runtime/text.h"

namespace quillet {
namespace {

// Windows-1252 for the bytes 0x80 to 0x9F; the rest of the upper half is Latin-1.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t FromCp1252(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kCp1252High[byte - 0x80];
  return byte;
}

}  // namespace

std::u16string AnsiToUtf16(std::string_view bytes) {
  std::u16string result;
  result.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) {
      result.push_back(byte);
      ++i;
      continue;
    }
    if (const std::size_t length = Utf8SequenceLength(bytes, i); length != 0) {
      result += Utf8ToUtf16(bytes.substr(i, length));
      i += length;
    } else {
      result.push_back(FromCp1252(byte));
      ++i;
    }
  }
  return result;
}

// An ASCII byte ends any UTF-8 sequence before it, valid or not, and
// begins none.
std::size_t AnsiWholeCharacters(std::string_view bytes) {
  for (std::size_t end = bytes.size(); end > 0; --end) {
    if (static_cast<unsigned char>(bytes[end - 1]) < 0x80) return end;
  }
  return 0;
}

std::string Utf16ToAnsi(std::u16string_view text) { return Utf16ToUtf8(text); }

}  // namespace quillet

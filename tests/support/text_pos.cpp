#include "support/text_pos.h"

namespace quillet {

std::int32_t TextPos(std::u16string_view sub, std::u16string_view text) {
  if (sub.empty()) return 0;
  const std::size_t at = text.find(sub);
  return at == std::u16string_view::npos ? 0 : static_cast<std::int32_t>(at + 1);
}

}  // namespace quillet

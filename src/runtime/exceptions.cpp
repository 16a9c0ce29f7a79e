#include "runtime/exceptions.h"

#include "runtime/text.h"

namespace quillet {

EAssertionFailed EAssertionFailed::At(std::u16string_view message, std::u16string_view unit, int line) {
  return EAssertionFailed(FormatText(u"%s (%s, line %d)", {message, unit, line}));
}

}  // namespace quillet

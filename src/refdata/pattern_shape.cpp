#include "refdata/pattern_shape.h"

namespace quillet {
namespace {

// Far below the engine's compiled-size limit, far above any callsign.
constexpr std::size_t kLongestShaped = 256;

bool IsMetacharacter(char16_t unit) {
  return std::u16string_view(u"\\^$.|?*+()[]{}").find(unit) != std::u16string_view::npos;
}

// A backslash before ASCII punctuation stands for that character itself;
// before a letter, a digit or anything else it may mean something else.
bool IsEscapedLiteral(char16_t unit) {
  const bool alphanumeric =
      (unit >= u'0' && unit <= u'9') || (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z');
  return unit > u' ' && unit < 0x7F && !alphanumeric;
}

// What follows L, when it is one of the shapes' endings.
PatternShape::Kind KindOfEnding(std::u16string_view rest) {
  if (rest.empty() || rest == u"$") return PatternShape::Kind::Exact;
  if (rest == u".*" || rest == u".*$") return PatternShape::Kind::Prefix;
  return PatternShape::Kind::Other;
}

}  // namespace

PatternShape ShapeOfPattern(std::u16string_view pattern) {
  if (pattern.empty() || pattern.size() > kLongestShaped) return {};
  std::u16string_view rest = pattern;
  if (rest.front() == u'^') rest.remove_prefix(1);
  std::u16string literal;
  for (;;) {
    const PatternShape::Kind kind = KindOfEnding(rest);
    if (kind != PatternShape::Kind::Other) return {kind, std::move(literal)};
    if (rest[0] == u'\\') {
      if (rest.size() < 2 || !IsEscapedLiteral(rest[1])) return {};
      rest.remove_prefix(1);
    } else if (IsMetacharacter(rest[0])) {
      return {};
    }
    literal += rest[0];
    rest.remove_prefix(1);
  }
}

bool HoldsLineBreak(std::u16string_view text) {
  for (const char16_t unit : text) {
    if (unit == 0 || (unit >= 0x0A && unit <= 0x0D) || unit == 0x85 || unit == 0x2028 || unit == 0x2029)
      return true;
  }
  return false;
}

}  // namespace quillet

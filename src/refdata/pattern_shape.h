// Pattern shapes whose answer under the callsign match rule (the engine's
// first match, searched from the callsign's first character, must span the
// whole callsign) follows from their text alone, so that a dictionary can
// look them up instead of running the engine:
//  * Exact: L, ^L, L$ and ^L$ resolve exactly the callsign equal to L. The
//    first match of L or ^L is L at the leftmost place it occurs, that of
//    L$ or ^L$ the one occurrence ending at the end; either spans the whole
//    callsign only when the callsign is L.
//  * Prefix: L.*, ^L.*, L.*$ and ^L.*$ resolve exactly the callsigns that
//    begin with L when the rest holds no line break ("." matches anything
//    but a line break). The match at offset 0, which is the first one when
//    the callsign begins with L, then runs greedily to the end.
// L is literal text: units other than the engine's metacharacters, and
// ASCII punctuation escaped with a backslash ("\/", "\.", "\$").
#pragma once

#include <string>
#include <string_view>

namespace quillet {

struct PatternShape {
  enum class Kind { Other, Exact, Prefix };
  Kind kind = Kind::Other;
  std::u16string literal;  // L, escapes resolved; empty for Other
};

// The shape of a pattern, Other unless it is certainly one of the above and
// certainly compiles. Patterns above a modest length stay Other: the engine
// refuses patterns whose compiled form outgrows its limit.
PatternShape ShapeOfPattern(std::u16string_view pattern);

// Whether text holds a unit that ends a line under any of the engine's
// newline conventions (LF, CR, CRLF, ANY, ANYCRLF, NUL). For such text a
// Prefix shape's answer depends on the convention the engine was built
// with, and the pattern must be run instead.
bool HoldsLineBreak(std::u16string_view text);

}  // namespace quillet

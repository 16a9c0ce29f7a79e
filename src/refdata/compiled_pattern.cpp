#include "refdata/compiled_pattern.h"

#include <pcre2.h>

#include <new>

#include "runtime/text.h"

namespace quillet {
namespace {

constexpr std::uint32_t kCompileOptions = PCRE2_DOLLAR_ENDONLY;

std::u16string ErrorMessage(int errorCode) {
  PCRE2_UCHAR buffer[256];
  const int length = pcre2_get_error_message(errorCode, buffer, sizeof buffer / sizeof buffer[0]);
  if (length < 0) return u"regular expression error " + IntToText(errorCode);
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), static_cast<std::size_t>(length));
}

PCRE2_SPTR Units(std::u16string_view text) { return reinterpret_cast<PCRE2_SPTR>(text.data()); }

// Caseless parts of a pattern match both cases of an ASCII letter.
void AddOtherCase(std::bitset<256>& units) {
  for (char16_t c = u'A'; c <= u'Z'; ++c) {
    const std::size_t lower = c + (u'a' - u'A');
    if (units[c] || units[lower]) units.set(c).set(lower);
  }
}

}  // namespace

void MatchData::Deleter::operator()(pcre2_real_match_data_16* data) const { pcre2_match_data_free(data); }

MatchData::MatchData() : data_(pcre2_match_data_create(1, nullptr)) {
  if (data_ == nullptr) throw std::bad_alloc();
}

void CompiledPattern::Deleter::operator()(pcre2_real_code_16* code) const { pcre2_code_free(code); }

CompiledPattern::CompiledPattern(std::u16string_view pattern, bool jit) : pattern_(pattern) {
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  code_.reset(
      pcre2_compile(Units(pattern), pattern.size(), kCompileOptions, &errorCode, &errorOffset, nullptr));
  if (code_ == nullptr) {
    error_ = FormatText(u"%s at offset %d in pattern \"%s\"",
                        {ErrorMessage(errorCode), static_cast<std::int64_t>(errorOffset), pattern});
    startUnits_.set();
    return;
  }
  // Without JIT support the interpreter gives the same results.
  if (jit) pcre2_jit_compile(code_.get(), PCRE2_JIT_COMPLETE);
  AnalyseStart();
}

// What the engine knows about the first unit of every match, widened to
// stay on the safe side: unknown means any unit.
void CompiledPattern::AnalyseStart() {
  std::uint32_t options = 0;
  std::uint32_t firstType = 0;
  const std::uint8_t* bitmap = nullptr;
  pcre2_pattern_info(code_.get(), PCRE2_INFO_ALLOPTIONS, &options);
  pcre2_pattern_info(code_.get(), PCRE2_INFO_FIRSTCODETYPE, &firstType);
  pcre2_pattern_info(code_.get(), PCRE2_INFO_FIRSTBITMAP, &bitmap);
  if ((options & (PCRE2_UTF | PCRE2_UCP)) != 0) {
    startUnits_.set();  // Unicode case folding reaches beyond ASCII
  } else if (firstType == 1) {
    std::uint32_t unit = 0;
    pcre2_pattern_info(code_.get(), PCRE2_INFO_FIRSTCODEUNIT, &unit);
    startUnits_.set(unit < 255 ? unit : 255);
  } else if (firstType == 0 && bitmap != nullptr) {
    for (std::size_t unit = 0; unit < 256; ++unit) startUnits_[unit] = (bitmap[unit / 8] >> (unit % 8)) & 1;
  } else {
    startUnits_.set();
  }
  AddOtherCase(startUnits_);
}

bool CompiledPattern::MatchesWhole(std::u16string_view callsign, MatchData& data) const {
  if (code_ == nullptr) RaiseError();
  const int result = pcre2_match(code_.get(), Units(callsign), callsign.size(), 0, 0, data.get(), nullptr);
  if (result == PCRE2_ERROR_NOMATCH) return false;
  if (result < 0) throw ERegExpr(ErrorMessage(result) + u" in pattern \"" + pattern_ + u"\"");
  const PCRE2_SIZE* match = pcre2_get_ovector_pointer(data.get());
  return match[0] == 0 && match[1] == callsign.size();
}

void CompiledPattern::RaiseError() const { throw ERegExpr(error_); }

}  // namespace quillet

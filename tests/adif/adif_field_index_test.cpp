#include "adif/adif_field_index.h"

#include <gtest/gtest.h>

#include <random>

#include "adif/adif_reader.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

// What a lookup gives: the value, or the error message prefixed by "!".
template <typename Lookup>
std::u16string Outcome(Lookup lookup) {
  try {
    return lookup();
  } catch (const EConvertError& e) {
    return u"!" + e.Message;
  }
}

void ExpectSameAsReader(std::u16string_view text, std::u16string_view name, std::int32_t maxLen,
                        AdifLengths lengths = AdifLengths::Utf16Units) {
  const AdifFieldIndex index(text, lengths);
  const std::u16string expected = Outcome([&] { return GetAdifField(name, maxLen, text, lengths); });
  EXPECT_EQ(Outcome([&] { return index.Get(name, maxLen); }), expected)
      << Utf16ToUtf8(text) << " / " << Utf16ToUtf8(name) << " / " << maxLen;
}

const std::u16string kLongName(64, u'N');
const std::u16string kTooLongName(65, u'N');

TEST(AdifFieldIndex, AgreesWithTheReaderOnKnownCases) {
  const struct {
    const char16_t* text;
    const char16_t* name;
    std::int32_t maxLen;
  } cases[] = {
      {u"<COMMENT:13>see <CALL:1>X<CALL:4>ABCD", u"CALL", 15},
      {u"<CALL:10>ABCD<EOR>", u"call", 8},
      {u"<CALL:6>ABCDEF", u"CALL", 3},
      {u"<QSO_DATE:8>20230101<CALL:", u"CALL", 15},
      {u"<CALL:2147483648>AB<NAME:1>X", u"CALL", 15},
      {u"<CALL:2147483648>AB<NAME:1>X", u"NAME", 15},
      {u"<<CALL:4>ABCD", u"<CALL", 15},
      {u"<A<CALL:4>ABCD", u"A<CALL", 15},
      {u"<:3>abc", u"", 15},
      {u"<CALL:X:4>ABCD", u"CALL:X", 15},
      {u"<qso_date:8:d>20060101", u"QSO_DATE", 8},
  };
  for (const auto& c : cases) ExpectSameAsReader(c.text, c.name, c.maxLen);
  const std::u16string longKeys = u"<" + kLongName + u":2>ab<" + kTooLongName + u":2>cd";
  ExpectSameAsReader(longKeys, kLongName, 5);
  ExpectSameAsReader(longKeys, kTooLongName, 5);
  ExpectSameAsReader(u"<CALL:40000>" + std::u16string(40000, u'x'), u"CALL", 50000);
}

TEST(AdifFieldIndex, RaisesOnlyForTheFieldWithTheBadLength) {
  const AdifFieldIndex index(u"<CALL:2147483648>AB<NAME:1>X");
  EXPECT_EQ(index.Get(u"NAME", 5), u"X");
  EXPECT_THROW(index.Get(u"CALL", 5), EConvertError);
}

// Texts made of pieces of data specifiers in random order: specifiers
// inside values, overlapping "<", stray ":" and ">", lengths past the end
// or beyond the 32-bit range, type indicators, mixed case.
std::u16string RandomText(std::mt19937& random) {
  static const char16_t* const kPieces[] = {
      u"<", u":", u">", u"<CALL:", u"<call:", u"<Call:4>", u"ABCD", u"4", u"12", u"0", u"<EOR>", u"<eor>",
      u" ", u":D>", u":d", u"<A:", u"<A<", u"A", u"c", u"L", u"<:", u"9999999999", u"2147483648",
      u"2147483647", u"<QSO_DATE:8:D>", u"20230101", u"<NAME:", u"ñ", u"<CALL:X:", u"\r\n",
      // non-ASCII values whose lengths count bytes or characters
      u"<NAME:7>André<", u"<NAME:5>André<", u"<QTH:9>Montréal", u"<QTH:8>Montréal", u"赵<o",
      u"<NAME:6>\U0001F4FB x", u"<NAME:3>\U0001F4FB x", u"é", u"\U0001F4FB"};
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> count(0, 24);
  std::u16string text;
  for (int n = count(random); n > 0; --n) text += kPieces[piece(random)];
  return text;
}

TEST(AdifFieldIndex, AgreesWithTheReaderOnRandomTexts) {
  const std::u16string names[] = {u"CALL",  u"call", u"A",      u"",       u"QTH",
                                  u"<CALL", u"A<",   u"A<CALL", u"CALL:X", u"QSO_DATE",
                                  u"NAME",  u"EOR",  u"ñ",      u"D>",     kTooLongName};
  const std::int32_t maxLens[] = {-1, 0, 1, 3, 8, 255};
  std::mt19937 random(20240607);
  for (int round = 0; round < 4000; ++round) {
    const std::u16string text = RandomText(random);
    const std::int32_t maxLen = maxLens[static_cast<std::size_t>(round) % std::size(maxLens)];
    for (const std::u16string& name : names) {
      ExpectSameAsReader(text, name, maxLen);
      ExpectSameAsReader(text, name, maxLen, AdifLengths::Utf8BytesOrUnits);
    }
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace quillet

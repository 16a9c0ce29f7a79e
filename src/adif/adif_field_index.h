// An index of the data specifiers of one record string, for reading many
// fields of the same record. Every lookup gives exactly what GetAdifField
// gives for the same name, maximum length and text, errors included: a
// length that does not fit a 32-bit signed integer raises EConvertError
// when, and only when, its field is looked up. Lengths are read by the
// rule the index is given, as GetAdifField reads them by the same rule.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "adif/adif_reader.h"

namespace quillet {

class AdifFieldIndex {
 public:
  // text must outlive the index.
  explicit AdifFieldIndex(std::u16string_view text, AdifLengths lengths = AdifLengths::Utf16Units);
  std::u16string Get(std::u16string_view name, std::int32_t maxLen) const;

 private:
  // The first "<" + name + ":" for one name, in any case: name is
  // text_[start, start + length).
  struct Entry {
    std::size_t start = 0;
    std::size_t length = 0;
  };

  std::u16string_view Key(const Entry& entry) const;
  const Entry* Find(std::u16string_view name) const;
  std::size_t FindUnindexed(std::u16string_view name) const;

  std::u16string_view text_;
  AdifLengths lengths_;
  std::vector<Entry> entries_;  // sorted by name; one per name
};

}  // namespace quillet

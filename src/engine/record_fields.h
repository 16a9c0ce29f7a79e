// Reads the field values of one record string by name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "adif/adif_field_index.h"

namespace quillet {

// Indexed builds an index of the record's data specifiers once and reads
// every field from it; PerFieldSearch searches the whole record again for
// every field. Both give the same values; the second is kept as the
// measuring baseline of the planner.
enum class FieldLookup { Indexed, PerFieldSearch };

class RecordFields {
 public:
  // text must outlive the object. Field lengths are read by the given rule.
  RecordFields(std::u16string_view text, FieldLookup lookup, AdifLengths lengths = AdifLengths::Utf16Units);

  // What GetAdifField gives for name, maxLen, the record text and the
  // rule. Raises EConvertError for a field length that does not fit a
  // 32-bit signed integer.
  std::u16string Get(std::u16string_view name, std::int32_t maxLen) const;

 private:
  std::u16string_view text_;
  AdifLengths lengths_;
  std::optional<AdifFieldIndex> index_;
};

}  // namespace quillet

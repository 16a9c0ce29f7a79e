#include "engine/record_fields.h"

#include "adif/adif_reader.h"

namespace quillet {

RecordFields::RecordFields(std::u16string_view text, FieldLookup lookup, AdifLengths lengths)
    : text_(text), lengths_(lengths) {
  if (lookup == FieldLookup::Indexed) index_.emplace(text, lengths);
}

std::u16string RecordFields::Get(std::u16string_view name, std::int32_t maxLen) const {
  return index_ ? index_->Get(name, maxLen) : GetAdifField(name, maxLen, text_, lengths_);
}

}  // namespace quillet

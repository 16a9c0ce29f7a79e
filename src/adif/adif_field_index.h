// An index of the data specifiers of one record string, for reading many
// fields of the same record. Every lookup gives exactly what GetAdifField
// gives for the same name, maximum length and text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet {

class AdifFieldIndex {
 public:
  // text must outlive the index.
  explicit AdifFieldIndex(std::u16string_view text);
  std::u16string Get(std::u16string_view name, std::int32_t maxLen) const;

 private:
  std::u16string_view text_;
};

}  // namespace quillet

#include "adif/adif_field_index.h"

#include <algorithm>

#include "adif/adif_field_value.h"
#include "runtime/text.h"

namespace quillet {
namespace {

// Names up to this length are indexed; a longer one (no ADIF field name
// comes near it) is searched for directly. The bound keeps texts full of
// "<" from producing long keys.
constexpr std::size_t kMaxIndexedName = 64;

// Orders two names as if both were ASCII-upper-cased. Keys are compared
// in the record's own case, so that the index holds no upper-cased copy of
// a record that may be very long.
int CompareUpper(std::u16string_view key, std::u16string_view name) {
  const std::size_t common = std::min(key.size(), name.size());
  for (std::size_t i = 0; i < common; ++i) {
    const char16_t mine = UpperAscii(key[i]);
    const char16_t other = UpperAscii(name[i]);
    if (mine != other) return mine < other ? -1 : 1;
  }
  if (key.size() == name.size()) return 0;
  return key.size() < name.size() ? -1 : 1;
}

}  // namespace

// "<" + name + ":" starts at p exactly when name is the text between p and
// the first ":" after it, provided name holds no ":". So every "<" yields
// one candidate name ending at the next ":", and the first "<" of each name
// is its first occurrence, overlapping ones and those inside values included.
AdifFieldIndex::AdifFieldIndex(std::u16string_view text, AdifLengths lengths)
    : text_(text), lengths_(lengths) {
  std::vector<std::size_t> open;  // "<" positions not yet followed by ":"
  for (std::size_t i = 0; i < text_.size(); ++i) {
    if (text_[i] == u'<') {
      open.push_back(i);
    } else if (text_[i] == u':') {
      for (std::size_t p : open) {
        if (i - p - 1 <= kMaxIndexedName) entries_.push_back({p + 1, i - p - 1});
      }
      open.clear();
    }
  }
  std::stable_sort(entries_.begin(), entries_.end(),
                   [this](const Entry& a, const Entry& b) { return CompareUpper(Key(a), Key(b)) < 0; });
  const auto sameName = [this](const Entry& a, const Entry& b) { return CompareUpper(Key(a), Key(b)) == 0; };
  entries_.erase(std::unique(entries_.begin(), entries_.end(), sameName), entries_.end());
}

std::u16string AdifFieldIndex::Get(std::u16string_view name, std::int32_t maxLen) const {
  std::size_t afterColon = std::u16string::npos;
  if (name.size() <= kMaxIndexedName && name.find(u':') == std::u16string_view::npos) {
    if (const Entry* entry = Find(name)) afterColon = entry->start + entry->length + 1;
  } else {
    afterColon = FindUnindexed(name);
  }
  if (afterColon == std::u16string::npos) return {};
  return adif::ReadSpecifierValue(text_, afterColon, maxLen, lengths_);
}

std::u16string_view AdifFieldIndex::Key(const Entry& entry) const {
  return text_.substr(entry.start, entry.length);
}

const AdifFieldIndex::Entry* AdifFieldIndex::Find(std::u16string_view name) const {
  const auto it =
      std::lower_bound(entries_.begin(), entries_.end(), name,
                       [this](const Entry& e, std::u16string_view n) { return CompareUpper(Key(e), n) < 0; });
  if (it == entries_.end() || CompareUpper(Key(*it), name) != 0) return nullptr;
  return &*it;
}

std::size_t AdifFieldIndex::FindUnindexed(std::u16string_view name) const {
  const std::u16string pattern = u"<" + UpperAscii(name) + u":";
  const std::size_t at = adif::FindUpper(text_, pattern);
  return at == std::u16string::npos ? at : at + pattern.size();
}

}  // namespace quillet

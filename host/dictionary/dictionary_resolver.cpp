#include "host/dictionary/dictionary_resolver.h"

#include <array>

#include <pcre2.h>

#include "host/dictionary/dictionary_error.h"

namespace quillet::host {
namespace {

// Patterns and callsigns come as UTF-8 from the database; the engine works
// on UTF-16 code units, as the module's does.
void AppendUtf16(std::u16string& out, char32_t code) {
  if (code < 0x10000) {
    out += static_cast<char16_t>(code);
  } else {
    code -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (code >> 10));
    out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
  }
}

std::u16string Utf16Of(std::string_view text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size();) {
    auto lead = static_cast<unsigned char>(text[i]);
    int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    char32_t code = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
    bool valid = extra >= 0 && i + extra < text.size();
    for (int k = 1; valid && k <= extra; ++k) {
      auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    AppendUtf16(out, valid && code <= 0x10FFFF ? code : U'\uFFFD');
    i += valid ? extra + 1 : 1;
  }
  return out;
}

PCRE2_SPTR Units(const std::u16string& text) { return reinterpret_cast<PCRE2_SPTR>(text.data()); }

struct CodeDeleter {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};

// The first characters of a UTF-8 text; never splits a character.
std::string Cut(const std::string& text, std::size_t limit) {
  std::size_t end = 0;
  for (std::size_t count = 0; end < text.size(); ++end) {
    bool starts = (static_cast<unsigned char>(text[end]) & 0xC0) != 0x80;
    if (starts && count++ == limit) break;
  }
  return text.substr(0, end);
}

// Patterns whose every match begins with one known ASCII code unit are tried
// only on callsigns beginning with it; inline options ("(?i)") could make
// that unit caseless, so such patterns are always tried.
constexpr std::size_t kAnyFirst = 128;

std::size_t FirstUnitOf(const pcre2_code* code, std::string_view pattern) {
  std::uint32_t type = 0;
  std::uint32_t unit = 0;
  pcre2_pattern_info(code, PCRE2_INFO_FIRSTCODETYPE, &type);
  pcre2_pattern_info(code, PCRE2_INFO_FIRSTCODEUNIT, &unit);
  bool known = type == 1 && unit < kAnyFirst && pattern.find("(?") == std::string_view::npos;
  return known ? unit : kAnyFirst;
}

}  // namespace

class DictionaryResolver::Table {
 public:
  Table(DictionaryTable table, const std::vector<DictionaryEntry>& entries) : table_(table) {
    for (const DictionaryEntry& entry : entries) {
      if (!entry.pattern.empty()) Add(entry);
    }
  }

  // The first entry, in ID order, whose first match covers the callsign.
  const DictionaryEntry* Find(const std::u16string& callsign, pcre2_match_data* data) const {
    std::size_t first = !callsign.empty() && callsign[0] < kAnyFirst ? callsign[0] : kAnyFirst;
    for (std::size_t index : candidates_[first]) {
      if (Covers(*codes_[index], callsign, data)) return &entries_[index];
    }
    return nullptr;
  }

  DictionaryTable Kind() const { return table_; }

 private:
  void Add(const DictionaryEntry& entry) {
    int error = 0;
    PCRE2_SIZE offset = 0;
    std::u16string pattern = Utf16Of(entry.pattern);
    pcre2_code* code = pcre2_compile(Units(pattern), pattern.size(), 0, &error, &offset, nullptr);
    if (code == nullptr) throw DictionaryError(CompileMessage(entry, error, offset));
    codes_.emplace_back(code);
    entries_.push_back(entry);
    std::size_t firstUnit = FirstUnitOf(code, entry.pattern);
    for (std::size_t first = 0; first <= kAnyFirst; ++first) {
      if (firstUnit == kAnyFirst || first == firstUnit || first == kAnyFirst)
        candidates_[first].push_back(entries_.size() - 1);
    }
  }

  // A match at the first character, when there is one, is also the search's
  // first match; so the search is tried there only.
  static bool Covers(const pcre2_code& code, const std::u16string& callsign, pcre2_match_data* data) {
    int result = pcre2_match(&code, Units(callsign), callsign.size(), 0, PCRE2_ANCHORED, data, nullptr);
    if (result < 0) return false;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
    return ovector[0] == 0 && ovector[1] == callsign.size();
  }

  std::string CompileMessage(const DictionaryEntry& entry, int error, PCRE2_SIZE offset) const {
    std::array<PCRE2_UCHAR, 256> text{};
    pcre2_get_error_message(error, text.data(), text.size());
    std::string message;
    for (PCRE2_UCHAR unit : text) {
      if (unit == 0) break;
      message += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    return std::string(TableName(table_)) + " row " + std::to_string(entry.id) + ": pattern \"" +
           entry.pattern + "\" refused at " + std::to_string(offset) + ": " + message;
  }

  DictionaryTable table_;
  std::vector<std::unique_ptr<pcre2_code, CodeDeleter>> codes_;
  std::vector<DictionaryEntry> entries_;
  std::array<std::vector<std::size_t>, kAnyFirst + 1> candidates_;
};

DictionaryResolver::DictionaryResolver(const DictionaryEntries& entries) {
  tables_.push_back(std::make_unique<Table>(DictionaryTable::UniqueCall, entries.uniqueCalls));
  tables_.push_back(std::make_unique<Table>(DictionaryTable::Province, entries.provinces));
  tables_.push_back(std::make_unique<Table>(DictionaryTable::Country, entries.countries));
}

DictionaryResolver::~DictionaryResolver() = default;

std::optional<Resolution> DictionaryResolver::Resolve(std::string_view callsign) const {
  std::u16string call = Utf16Of(callsign);
  std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(pcre2_match_data_create(1, nullptr));
  for (const auto& table : tables_) {
    const DictionaryEntry* entry = table->Find(call, data.get());
    if (entry == nullptr) continue;
    // A COUNTRY entry has no main prefix of its own: its DXCC prefix serves.
    const std::string& mainPrefix =
        table->Kind() == DictionaryTable::Country ? entry->arrlPrefix : entry->prefix;
    return Resolution{table->Kind(),
                      entry->id,
                      entry->pattern,
                      Cut(entry->continent, 2),
                      Cut(entry->arrlPrefix, 5),
                      entry->dxcc,
                      Cut(mainPrefix, 5),
                      Cut(entry->ituZone, 2),
                      Cut(entry->cqZone, 2)};
  }
  return std::nullopt;
}

}  // namespace quillet::host

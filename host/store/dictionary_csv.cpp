#include "host/store/dictionary_csv.h"

#include "host/base/host_error.h"

namespace quillet::host {
namespace {

class CsvReader {
 public:
  // Spreadsheet programs write a byte-order mark before UTF-8 CSV; it is no
  // part of the first column's name.
  explicit CsvReader(std::string_view text) : text_(text) {
    if (text_.starts_with("\xEF\xBB\xBF")) text_.remove_prefix(3);
  }

  std::vector<CsvRecord> Records() {
    std::vector<CsvRecord> records;
    while (pos_ < text_.size()) {
      CsvRecord record = Record();
      // An empty line reads as one absent field; it holds no row.
      bool blank = record.size() == 1 && !record[0].has_value();
      if (!blank) records.push_back(std::move(record));
    }
    return records;
  }

 private:
  CsvRecord Record() {
    CsvRecord record{Field()};
    while (pos_ < text_.size() && text_[pos_] == ',') {
      ++pos_;
      record.push_back(Field());
    }
    // CR LF, as Windows programs write it, or LF alone.
    if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    return record;
  }

  CsvField Field() {
    if (pos_ < text_.size() && text_[pos_] == '"') return Quoted();
    std::size_t end = text_.find_first_of(",\r\n", pos_);
    if (end == std::string_view::npos) end = text_.size();
    std::string_view field = text_.substr(pos_, end - pos_);
    pos_ = end;
    return field.empty() ? CsvField() : CsvField(std::string(field));
  }

  CsvField Quoted() {
    std::size_t start = pos_++;
    std::string field;
    for (;;) {
      std::size_t quote = text_.find('"', pos_);
      if (quote == std::string_view::npos)
        throw HostError("unclosed quote from byte " + std::to_string(start + 1));
      field.append(text_.substr(pos_, quote - pos_));
      pos_ = quote + 1;
      if (pos_ >= text_.size() || std::string_view(",\r\n").find(text_[pos_]) != std::string_view::npos)
        return field;
      if (text_[pos_] != '"')
        throw HostError("text after a closing quote at byte " + std::to_string(pos_ + 1));
      field += '"';
      ++pos_;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

std::vector<CsvRecord> ParseCsv(std::string_view text) { return CsvReader(text).Records(); }

}  // namespace quillet::host

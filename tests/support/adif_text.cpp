#include "support/adif_text.h"

#include "adif/adif_reader.h"

namespace quillet {
namespace {

// The lines of a vector, moved out one at a time.
class VectorLineSource : public LineSource {
 public:
  explicit VectorLineSource(std::vector<std::u16string>& lines) : lines_(lines) {}
  bool NextLine(std::u16string& line) override {
    if (next_ == lines_.size()) return false;
    line = std::move(lines_[next_++]);
    return true;
  }

 private:
  std::vector<std::u16string>& lines_;
  std::size_t next_ = 0;
};

}  // namespace

bool ParseAdifText(TAdifData& data, const std::vector<std::u16string>& lines) {
  return ParseAdifText(data, std::vector<std::u16string>(lines));
}

bool ParseAdifText(TAdifData& data, std::vector<std::u16string>&& lines) {
  AdifLayout layout;
  for (const std::u16string& line : lines) layout.Scan(line);
  VectorLineSource source(lines);
  AdifRecordReader reader(source, layout.HasHeader());
  const std::vector<std::u16string>& header = reader.Header();
  data.Header.insert(data.Header.end(), header.begin(), header.end());
  std::u16string record;
  while (reader.NextRecord(record)) data.Records.push_back(std::move(record));
  std::vector<std::u16string>().swap(lines);
  return layout.AnyLines();
}

std::u16string HeaderText(const TAdifData& data) { return HeaderText(data.Header); }

}  // namespace quillet

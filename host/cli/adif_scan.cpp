#include "host/cli/adif_scan.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <unordered_map>

#include "adif/adif_reader.h"
#include "engine/source_lines.h"
#include "host/base/text.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet::host {
namespace {

constexpr std::int32_t kWholeValue = std::numeric_limits<std::int32_t>::max();

// A record string ends with its terminator; what comes before it must hold
// a tag of its own to be a record and not only the space between two. Read
// for every record, so it compares in place rather than through a copy.
bool HoldsField(std::u16string_view record) {
  for (std::size_t open = record.find(u'<'); open != std::u16string_view::npos;
       open = record.find(u'<', open)) {
    const std::size_t close = record.find(u'>', open);
    if (close == std::u16string_view::npos) return false;
    std::u16string_view tag = record.substr(open + 1, close - open - 1);
    while (!tag.empty() && tag.front() <= u' ') tag.remove_prefix(1);
    while (!tag.empty() && tag.back() <= u' ') tag.remove_suffix(1);
    if (tag.size() != 3 || quillet::UpperAscii(tag[0]) != u'E' || quillet::UpperAscii(tag[1]) != u'O' ||
        quillet::UpperAscii(tag[2]) != u'R')
      return true;
    open = close + 1;
  }
  return false;
}

// The value of a field as the module reads it, trimmed; a length the module
// refuses (it raises for this record when it gets there) gives none here.
// Two fields a record are read by the module's own search, which finds the
// first of each as the import's field index does, without building one.
std::string TrimmedField(std::u16string_view record, std::u16string_view name, AdifLengths lengths) {
  try {
    return std::string(TrimText(Utf8(GetAdifField(name, kWholeValue, record, lengths))));
  } catch (const EConvertError&) {
    return {};
  }
}

// Counts the records and their operators.
class RecordCollector {
 public:
  explicit RecordCollector(AdifLengths lengths) : lengths_(lengths) {}

  void Add(std::u16string_view record) {
    if (!HoldsField(record)) return;
    // The operator is the station's own call when the record names none,
    // as the module fills it in.
    std::string call = TrimmedField(record, u"OPERATOR", lengths_);
    if (call.empty()) call = TrimmedField(record, u"STATION_CALLSIGN", lengths_);
    Count(UpperAscii(call));
  }

  // Most frequent first; a stable sort keeps ties in the order they came.
  AdifScan Take() {
    std::stable_sort(scan_.operators.begin(), scan_.operators.end(),
                     [](const OperatorCount& a, const OperatorCount& b) { return a.records > b.records; });
    return std::move(scan_);
  }

 private:
  void Count(const std::string& call) {
    ++scan_.records;
    if (call.empty()) return;
    const auto [entry, added] = operatorIndex_.try_emplace(call, scan_.operators.size());
    if (added) scan_.operators.push_back({call, 0});
    ++scan_.operators[entry->second].records;
  }

  AdifLengths lengths_;
  std::unordered_map<std::string, std::size_t> operatorIndex_;
  AdifScan scan_;
};

// Whether the file has a header: the module reads the whole file once for
// it before the first record, as its layout decides where records begin.
bool ReadLayout(const std::u16string& file, SourceEncoding encoding, std::size_t pieceBytes,
                AdifLayout& layout) {
  SourceLineReader lines(file, encoding, pieceBytes);
  if (!lines.IsOpen()) return false;
  std::u16string line;
  while (lines.NextLine(line)) layout.Scan(line);
  return !lines.Failed();
}

}  // namespace

long AdifScan::RecordsOf(std::string_view call) const {
  if (!call.empty()) {
    for (const OperatorCount& count : operators) {
      if (count.call == call) return count.records;
    }
    return 0;
  }
  long named = 0;
  for (const OperatorCount& count : operators) named += count.records;
  return records - named;
}

bool ScanAdifFile(const std::string& path, AdifScan& scan, std::size_t pieceBytes) {
  // The path in the system's own narrow encoding, as the command line gave it.
  const std::u16string file = std::filesystem::path(path).u16string();
  SourceEncoding encoding = SourceEncoding::Ansi;
  AdifLayout layout;
  if (!DetectSourceEncoding(file, encoding) || !ReadLayout(file, encoding, pieceBytes, layout)) return false;
  SourceLineReader lines(file, encoding, pieceBytes);
  if (!lines.IsOpen()) return false;
  AdifRecordReader reader(lines, layout.HasHeader());
  RecordCollector collector(LengthsOf(encoding));
  std::u16string record;
  while (reader.NextRecord(record)) collector.Add(record);
  if (lines.Failed()) return false;
  scan = collector.Take();
  return true;
}

}  // namespace quillet::host

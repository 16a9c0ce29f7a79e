// The host's scan reads with the module's reader; on well-formed files it
// gives what the host's former field scanner (reference_adif_scan.h) gave:
// the records, the operators in their order and the dates of each.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>
#include <string>

#include "host/base/text.h"
#include "host/cli/adif_scan.h"
#include "tests/host/expect_same_scan.h"
#include "tests/host/reference_adif_scan.h"
#include "tests/host/temp_folder.h"

namespace quillet::host {
namespace {

std::string Field(const std::string& name, const std::string& value) {
  return "<" + name + ":" + std::to_string(value.size()) + ">" + value;
}

// A well-formed file: every length is the value's size in UTF-8 bytes, no
// value holds a tag, no record holds a field twice, records end with a
// terminator (the last one may not).
class WellFormedFile {
 public:
  explicit WellFormedFile(std::uint32_t seed) : random_(seed) {}

  std::string Text() {
    std::string text = Pick({"", "Exported\r\n<ADIF_VER:5>3.1.4 <PROGRAMID:3>Log\r\n<EOH>\r\n",
                             "<ADIF_VER:5>3.1.4<EOH>", "header text <eoh>\n\n"});
    const int records = Number(0, 12);
    for (int i = 0; i < records; ++i) {
      const int fields = Number(0, 5);
      std::set<int> kinds;
      for (int k = 0; k < fields; ++k) {
        const int kind = Number(0, 5);
        if (kinds.insert(kind).second) text += Pick({"", " ", "\r\n", "\n"}) + RandomField(kind);
      }
      const bool last = i + 1 == records;
      if (!last || Number(0, 3) > 0) text += Pick({"<EOR>", "<eor>", " <EOR>"});
      text += Pick({"\r\n", "", " ", "\n\n", "\r\n\r\n"});
    }
    return text;
  }

 private:
  std::string RandomField(int kind) {
    switch (kind) {
      case 0:
        return Field(Pick({"OPERATOR", "operator"}), Pick({"KI2D", "ki2d ", " DL1QLT", "Steve", "", " "}));
      case 1:
        return Field("STATION_CALLSIGN", Pick({"DK0QQ", "dk0qq", "KI2D"}));
      case 2:
        return Field("QSO_DATE", Pick({"20240101", "20240102", " 20240103", "240101", ""}));
      case 3:
        return Field("COMMENT", Pick({"x>y", "Andr\xC3\xA9", "\xF0\x9F\x93\xBB radio", "a:b"}));
      case 4:
        return "<CALL:5:S>K1ABC";
      default:
        return Field("CALL", Pick({"K1ABC", "W1AW/P"}));
    }
  }
  int Number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  std::string Pick(std::initializer_list<const char*> choices) {
    return *(choices.begin() + Number(0, static_cast<int>(choices.size()) - 1));
  }

  std::mt19937 random_;
};

std::string Utf16LeWithMark(const std::string& text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : Utf16(text))
    bytes += std::string{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  return bytes;
}

TEST(AdifScan, WellFormedFilesScanAsTheFormerFieldScannerDid) {
  TempFolder folder;
  const std::string path = folder.File("well-formed.adi");
  WellFormedFile files(20261210);
  for (int round = 0; round < 600 && !HasFailure(); ++round) {
    const std::string text = files.Text();
    const std::string bytes = round % 3 == 0   ? text
                              : round % 3 == 1 ? "\xEF\xBB\xBF" + text
                                               : Utf16LeWithMark(text);
    std::ofstream(path, std::ios::binary) << bytes;
    AdifScan expected;
    ASSERT_TRUE(reference::ScanAdifFile(path, expected, std::size_t{1} << 20));
    const std::size_t piece = static_cast<std::size_t>(round % 17 + 1);
    AdifScan actual;
    ASSERT_TRUE(ScanAdifFile(path, actual, piece));
    ExpectSameScan(actual, expected, text);
  }
}

}  // namespace
}  // namespace quillet::host

#include "host/store/dictionary_csv.h"

#include <gtest/gtest.h>

#include "host/base/host_error.h"

namespace quillet::host {
namespace {

TEST(DictionaryCsv, QuotedFieldsEmptyFieldsAndLineEnds) {
  const auto records = ParseCsv(
      "\xEF\xBB\xBFPrefixList,Continent\r\n\"^(DL|DA){1,2}.*\",\"say \"\"hi\"\"\"\r\n\n^K.*,\n\"a\nb\",\"\"");
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0], (CsvRecord{"PrefixList", "Continent"}));
  EXPECT_EQ(records[1], (CsvRecord{"^(DL|DA){1,2}.*", "say \"hi\""}));
  EXPECT_EQ(records[2], (CsvRecord{"^K.*", std::nullopt}));
  EXPECT_EQ(records[3], (CsvRecord{"a\nb", ""}));
}

TEST(DictionaryCsv, RefusesBrokenQuotes) {
  EXPECT_THROW(ParseCsv("a,\"open\n"), HostError);
  EXPECT_THROW(ParseCsv("a,\"closed\"tail\n"), HostError);
}

}  // namespace
}  // namespace quillet::host

#include "host/store/dictionary_store.h"

#include <gtest/gtest.h>

#include "host/base/host_error.h"
#include "tests/host/test_database.h"

namespace quillet::host {
namespace {

using testing::TestDatabase;

DictionaryRows SampleRows() {
  DictionaryRows rows;
  rows.uniqueCalls = {DictionaryRow{"^KH6XYZ/P$", "OC", "K", "K", 291, 61, 5}};
  rows.provinces = {DictionaryRow{"^KH0.*", "OC", "K", "KH0", 291, 64, 27},
                    DictionaryRow{"^N.*", "NA", "K", "N", 291, 8, 5}};
  rows.countries = {DictionaryRow{"^K.*", "NA", "K", "", 291, 8, 5}};
  return rows;
}

TEST(DictionaryStore, ReplacesTablesAndReadsThemBackAsTheModuleLoads) {
  TestDatabase db;
  db.Exec("INSERT INTO PROVINCE (ID, PrefixList) VALUES (99, '^OLD.*')");
  const DictionaryCounts counts = ReplaceDictionaries(db.get(), SampleRows());
  EXPECT_EQ(counts.uniqueCalls, 1u);
  EXPECT_EQ(counts.provinces, 2u);
  EXPECT_EQ(counts.countries, 1u);
  EXPECT_EQ(db.Text("SELECT COUNT(*) FROM PROVINCE WHERE PrefixList = '^OLD.*'"), "0");
  EXPECT_EQ(db.Text("SELECT typeof(ITUZone) || typeof(DXCC) FROM UNIQUECALL"), "integerinteger");
  EXPECT_EQ(db.Text("SELECT StartDate IS NULL AND EndDate IS NULL FROM COUNTRY"), "1");

  const DictionaryEntries entries = ReadDictionaryEntries(db.get(), "2024-06-01");
  ASSERT_EQ(entries.provinces.size(), 2u);
  EXPECT_EQ(entries.provinces[1].id, 2);
  EXPECT_EQ(entries.provinces[1].pattern, "^N.*");
  EXPECT_EQ(entries.provinces[0].prefix, "KH0");
  EXPECT_EQ(entries.provinces[0].cqZone, "27");
  ASSERT_EQ(entries.uniqueCalls.size(), 1u);
  EXPECT_EQ(entries.uniqueCalls[0].ituZone, "61");
  ASSERT_EQ(entries.countries.size(), 1u);
  EXPECT_EQ(entries.countries[0].dxcc, "291");
}

TEST(DictionaryStore, ReadsOnlyRowsValidOnTheDayWithAPattern) {
  TestDatabase db;
  db.Exec(R"sql(INSERT INTO COUNTRY (ID, PrefixList, DXCC, StartDate, EndDate) VALUES
      (1, '^A.*', '1', NULL, NULL),
      (2, '^B.*', '2', '2024-06-01 00:00:00', '2024-06-01 00:00:00'),
      (3, '^C.*', '3', '2024-06-01 08:00:00', NULL),
      (4, '^D.*', '4', NULL, '2024-05-31 23:59:59'),
      (5, '', '5', NULL, NULL),
      (6, NULL, '6', NULL, NULL))sql");
  const DictionaryEntries entries = ReadDictionaryEntries(db.get(), "2024-06-01");
  ASSERT_EQ(entries.countries.size(), 2u);
  EXPECT_EQ(entries.countries[0].id, 1);
  EXPECT_EQ(entries.countries[1].id, 2);
}

TEST(DictionaryStore, IntegerReadsGiveZeroForNull) {
  TestDatabase db;
  db.Exec("INSERT INTO UNIQUECALL (ID, Callsign, DXCC) VALUES (1, '^X$', NULL)");
  const DictionaryEntries entries = ReadDictionaryEntries(db.get(), "2024-06-01");
  ASSERT_EQ(entries.uniqueCalls.size(), 1u);
  EXPECT_EQ(entries.uniqueCalls[0].dxcc, "0");
  EXPECT_EQ(entries.uniqueCalls[0].continent, "");
}

TEST(DictionaryStore, LoadsCsvColumnByColumn) {
  TestDatabase db;
  ReplaceDictionaries(db.get(), SampleRows());
  const std::size_t added = LoadDictionaryCsv(db.get(), DictionaryTable::Province,
                                              "prefixlist,DXCC,Continent,EndDate\n"
                                              "\"^(VE|VA)2.*\",1,NA,\n"
                                              "\"^VE[0-9]{1,2}.*\",1,,2099-12-31 00:00:00\n",
                                              false);
  EXPECT_EQ(added, 2u);
  EXPECT_EQ(db.Text("SELECT COUNT(*) FROM PROVINCE"), "4");
  EXPECT_EQ(db.Text("SELECT PrefixList FROM PROVINCE WHERE ID = 3"), "^(VE|VA)2.*");
  EXPECT_EQ(db.Text("SELECT Continent IS NULL FROM PROVINCE WHERE ID = 4"), "1");
  EXPECT_EQ(db.Text("SELECT typeof(DXCC) FROM PROVINCE WHERE ID = 4"), "integer");

  LoadDictionaryCsv(db.get(), DictionaryTable::Country, "ID,PrefixList\n7,^W.*\n", true);
  EXPECT_EQ(db.Text("SELECT group_concat(ID) FROM COUNTRY"), "7");
}

TEST(DictionaryStore, RefusedCsvChangesNothing) {
  TestDatabase db;
  ReplaceDictionaries(db.get(), SampleRows());
  struct Case {
    const char* csv;
    bool replace;
  };
  const Case refused[] = {
      {"PrefixList,Nonsense\n^A.*,1\n", true},    // unknown column
      {"PrefixList,DXCC\n^A.*,1\n^B.*\n", true},  // short record, after the emptying
      {"ID,PrefixList\n1,^A.*\n", false},         // ID taken
      {"", true},                                 // no header
  };
  for (const auto& [csv, replace] : refused) {
    EXPECT_THROW(LoadDictionaryCsv(db.get(), DictionaryTable::Province, csv, replace), HostError) << csv;
    EXPECT_EQ(db.Text("SELECT group_concat(PrefixList, ' ') FROM PROVINCE"), "^KH0.* ^N.*") << csv;
  }
}

TEST(DictionaryStore, FailedReplaceKeepsOldRows) {
  TestDatabase db;
  ReplaceDictionaries(db.get(), SampleRows());
  db.Exec("CREATE TRIGGER refuse BEFORE INSERT ON COUNTRY BEGIN SELECT RAISE(ABORT, 'refused'); END");
  EXPECT_THROW(ReplaceDictionaries(db.get(), SampleRows()), HostError);
  EXPECT_EQ(db.Text("SELECT COUNT(*) FROM UNIQUECALL"), "1");
  EXPECT_EQ(db.Text("SELECT COUNT(*) FROM PROVINCE"), "2");
}

}  // namespace
}  // namespace quillet::host

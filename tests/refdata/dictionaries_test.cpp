// The dictionary loaders against the scripted host: statement texts, the
// order of the query protocol, the fields read and their conversions, and
// the cleanup on every way out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "refdata/dictionaries.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"
#include "support/fake_host.h"

namespace quillet {
namespace {

using testing::FakeDateTime;
using testing::FakeHost;
using testing::FakeResult;
using testing::FakeRow;

std::string Today() { return Utf16ToUtf8(FormatDateTime(u"yyyy-mm-dd", Now())); }

std::string Statement(const std::string& opening) {
  return opening + Today() + "#<=ENDDATE) AND (STARTDATE IS NULL OR STARTDATE<=#" + Today() +
         "#) ORDER BY ID";
}

FakeRow UniqueCallRow(std::u16string callsign) {
  return {{u"Callsign", std::move(callsign)},
          {u"ARRLPrefix", u"K"},
          {u"Prefix", u"K1"},
          {u"Continent", u"NA"},
          {u"DXCC", 291},
          {u"ITUZone", 8},
          {u"CQZone", 5},
          {u"StartDate", FakeDateTime{2001, 2, 3, 4, 5, 6}},
          {u"EndDate", std::monostate{}}};
}

FakeRow CountryRow(std::u16string prefixList) {
  return {{u"PrefixList", std::move(prefixList)},
          {u"ARRLPrefix", u"G"},
          {u"Continent", u"EU"},
          {u"DXCC", u"223"},
          {u"ITUZone", u"27"},
          {u"CQZone", u"14"},
          {u"StartDate", std::monostate{}},
          {u"EndDate", std::monostate{}}};
}

const std::vector<std::string> kUniqueCallRowReads = {
    "GetFieldString 1 Callsign",  "GetFieldString 1 ARRLPrefix",  "GetFieldString 1 Prefix",
    "GetFieldString 1 Continent", "GetFieldInteger 1 DXCC",       "GetFieldInteger 1 ITUZone",
    "GetFieldInteger 1 CQZone",   "GetFieldDateTime 1 StartDate", "GetFieldDateTime 1 EndDate"};

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(DictionaryLoaders, EmptyResultSendsTheStatementAndStillClosesAndFrees) {
  struct Case {
    void (*load)(FakeHost&);
    std::string opening;
  };
  const Case cases[] = {
      {[](FakeHost& host) {
         TUniqueCallList list(2);
         LoadUniqueCalls(host.Server(), list);
         EXPECT_TRUE(list.empty());
       },
       "SELECT * FROM UNIQUECALL WHERE (CALLSIGN IS NOT NULL AND CALLSIGN>\"\") AND (ENDDATE IS NULL OR #"},
      {[](FakeHost& host) {
         TProvinceList list(2);
         LoadProvinces(host.Server(), list);
         EXPECT_TRUE(list.empty());
       },
       "SELECT * FROM PROVINCE WHERE (PREFIXLIST IS NOT NULL AND PREFIXLIST>\"\") AND (ENDDATE IS NULL OR #"},
      {[](FakeHost& host) {
         TCountryList list(2);
         LoadCountries(host.Server(), list);
         EXPECT_TRUE(list.empty());
       },
       "SELECT * FROM COUNTRY WHERE (PREFIXLIST IS NOT NULL AND PREFIXLIST>\"\") AND (ENDDATE IS NULL OR #"},
  };
  for (const Case& c : cases) {
    FakeHost host;
    c.load(host);
    const std::vector<std::string> expected = {"CreateQuery", "SetQuerySQL 1 " + Statement(c.opening),
                                               "OpenQuery 1", "QueryFirst 1",
                                               "QueryEof 1",  "CloseQuery 1",
                                               "FreeQuery 1"};
    EXPECT_EQ(host.Calls(), expected);
    EXPECT_EQ(host.LiveQueries(), 0u);
  }
}

TEST(DictionaryLoaders, UniqueCallRowsAreReadInOrderWithIntegersAsText) {
  FakeHost host;
  host.SetQueryResult(u"UNIQUECALL", {{UniqueCallRow(u"K1ABC"), UniqueCallRow(u"W1AW")}, {}});
  TUniqueCallList list;
  LoadUniqueCalls(host.Server(), list);

  const auto calls = std::vector<std::string>(host.Calls().begin() + 4, host.Calls().end());
  EXPECT_EQ(calls, Concat({{"QueryEof 1"},
                           kUniqueCallRowReads,
                           {"QueryNext 1", "QueryEof 1"},
                           kUniqueCallRowReads,
                           {"QueryNext 1", "QueryEof 1", "CloseQuery 1", "FreeQuery 1"}}));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].Callsign, u"K1ABC");
  EXPECT_EQ(list[1].Callsign, u"W1AW");
  EXPECT_EQ(list[0].ARRLPrefix, u"K");
  EXPECT_EQ(list[0].Prefix, u"K1");
  EXPECT_EQ(list[0].Continent, u"NA");
  EXPECT_EQ(list[0].DXCC, u"291");
  EXPECT_EQ(list[0].ITUZone, u"8");
  EXPECT_EQ(list[0].CQZone, u"5");
  EXPECT_DOUBLE_EQ(list[0].StartDate, EncodeDate(2001, 2, 3) + EncodeTime(4, 5, 6, 0));
  EXPECT_DOUBLE_EQ(list[0].EndDate, EncodeDate(2099, 12, 31) + EncodeTime(23, 59, 59, 999));
}

TEST(DictionaryLoaders, ProvinceAndCountryFieldsAndDateDefaults) {
  FakeHost host;
  host.SetQueryResult(u"PROVINCE", {{{{u"PrefixList", u"^K1"},
                                      {u"ARRLPrefix", u"K"},
                                      {u"Prefix", u"K1"},
                                      {u"Continent", u"NA"},
                                      {u"DXCC", 291},
                                      {u"ITUZone", u"08"},
                                      {u"CQZone", u"05"},
                                      {u"StartDate", std::monostate{}},
                                      {u"EndDate", FakeDateTime{2030, 1, 2, 23, 59, 58}}}},
                                    {}});
  host.SetQueryResult(u"COUNTRY", {{CountryRow(u"^G")}, {}});
  TProvinceList provinces;
  TCountryList countries;
  LoadProvinces(host.Server(), provinces);
  LoadCountries(host.Server(), countries);

  ASSERT_EQ(provinces.size(), 1u);
  EXPECT_EQ(provinces[0].PrefixList, u"^K1");
  EXPECT_EQ(provinces[0].DXCC, u"291");
  EXPECT_EQ(provinces[0].ITUZone, u"08");
  EXPECT_EQ(provinces[0].CQZone, u"05");
  EXPECT_DOUBLE_EQ(provinces[0].StartDate, EncodeDate(1900, 1, 1));
  EXPECT_DOUBLE_EQ(provinces[0].EndDate, EncodeDate(2030, 1, 2) + EncodeTime(23, 59, 58, 0));
  ASSERT_EQ(countries.size(), 1u);
  EXPECT_EQ(countries[0].PrefixList, u"^G");
  EXPECT_EQ(countries[0].DXCC, u"223");
  EXPECT_EQ(countries[0].Continent, u"EU");
  EXPECT_DOUBLE_EQ(countries[0].EndDate, EncodeDate(2099, 12, 31) + EncodeTime(23, 59, 59, 999));
  EXPECT_EQ(host.CallCount("GetFieldInteger"), 1);  // the province's DXCC only
}

TEST(DictionaryLoaders, RowsBeyondTheReportedCountGrowTheList) {
  FakeHost host;
  host.SetQueryResult(u"UNIQUECALL", {{UniqueCallRow(u"A"), UniqueCallRow(u"B"), UniqueCallRow(u"C")}, 1});
  TUniqueCallList list;
  LoadUniqueCalls(host.Server(), list);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[2].Callsign, u"C");
}

TEST(DictionaryLoaders, FewerRowsThanReportedLeaveEmptyPatterns) {
  FakeHost host;
  host.SetQueryResult(u"UNIQUECALL", {{UniqueCallRow(u"A")}, 3});
  TUniqueCallList list(3);
  for (auto& entry : list) entry.Callsign = u"OLD";
  LoadUniqueCalls(host.Server(), list);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].Callsign, u"A");
  EXPECT_EQ(list[1].Callsign, u"");
  EXPECT_EQ(list[2].Callsign, u"");
}

TEST(DictionaryLoaders, FieldFailureMidResultClosesThenFreesAndKeepsWhatWasRead) {
  FakeHost host;
  host.SetQueryResult(u"UNIQUECALL", {{UniqueCallRow(u"K1ABC"), UniqueCallRow(u"W1AW")}, {}});
  const HRESULT status = static_cast<HRESULT>(0x80041234u);
  host.FailAt("GetFieldString", 6, status, u"Column is gone");  // second row's ARRLPrefix
  TUniqueCallList list;
  try {
    LoadUniqueCalls(host.Server(), list);
    FAIL() << "no exception";
  } catch (const EOleSysError& error) {
    EXPECT_EQ(error.ErrorCode, status);
  }
  const std::vector<std::string> tail(host.Calls().end() - 3, host.Calls().end());
  EXPECT_EQ(tail, (std::vector<std::string>{"GetFieldString 1 ARRLPrefix", "CloseQuery 1", "FreeQuery 1"}));
  EXPECT_EQ(host.LiveQueries(), 0u);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].DXCC, u"291");
  EXPECT_EQ(list[1].Callsign, u"W1AW");
}

TEST(DictionaryLoaders, CreateQueryFailureCallsNeitherCloseNorFree) {
  FakeHost host;
  host.FailAt("CreateQuery", 1, E_FAIL, u"No database");
  TCountryList list(1);
  EXPECT_THROW(LoadCountries(host.Server(), list), EOleSysError);
  EXPECT_EQ(host.Calls(), std::vector<std::string>{"CreateQuery"});
  EXPECT_EQ(list.size(), 1u);
}

TEST(DictionaryLoaders, FailedCloseStillFreesAndRaises) {
  FakeHost host;
  host.FailAt("CloseQuery", 1, E_FAIL);
  TProvinceList list;
  EXPECT_THROW(LoadProvinces(host.Server(), list), EOleSysError);
  const std::vector<std::string> tail(host.Calls().end() - 2, host.Calls().end());
  EXPECT_EQ(tail, (std::vector<std::string>{"CloseQuery 1", "FreeQuery 1"}));
}

TEST(DictionaryLoaders, InvalidDatePartsRaiseAConversionErrorAndStillClose) {
  FakeHost host;
  FakeRow row = UniqueCallRow(u"K1ABC");
  row[u"EndDate"] = FakeDateTime{2020, 13, 1, 0, 0, 0};
  host.SetQueryResult(u"UNIQUECALL", {{row}, {}});
  TUniqueCallList list;
  EXPECT_THROW(LoadUniqueCalls(host.Server(), list), EConvertError);
  EXPECT_EQ(host.CallNames().back(), "FreeQuery");
  EXPECT_EQ(host.CallCount("CloseQuery"), 1);
}

// The dialog's load: the three lists in that order, then resolution over
// what was loaded.
TEST(Dictionaries, LoadReadsTheThreeListsInOrderAndResolvesFromThem) {
  FakeHost host;
  host.SetQueryResult(u"UNIQUECALL", {{UniqueCallRow(u"K1ABC")}, {}});
  host.SetQueryResult(u"COUNTRY", {{CountryRow(u"G.*")}, {}});
  const Dictionaries dictionaries = Dictionaries::Load(host.Server());
  std::vector<std::string> statements;
  for (const std::string& call : host.Calls()) {
    if (call.starts_with("SetQuerySQL")) statements.push_back(call);
  }
  ASSERT_EQ(statements.size(), 3u);
  EXPECT_NE(statements[0].find("FROM UNIQUECALL"), std::string::npos);
  EXPECT_NE(statements[1].find("FROM PROVINCE"), std::string::npos);
  EXPECT_NE(statements[2].find("FROM COUNTRY"), std::string::npos);
  EXPECT_EQ(dictionaries.UniqueCallList().size(), 1u);
  EXPECT_TRUE(dictionaries.ProvinceList().empty());
  EXPECT_EQ(dictionaries.CountryList().size(), 1u);
  EXPECT_EQ(dictionaries.ResolveCallsign(u"K1ABC")->dxcc, u"291");
  EXPECT_EQ(dictionaries.ResolveCallsign(u"G4ABC")->dxcc, u"223");
  EXPECT_FALSE(dictionaries.ResolveCallsign(u"W1AW"));
  EXPECT_FALSE(Dictionaries().ResolveCallsign(u"K1ABC"));
}

TEST(FakeHost, CountsReferencesAndHandsOutItsInterfaces) {
  FakeHost host;
  IHostServer* server = nullptr;
  ASSERT_EQ(host.Core()->QueryInterface(IID_IHostServer, reinterpret_cast<void**>(&server)), S_OK);
  EXPECT_EQ(server, host.Server());
  EXPECT_EQ(host.RefCount(), 1);
  server->Release();
  EXPECT_EQ(host.RefCount(), 0);
  void* none = nullptr;
  EXPECT_EQ(host.Core()->QueryInterface(IID_IMenuManager, &none), E_NOINTERFACE);
}

TEST(FakeHost, InjectedFailureLeavesErrorInformation) {
  FakeHost host;
  host.FailAt("GetVariable", 2, E_FAIL, u"Busy", u"host");
  host.SetVariable(u"APPINI", u"/tmp/host.ini");
  BSTR value = nullptr;
  ASSERT_EQ(host.Kernel()->GetVariable(nullptr, &value), S_OK);
  EXPECT_EQ(value, nullptr);  // unknown name: empty
  EXPECT_EQ(host.Kernel()->GetVariable(nullptr, &value), E_FAIL);
  IErrorInfo* info = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  BSTR description = nullptr;
  info->GetDescription(&description);
  EXPECT_EQ(std::u16string(reinterpret_cast<char16_t*>(description)), u"Busy");
  SysFreeString(description);
  info->Release();
}

}  // namespace
}  // namespace quillet

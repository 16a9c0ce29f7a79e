#include "logmodel/log_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <type_traits>

namespace quillet {
namespace {

// Read by every run after the load; nothing may write it.
static_assert(std::is_const_v<decltype(LogTable)>);

TEST(LogTable, HoldsThe36ColumnsOfLogs) {
  ASSERT_EQ(LogTable.Fields.size(), 36u);
  EXPECT_EQ(LogTable.TableName, u"LOGS");
  EXPECT_EQ(LogTable.Fields.front().Name, u"ID");
  EXPECT_EQ(LogTable.Fields.back().Name, u"QSOTIME");
  const TDBTableField& wpx = LogTable.Fields[31];
  EXPECT_EQ(wpx.Name, u"WPX");
  EXPECT_EQ(wpx.SQLType, u"VARCHAR(10)");
  EXPECT_EQ(wpx.Size, 20);
  const TDBTableField& comment = LogTable.Fields[33];
  EXPECT_EQ(comment.ADIFName, u"COMMENT");
  EXPECT_EQ(comment.SQLType, u"VARCHAR");
  EXPECT_EQ(comment.Size, 255);
  EXPECT_EQ(LogTable.Fields[2].Caption, u"QSO date & time");
  EXPECT_EQ(LogTable.Fields[2].DisplayWidth, 110);
  EXPECT_EQ(LogTable.Fields[12].Align, u"LR");
  EXPECT_EQ(LogTable.Fields[12].Kind, ValueKind::Decimal);
}

TEST(BuildLogTable, EmptiesTheTableFirst) {
  TDBTableStruct table;
  AddTableField(table, u"X", u"BIT", u"X", u"-", u"LL", 1, 1, ValueKind::Boolean, u"");
  BuildLogTable(table);
  EXPECT_EQ(table.Fields.size(), 36u);
  EXPECT_EQ(table.Fields[1].Name, u"OMCALL*");
}

TEST(BuildLogStruct, DerivesThe34WorkingEntries) {
  const TLogStruct list = BuildLogStruct(LogTable);
  ASSERT_EQ(list.size(), 34u);
  EXPECT_EQ(list.front().Column, u"OMCALL");
  EXPECT_TRUE(list.front().IsKey);
  EXPECT_EQ(list.back().Column, u"QSOTIME");
  std::vector<std::u16string> keys;
  for (const TLogField& field : list) {
    EXPECT_EQ(field.ADIFName.find(u'-'), std::u16string::npos);
    EXPECT_TRUE(field.Value.empty());
    if (field.IsKey) keys.push_back(field.Column);
  }
  EXPECT_EQ(keys, (std::vector<std::u16string>{u"OMCALL", u"QSODATE", u"QSOBAND", u"QSOMODE", u"CALLSIGN"}));
  const TLogField& date = list[1];
  EXPECT_EQ(date.Column, u"QSODATE");
  EXPECT_EQ(date.Kind, ValueKind::DateTime);
  EXPECT_EQ(date.Size, 8);
  EXPECT_EQ(date.LinkedADIFName, u"TIME_ON");
  EXPECT_EQ(list[28].Column, u"CALLSIGN");
  EXPECT_EQ(list[29].Column, u"-");
  EXPECT_EQ(list[29].ADIFName, u"STATION_CALLSIGN");
  EXPECT_FALSE(list[29].IsKey);
}

TEST(BuildLogStruct, SkipsAnyDashAndRemovesEveryStar) {
  TDBTableStruct table;
  AddTableField(table, u"A", u"VARCHAR(5)", u"MY-FIELD", u"-", u"LL", 5, 5, ValueKind::Text, u"");
  AddTableField(table, u"*B*C*", u"VARCHAR(5)", u"B", u"-", u"LL", 5, 5, ValueKind::Text, u"");
  AddTableField(table, u"D", u"VARCHAR(5)", u"D", u"-", u"LL", 5, 5, ValueKind::Text, u"L");
  const TLogStruct list = BuildLogStruct(table);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].Column, u"BC");
  EXPECT_TRUE(list[0].IsKey);
  EXPECT_EQ(list[1].Column, u"D");
  EXPECT_FALSE(list[1].IsKey);
  EXPECT_EQ(list[1].LinkedADIFName, u"L");
}

}  // namespace
}  // namespace quillet

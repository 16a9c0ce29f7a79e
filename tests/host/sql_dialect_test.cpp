#include "host/store/sql_dialect.h"

#include <gtest/gtest.h>

namespace quillet::host {
namespace {

struct TranslationCase {
  const char* dialect;
  const char* sqlite;
};

constexpr TranslationCase kTranslations[] = {
    // Dates between "#" signs, with and without time and seconds.
    {"QSODATE=#2023-01-05 14:07#", "QSODATE='2023-01-05 14:07:00'"},
    {"QSODATE=#2023-01-05 14:07:09#", "QSODATE='2023-01-05 14:07:09'"},
    {"QSLSENTDATE=#2024-02-29#", "QSLSENTDATE='2024-02-29 00:00:00'"},
    {"(ENDDATE IS NULL OR #2026-12-09#<=ENDDATE) AND (STARTDATE<=#2026-12-09#)",
     "(ENDDATE IS NULL OR '2026-12-09 00:00:00'<=ENDDATE) AND (STARTDATE<='2026-12-09 00:00:00')"},
    // Not a date: the "#" passes and SQLite refuses it.
    {"X=#2023-02-30#", "X=#2023-02-30#"},
    {"X=#12:00#", "X=#12:00#"},
    {"X=# 1", "X=# 1"},
    // Double-quoted literals are text.
    {"PREFIXLIST>\"\"", "PREFIXLIST>''"},
    {"OMNAME=\"O'NEIL\"", "OMNAME='O''NEIL'"},
    {"OMNAME=\"say \"\"hi\"\"\"", "OMNAME='say \"hi\"'"},
    // Single-quoted literals pass with their escapes, "#" and '"' inside untouched.
    {"OMNAME='O''NEIL'", "OMNAME='O''NEIL'"},
    {"QSLINFO='#2023-01-05# \"x\"'", "QSLINFO='#2023-01-05# \"x\"'"},
    {"QSLINFO='it''s #1'", "QSLINFO='it''s #1'"},
    // Flags and missing values pass.
    {"EQSLSENT=TRUE,LOTWSENT=FALSE,OMQTH=NULL", "EQSLSENT=TRUE,LOTWSENT=FALSE,OMQTH=NULL"},
    {"(QSOBAND IS NULL)", "(QSOBAND IS NULL)"},
    // Multi-byte text is copied byte for byte.
    {"OMNAME='ORDOÑEZ'", "OMNAME='ORDOÑEZ'"},
};

TEST(SqlDialect, TranslatesOutsideStringLiterals) {
  for (const TranslationCase& row : kTranslations) {
    EXPECT_EQ(TranslateSql(row.dialect), row.sqlite) << row.dialect;
  }
}

TEST(SqlDialect, LeavesAnUnclosedLiteralForSqliteToRefuse) {
  EXPECT_EQ(TranslateSql("X='abc"), "X='abc");
  EXPECT_EQ(TranslateSql("X=\"abc"), "X='abc'");
}

TEST(SqlDialect, DateLiteralChecksTheCalendarAndTheClock) {
  EXPECT_EQ(DateLiteral("2000-02-29"), "'2000-02-29 00:00:00'");
  EXPECT_EQ(DateLiteral("1900-02-29"), "");
  EXPECT_EQ(DateLiteral("2023-13-01"), "");
  EXPECT_EQ(DateLiteral("2023-01-01 24:00"), "");
  EXPECT_EQ(DateLiteral("2023-01-01 23:60"), "");
  EXPECT_EQ(DateLiteral("2023-01-01T10:00"), "");
  EXPECT_EQ(DateLiteral("2023-1-1"), "");
}

SqlValue Text(const char* text) {
  SqlValue value;
  value.kind = SqlValue::Kind::Text;
  value.text = text;
  return value;
}
SqlValue Integer(std::int64_t number) {
  SqlValue value;
  value.kind = SqlValue::Kind::Integer;
  value.integer = number;
  return value;
}
SqlValue Real(double number) {
  SqlValue value;
  value.kind = SqlValue::Kind::Real;
  value.real = number;
  return value;
}

TEST(SqlDialect, TakesValuesOutOfDataStatements) {
  const auto insert = ParameterizeSql(
      "INSERT INTO LOGS (LOGNAME,OMCALL,QSODATE,QSOFREQ,EQSLSENT,OMQTH,QSLINFO)\r\n\tVALUES('MAIN',"
      "'K1ABC',#2023-01-05 14:07#,14.07400,TRUE,NULL,\"it's #1\")");
  ASSERT_TRUE(insert);
  EXPECT_EQ(
      insert->shape,
      "INSERT INTO LOGS (LOGNAME,OMCALL,QSODATE,QSOFREQ,EQSLSENT,OMQTH,QSLINFO)\r\n\tVALUES(?,?,?,?,?,?,?)");
  EXPECT_EQ(insert->values, (std::vector<SqlValue>{Text("MAIN"), Text("K1ABC"), Text("2023-01-05 14:07:00"),
                                                   Real(14.074), Integer(1), SqlValue(), Text("it's #1")}));

  const auto count = ParameterizeSql(
      "SELECT COUNT(*) FROM LOGS WHERE LOGNAME='O''NEIL' AND \r\n\t(QSOBAND IS NULL) AND\r\n\t(DXCC=291)");
  ASSERT_TRUE(count);
  EXPECT_EQ(count->shape,
            "SELECT COUNT(*) FROM LOGS WHERE LOGNAME=? AND \r\n\t(QSOBAND IS NULL) AND\r\n\t(DXCC=?)");
  EXPECT_EQ(count->values, (std::vector<SqlValue>{Text("O'NEIL"), Integer(291)}));

  // Names with digits, blobs and a number too long for 64 bits.
  const auto update = ParameterizeSql("UPDATE T2 SET A1=X'00ff', B=99999999999999999999 WHERE C=FALSE;");
  ASSERT_TRUE(update);
  EXPECT_EQ(update->shape, "UPDATE T2 SET A1=X'00ff', B=? WHERE C=?;");
  EXPECT_EQ(update->values, (std::vector<SqlValue>{Real(1e20), Integer(0)}));
}

TEST(SqlDialect, KeepsStatementsWhoseLiteralsAreNotAllValues) {
  EXPECT_FALSE(ParameterizeSql("SELECT * FROM COUNTRY ORDER BY 1"));
  EXPECT_FALSE(ParameterizeSql("SELECT * FROM LOGS LIMIT 5"));
  EXPECT_FALSE(ParameterizeSql("CREATE TABLE X (A DEFAULT 'a')"));
  EXPECT_FALSE(ParameterizeSql("PRAGMA user_version=3"));
}

}  // namespace
}  // namespace quillet::host

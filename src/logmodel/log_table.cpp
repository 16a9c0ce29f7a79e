#include "logmodel/log_table.h"

namespace quillet {

const TDBTableStruct LogTable = [] {
  TDBTableStruct table;
  BuildLogTable(table);
  return table;
}();

void AddTableField(TDBTableStruct& table, std::u16string_view name, std::u16string_view sqlType,
                   std::u16string_view adifName, std::u16string_view caption, std::u16string_view align,
                   std::int32_t displayWidth, std::int32_t size, ValueKind kind,
                   std::u16string_view linkedAdifName) {
  table.Fields.push_back(TDBTableField{
      std::u16string(name), std::u16string(sqlType), std::u16string(adifName), std::u16string(caption),
      std::u16string(align), displayWidth, size, kind, std::u16string(linkedAdifName)});
}

// Row order carries meaning: the record step reads, lists and compares the
// columns in this order, and takes the operator from OPERATOR before
// STATION_CALLSIGN.
// clang-format off: one row per line, as the table reads
void BuildLogTable(TDBTableStruct& t) {
  using enum ValueKind;
  t.TableName = u"LOGS";
  t.Fields.clear();
  AddTableField(t, u"ID", u"COUNTER NOT NULL", u"-", u"-", u"LL", 20, 10, Counter, u"");
  AddTableField(t, u"OMCALL*", u"VARCHAR(15)", u"CALL", u"Call", u"CL", 75, 15, Text, u"");
  AddTableField(t, u"QSODATE*", u"DATETIME", u"QSO_DATE", u"QSO date & time", u"CC", 110, 8, DateTime,
                u"TIME_ON");
  AddTableField(t, u"QSOBAND*", u"VARCHAR(10)", u"BAND", u"Band", u"CC", 40, 10, Text, u"");
  AddTableField(t, u"QSOMODE*", u"VARCHAR(12)", u"MODE", u"Mode", u"CC", 50, 12, Text, u"");
  AddTableField(t, u"QSORSTRCVD", u"VARCHAR(15)", u"RST_RCVD", u"Rcvd RST", u"LC", 30, 15, Text, u"");
  AddTableField(t, u"QSORSTSEND", u"VARCHAR(15)", u"RST_SENT", u"Sent RST", u"LC", 30, 15, Text, u"");
  AddTableField(t, u"OMNAME", u"VARCHAR(20)", u"NAME", u"Name", u"CL", 90, 20, Text, u"");
  AddTableField(t, u"OMQTH", u"VARCHAR(25)", u"QTH", u"QTH", u"CL", 50, 25, Text, u"");
  AddTableField(t, u"CONTINENT", u"VARCHAR(2)", u"CONT", u"Continent", u"LC", 29, 2, Text, u"");
  AddTableField(t, u"DXCCPFX", u"VARCHAR(5)", u"DXCC_PREF", u"DXCC", u"LC", 35, 5, Text, u"");
  AddTableField(t, u"MAINPFX", u"VARCHAR(5)", u"PFX", u"Prefix", u"LC", 40, 5, Text, u"");
  AddTableField(t, u"QSOFREQ", u"DECIMAL(12,5)", u"FREQ", u"Frequency", u"LR", 75, 12, Decimal, u"");
  AddTableField(t, u"ITUZONE", u"VARCHAR(2)", u"ITUZ", u"ITU zone", u"LC", 23, 2, Text, u"");
  AddTableField(t, u"CQZONE", u"VARCHAR(2)", u"CQZ", u"CQ zone", u"LC", 23, 2, Text, u"");
  AddTableField(t, u"GRIDSQUARE", u"VARCHAR(8)", u"GRIDSQUARE", u"Loc", u"CC", 60, 8, Text, u"");
  AddTableField(t, u"QSLMANAGER", u"VARCHAR(9)", u"QSL_VIA", u"QSL via", u"LL", 60, 9, Text, u"");
  AddTableField(t, u"IOTA", u"VARCHAR(6)", u"IOTA", u"IOTA", u"CC", 45, 6, Text, u"");
  AddTableField(t, u"STATE", u"VARCHAR(25)", u"STATE", u"State", u"CL", 45, 25, Text, u"");
  AddTableField(t, u"EQSLSENT", u"BIT NOT NULL", u"EQSL_QSL_SENT", u"eQSL/S", u"CC", 45, 1, Boolean, u"");
  AddTableField(t, u"EQSLRCVD", u"BIT NOT NULL", u"EQSL_QSL_RCVD", u"eQSL/R", u"CC", 45, 1, Boolean, u"");
  AddTableField(t, u"LOTWSENT", u"BIT NOT NULL", u"LOTW_QSL_SENT", u"LotW/S", u"CC", 45, 1, Boolean, u"");
  AddTableField(t, u"LOTWRCVD", u"BIT NOT NULL", u"LOTW_QSL_RCVD", u"LotW/R", u"CC", 45, 1, Boolean, u"");
  AddTableField(t, u"QSLSENT", u"BIT NOT NULL", u"QSL_SENT", u"QSL/S", u"CC", 45, 1, Boolean, u"");
  AddTableField(t, u"QSLRECV", u"BIT NOT NULL", u"QSL_RCVD", u"QSL/R", u"CC", 45, 1, Boolean, u"");
  AddTableField(t, u"QSLSTAT", u"VARCHAR(1)", u"QSL_STATUS", u"-", u"CC", 45, 1, Flag, u"");
  AddTableField(t, u"LOTWRCVDDATE", u"DATETIME", u"LOTW_QSLRDATE", u"LotW/R date", u"LC", 75, 8, Date, u"");
  AddTableField(t, u"QSLSENTDATE", u"DATETIME", u"QSLSDATE", u"QSL/S date", u"LC", 75, 8, Date, u"");
  AddTableField(t, u"QSLRECVDATE", u"DATETIME", u"QSLRDATE", u"QSL/R date", u"LC", 75, 8, Date, u"");
  AddTableField(t, u"CALLSIGN*", u"VARCHAR(20)", u"OPERATOR", u"Operator", u"LL", 70, 20, Text, u"");
  AddTableField(t, u"-", u"VARCHAR(20)", u"STATION_CALLSIGN", u"-", u"LL", 70, 20, Text, u"");
  // WPX takes up to 20 characters although its column is narrower.
  AddTableField(t, u"WPX", u"VARCHAR(10)", u"WPX", u"WPX prefix", u"LC", 50, 20, Text, u"");
  AddTableField(t, u"DXCC", u"VARCHAR(5)", u"DXCC", u"DXCC code", u"LR", 35, 5, Text, u"");
  AddTableField(t, u"QSLINFO", u"VARCHAR", u"COMMENT", u"Comment", u"CL", 255, 255, Text, u"");
  AddTableField(t, u"LOGNAME", u"VARCHAR(20)", u"-", u"-", u"LL", 20, 20, Text, u"");
  AddTableField(t, u"QSOTIME", u"VARCHAR(8)", u"TIME_ON", u"-", u"CC", 20, 8, Time, u"");
}
// clang-format on

TLogStruct BuildLogStruct(const TDBTableStruct& table) {
  TLogStruct list;
  for (const TDBTableField& field : table.Fields) {
    if (field.ADIFName.find(u'-') != std::u16string::npos) continue;
    std::u16string column = field.Name;
    std::erase(column, u'*');
    list.push_back(TLogField{std::move(column),
                             field.ADIFName,
                             field.Size,
                             {},
                             field.Kind,
                             field.LinkedADIFName,
                             field.Name.find(u'*') != std::u16string::npos});
  }
  return list;
}

}  // namespace quillet

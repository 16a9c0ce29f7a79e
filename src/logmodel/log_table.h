// The description of the host's log table LOGS, with the ADIF field that
// feeds each column, and the working list one import run derives from it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// Value classes (TDBTableField::Kind); each decides how a value is
// rendered in SQL. The numbers are those of the host's table description.
enum class ValueKind : std::uint8_t {
  Counter = 0,   // maintained by the database; a number, unquoted
  Boolean = 1,   // "Y" is true
  Flag = 2,      // "Y" or "N"
  Integer = 3,   // a number, unquoted
  Decimal = 4,   // a number, unquoted
  Date = 5,      // YYYYMMDD
  Time = 6,      // HHMM or HHMMSS
  DateTime = 7,  // date, with the time from LinkedADIFName
  Text = 8,      // quoted text
};

struct TDBTableField {
  std::u16string Name;  // a "*" marks a key column; "-" has no column
  std::u16string SQLType;
  std::u16string ADIFName;  // "-": never filled from ADIF
  std::u16string Caption;
  std::u16string Align;
  std::int32_t DisplayWidth = 0;
  std::int32_t Size = 0;                // characters taken from the ADIF value
  ValueKind Kind = ValueKind::Counter;  // decides the SQL rendering
  std::u16string LinkedADIFName;
};

struct TDBTableStruct {
  std::u16string TableName;
  std::vector<TDBTableField> Fields;
};

void AddTableField(TDBTableStruct& table, std::u16string_view name, std::u16string_view sqlType,
                   std::u16string_view adifName, std::u16string_view caption, std::u16string_view align,
                   std::int32_t displayWidth, std::int32_t size, ValueKind kind,
                   std::u16string_view linkedAdifName);
void BuildLogTable(TDBTableStruct& table);

// Built by BuildLogTable when the module is loaded, released when it is
// unloaded; const, so no run can change the table another run reads.
extern const TDBTableStruct LogTable;

struct TLogField {
  std::u16string Column;  // Name without "*"; "-" for the entry without a column
  std::u16string ADIFName;
  std::int32_t Size = 0;
  std::u16string Value;
  ValueKind Kind = ValueKind::Counter;
  std::u16string LinkedADIFName;
  bool IsKey = false;
};

using TLogStruct = std::vector<TLogField>;

TLogStruct BuildLogStruct(const TDBTableStruct& table);

}  // namespace quillet

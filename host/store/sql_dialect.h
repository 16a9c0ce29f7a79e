// The host's SQL dialect, as the module writes it, translated for SQLite.
//
// Outside string literals:
//  * a date between "#" signs, #YYYY-MM-DD#, #YYYY-MM-DD HH:MM# or
//    #YYYY-MM-DD HH:MM:SS#, becomes the text 'YYYY-MM-DD HH:MM:SS', the form
//    in which the host stores every date-time, so that comparisons hold;
//  * a double-quoted literal is text: it becomes a single-quoted literal
//    ("" inside stands for one double quote, an apostrophe is doubled);
//  * single-quoted literals pass unchanged, with their '' escapes;
//  * TRUE, FALSE and NULL pass: SQLite knows them.
// A "#" that does not open a date passes unchanged, and SQLite refuses it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::host {

std::string TranslateSql(std::string_view sql);

// 'YYYY-MM-DD HH:MM:SS' for the date text between "#" signs; empty when the
// text is not one of the date forms above (or not a valid calendar date).
std::string DateLiteral(std::string_view text);

// A value taken out of a statement's text.
struct SqlValue {
  enum class Kind { Text, Integer, Real, Null };
  Kind kind = Kind::Null;
  std::string text;
  std::int64_t integer = 0;
  double real = 0;
  bool operator==(const SqlValue&) const = default;
};

// A statement as a shape with "?" in place of its values, and the values.
// Statements of one shape differ only in their values, so one prepared
// statement serves them all.
struct ParameterizedSql {
  std::string shape;
  std::vector<SqlValue> values;
};

// The translation of an INSERT, UPDATE, DELETE or SELECT statement (or of
// a condition) with every text, date and number literal, and TRUE, FALSE
// and NULL in value positions (after "=", "," or "("), as values. Binding
// them gives exactly what the translated text gives. Nullopt for any
// other statement, and for one whose literals may mean something other
// than values (ORDER BY 1, GROUP BY, LIMIT, COLLATE).
std::optional<ParameterizedSql> ParameterizeSql(std::string_view sql);

}  // namespace quillet::host

#include "host/store/sql_dialect.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "host/base/text.h"

namespace quillet::host {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsWordPart(char c) { return IsWordStart(c) || IsDigit(c) || c == '$'; }

// The digits of text[at, at + count), or -1 when one is no digit.
int Number(std::string_view text, std::size_t at, std::size_t count) {
  if (at + count > text.size()) return -1;
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (!IsDigit(text[i])) return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

bool ValidDate(int year, int month, int day) {
  static constexpr std::array<int, 12> kDays = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month != 2 || day <= 28 || leap;
}

// Appends a text value as a single-quoted literal.
void AppendQuoted(std::string& out, std::string_view value) {
  out += '\'';
  for (std::size_t quote; (quote = value.find('\'')) != std::string_view::npos;) {
    out.append(value.substr(0, quote + 1)).append(1, '\'');
    value.remove_prefix(quote + 1);
  }
  out.append(value).append(1, '\'');
}

constexpr std::array<bool, 256> Starts(std::string_view characters) {
  std::array<bool, 256> table{};
  for (char c : characters) table[static_cast<unsigned char>(c)] = true;
  return table;
}

// The characters that may start something to translate. Letters and digits
// matter only when values are taken.
constexpr std::array<bool, 256> kLiteralStarts = Starts("'\"#");
constexpr std::array<bool, 256> kValueStarts =
    Starts("'\"#0123456789.ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$");

// The statement, walked once: literals go to the output as SQLite
// literals, or, when values are taken, as "?" with the value kept.
class Translator {
 public:
  Translator(std::string_view sql, bool takeValues) : sql_(sql), takeValues_(takeValues) {
    out_.reserve(sql.size() + 16);
  }

  // False when the statement has a word after which literals are not values.
  bool Run() {
    const std::array<bool, 256>& special = takeValues_ ? kValueStarts : kLiteralStarts;
    while (i_ < sql_.size()) {
      std::size_t next = i_;
      while (next < sql_.size() && !special[static_cast<unsigned char>(sql_[next])]) ++next;
      out_.append(sql_.substr(i_, next - i_));
      i_ = next;
      if (i_ < sql_.size() && !Special()) return false;
    }
    return true;
  }

  std::string& Out() { return out_; }
  std::vector<SqlValue>& Values() { return values_; }

 private:
  bool Special() {
    const char c = sql_[i_];
    if (c == '\'') return SingleQuoted(), true;
    if (c == '"') return DoubleQuoted(), true;
    if (c == '#') return Date(), true;
    if (IsDigit(c) || c == '.') return NumberToken(), true;
    return Word();
  }

  void Emit(SqlValue value, std::string_view literal) {
    if (takeValues_) {
      out_ += '?';
      values_.push_back(std::move(value));
    } else {
      out_.append(literal);
    }
  }

  void EmitText(std::string value) {
    if (!takeValues_) AppendQuoted(out_, value);
    Emit({SqlValue::Kind::Text, std::move(value)}, {});
  }

  void SingleQuoted() {
    const std::size_t start = i_++;
    std::string value;
    while (i_ < sql_.size()) {
      const std::size_t quote = std::min(sql_.find('\'', i_), sql_.size());
      if (takeValues_) value.append(sql_.substr(i_, quote - i_));
      i_ = quote;
      if (i_ == sql_.size()) break;
      if (i_ + 1 < sql_.size() && sql_[i_ + 1] == '\'') {
        value += '\'';
        i_ += 2;
      } else {
        ++i_;
        // Unchanged, escapes included.
        if (!takeValues_) return out_.append(sql_.substr(start, i_ - start)), void();
        return Emit({SqlValue::Kind::Text, std::move(value)}, {});
      }
    }
    // Unclosed: left for SQLite to refuse.
    out_.append(sql_.substr(start));
  }

  // The dialect quotes text in double quotes, SQLite names: the text goes to
  // SQLite single-quoted, or as a value.
  void DoubleQuoted() {
    ++i_;
    std::string value;
    while (i_ < sql_.size()) {
      // The text up to the next quote in one piece.
      const std::size_t quote = std::min(sql_.find('"', i_), sql_.size());
      value.append(sql_.substr(i_, quote - i_));
      i_ = quote;
      if (i_ == sql_.size()) break;
      ++i_;
      if (i_ < sql_.size() && sql_[i_] == '"') {
        value += '"';
        ++i_;
      } else {
        break;
      }
    }
    EmitText(std::move(value));
  }

  // A "#" that opens no date the dialect knows is left as written: the
  // translation changes only what it understands.
  void Date() {
    const std::size_t close = sql_.find('#', i_ + 1);
    const std::string literal =
        close == std::string_view::npos ? std::string() : DateLiteral(sql_.substr(i_ + 1, close - i_ - 1));
    if (literal.empty()) {
      out_ += sql_[i_++];
      return;
    }
    i_ = close + 1;
    if (!takeValues_) return out_.append(literal), void();
    Emit({SqlValue::Kind::Text, literal.substr(1, literal.size() - 2)}, {});
  }

  bool AfterWord() const { return !out_.empty() && IsWordPart(out_.back()); }

  // Digits with at most one ".", and an exponent; as SQLite reads them.
  void NumberToken() {
    std::size_t end = i_;
    while (end < sql_.size() && IsDigit(sql_[end])) ++end;
    if (end < sql_.size() && sql_[end] == '.') ++end;
    while (end < sql_.size() && IsDigit(sql_[end])) ++end;
    if (end < sql_.size() && (sql_[end] == 'e' || sql_[end] == 'E')) {
      std::size_t exponent = end + 1;
      if (exponent < sql_.size() && (sql_[exponent] == '+' || sql_[exponent] == '-')) ++exponent;
      if (exponent < sql_.size() && IsDigit(sql_[exponent])) {
        end = exponent;
        while (end < sql_.size() && IsDigit(sql_[end])) ++end;
      }
    }
    const std::string_view token = sql_.substr(i_, end - i_);
    // Digits that end or continue a word ("T1", "1ST") belong to the word.
    const bool number = token != "." && !AfterWord() && (end == sql_.size() || !IsWordPart(sql_[end]));
    i_ = end;
    if (!number) return out_.append(token), void();
    Emit(NumberValue(token), token);
  }

  // An integer where it fits 64 bits, as SQLite reads one; a real otherwise.
  static SqlValue NumberValue(std::string_view token) {
    SqlValue value;
    if (token.find_first_of(".eE") == std::string_view::npos) {
      const auto parsed = std::from_chars(token.data(), token.data() + token.size(), value.integer);
      if (parsed.ec == std::errc()) {
        value.kind = SqlValue::Kind::Integer;
        return value;
      }
    }
    std::from_chars(token.data(), token.data() + token.size(), value.real);
    value.kind = SqlValue::Kind::Real;
    return value;
  }

  // A word; TRUE, FALSE and NULL in value positions become values.
  bool Word() {
    std::size_t end = i_;
    while (end < sql_.size() && IsWordPart(sql_[end])) ++end;
    const std::string_view word = sql_.substr(i_, end - i_);
    i_ = end;
    // A blob literal X'..' stays as it is.
    if (EqualsNoCase(word, "X") && i_ < sql_.size() && sql_[i_] == '\'') {
      const std::size_t close = sql_.find('\'', i_ + 1);
      const std::size_t after = close == std::string_view::npos ? sql_.size() : close + 1;
      out_.append(sql_.substr(i_ - 1, after - i_ + 1));
      i_ = after;
      return true;
    }
    for (std::string_view stop : {"ORDER", "GROUP", "LIMIT", "COLLATE"}) {
      if (EqualsNoCase(word, stop)) return false;
    }
    const std::size_t last = out_.find_last_not_of(" \t\r\n");
    const bool valuePosition =
        last != std::string::npos && std::string_view("=,(").find(out_[last]) != std::string_view::npos;
    if (valuePosition && (EqualsNoCase(word, "TRUE") || EqualsNoCase(word, "FALSE"))) {
      SqlValue flag;
      flag.kind = SqlValue::Kind::Integer;
      flag.integer = EqualsNoCase(word, "TRUE") ? 1 : 0;
      Emit(flag, word);
    } else if (valuePosition && EqualsNoCase(word, "NULL")) {
      Emit(SqlValue(), word);
    } else {
      out_.append(word);
    }
    return true;
  }

  std::string_view sql_;
  bool takeValues_;
  std::size_t i_ = 0;
  std::string out_;
  std::vector<SqlValue> values_;
};

bool StartsWithWord(std::string_view sql, std::string_view word) {
  sql = TrimText(sql);
  return sql.size() >= word.size() && EqualsNoCase(sql.substr(0, word.size()), word) &&
         (sql.size() == word.size() || !IsWordPart(sql[word.size()]));
}

}  // namespace

std::string DateLiteral(std::string_view text) {
  const int year = Number(text, 0, 4), month = Number(text, 5, 2), day = Number(text, 8, 2);
  if (text.size() < 10 || text[4] != '-' || text[7] != '-') return {};
  if (!ValidDate(year, month, day)) return {};
  int hour = 0, minute = 0, second = 0;
  if (text.size() != 10) {
    if ((text.size() != 16 && text.size() != 19) || text[10] != ' ' || text[13] != ':') return {};
    hour = Number(text, 11, 2);
    minute = Number(text, 14, 2);
    if (text.size() == 19) second = text[16] == ':' ? Number(text, 17, 2) : -1;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return {};
  }
  // 'YYYY-MM-DD HH:MM:SS', written in place.
  std::string literal = "'YYYY-MM-DD 00:00:00'";
  text.copy(literal.data() + 1, 10);
  const int parts[] = {hour, minute, second};
  for (std::size_t i = 0; i < 3; ++i) {
    literal[12 + 3 * i] = static_cast<char>('0' + parts[i] / 10);
    literal[13 + 3 * i] = static_cast<char>('0' + parts[i] % 10);
  }
  return literal;
}

std::string TranslateSql(std::string_view sql) {
  Translator translator(sql, false);
  translator.Run();
  return std::move(translator.Out());
}

std::optional<ParameterizedSql> ParameterizeSql(std::string_view sql) {
  bool eligible = false;
  for (std::string_view word : {"INSERT", "UPDATE", "DELETE", "SELECT"})
    eligible = eligible || StartsWithWord(sql, word);
  if (!eligible) return std::nullopt;
  Translator translator(sql, true);
  if (!translator.Run()) return std::nullopt;
  return ParameterizedSql{std::move(translator.Out()), std::move(translator.Values())};
}

}  // namespace quillet::host

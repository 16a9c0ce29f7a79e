#include "platform/portable/ini_file.h"

#include <optional>

#include "platform/files.h"
#include "platform/text_codec.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {
namespace {

// A settings file may be UTF-8 only when it says so with its mark; without
// one it is in the ANSI code page, as the system's own ini functions read
// it.
constexpr char kUtf8MarkBytes[] = "\xEF\xBB\xBF";

// Section and key names match without regard to case, as in the system's
// ini files; only ASCII letters fold.
bool SameName(std::u16string_view a, std::u16string_view b) { return UpperAscii(a) == UpperAscii(b); }

// CR LF, a lone CR and a lone LF each end a line: the file may have been
// edited on any system. Lines keep their text as it was, so that a write
// changes only the line it writes.
std::vector<std::u16string> SplitLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

// The name of a "[name]" line; nullopt for any other line.
std::optional<std::u16string> SectionName(std::u16string_view line) {
  const std::u16string trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() != u'[') return std::nullopt;
  const std::size_t close = trimmed.find(u']');
  // A header without its "]" still opens a section, to its end of line.
  const std::size_t end = close == std::u16string::npos ? trimmed.size() : close;
  return Trim(std::u16string_view(trimmed).substr(1, end - 1));
}

// The key of a "key=value" line; nullopt for any other line.
std::optional<std::u16string> KeyName(std::u16string_view line) {
  const std::size_t equals = line.find(u'=');
  // A line with no "=" (a comment, a stray word) is kept but is no key.
  if (equals == std::u16string_view::npos || SectionName(line)) return std::nullopt;
  return Trim(line.substr(0, equals));
}

std::u16string ValueOf(std::u16string_view line) {
  std::u16string value = Trim(line.substr(line.find(u'=') + 1));
  // Quotes around a whole value are not part of it: they let a value keep
  // blanks at its ends.
  const bool quoted =
      value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front();
  return quoted ? value.substr(1, value.size() - 2) : value;
}

std::optional<std::int32_t> ParseInteger(std::u16string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) {
    negative = text.front() == u'-';
    text.remove_prefix(1);
  }
  // "$" and "0x" both mark hexadecimal, as the runtime's integer reader
  // takes them.
  int base = 10;
  if (text.starts_with(u"$")) {
    base = 16;
    text.remove_prefix(1);
  } else if (text.starts_with(u"0x") || text.starts_with(u"0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (const char16_t c : text) {
    int digit = 0;
    if (c >= u'0' && c <= u'9')
      digit = c - u'0';
    else if (base == 16 && UpperAscii(c) >= u'A' && UpperAscii(c) <= u'F')
      digit = UpperAscii(c) - u'A' + 10;
    else
      return std::nullopt;
    value = value * base + digit;
    // Checked at every digit, so a long run of digits cannot overflow; the
    // magnitude 2^31 is let through for the one negative value that has it.
    if (value > 0x80000000LL) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > 0x7FFFFFFFLL) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

// Setting the name, even the same one, reads the file again at the next
// access: the host may have replaced it between runs.
void IniFile::SetFileName(std::u16string_view fileName) {
  fileName_ = fileName;
  loaded_ = false;
  lines_.clear();
}

std::u16string IniFile::ReadString(std::u16string_view section, std::u16string_view key,
                                   std::u16string_view defaultValue) {
  Load();
  const std::size_t header = FindSection(section);
  const std::size_t line = header == std::u16string::npos ? header : FindKey(header, key);
  if (line == std::u16string::npos) return std::u16string(defaultValue);
  return ValueOf(lines_[line]);
}

std::int32_t IniFile::ReadInteger(std::u16string_view section, std::u16string_view key,
                                  std::int32_t defaultValue) {
  return ParseInteger(ReadString(section, key, u"")).value_or(defaultValue);
}

void IniFile::WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
  Load();
  const std::u16string entry = std::u16string(key) + u"=" + std::u16string(value);
  std::size_t header = FindSection(section);
  if (header == std::u16string::npos) {
    lines_.push_back(u"[" + std::u16string(section) + u"]");
    header = lines_.size() - 1;
  }
  const std::size_t line = FindKey(header, key);
  if (line != std::u16string::npos) {
    lines_[line] = entry;
  } else {
    std::size_t insertAt = SectionEnd(header);
    // A new key goes after the section's last entry, before the blank lines
    // that separate it from the next section.
    while (insertAt > header + 1 && Trim(lines_[insertAt - 1]).empty()) --insertAt;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
  }
  // Written at once, as the system's ini functions write: nothing waits in
  // memory for a module that may be unloaded without notice.
  Save();
}

void IniFile::WriteInteger(std::u16string_view section, std::u16string_view key, std::int32_t value) {
  WriteString(section, key, IntToText(value));
}

void IniFile::Load() {
  if (loaded_) return;
  loaded_ = true;
  // A missing or unreadable file is an empty one: every read gives its
  // default, and the first write creates the file.
  lines_.clear();
  std::string bytes;
  if (!ReadWholeFile(fileName_, bytes)) return;
  byteOrderMark_ = std::string_view(bytes).starts_with(kUtf8MarkBytes);
  const std::u16string text =
      byteOrderMark_ ? Utf8ToUtf16(std::string_view(bytes).substr(3)) : AnsiToUtf16(bytes);
  lines_ = SplitLines(text);
}

// A file that began with a UTF-8 mark stays UTF-8, as whoever wrote it
// chose; any other file is written in the ANSI code page.
void IniFile::Save() const {
  std::u16string text;
  for (const std::u16string& line : lines_) text += line + u"\r\n";
  const std::string bytes = byteOrderMark_ ? kUtf8MarkBytes + Utf16ToUtf8(text) : Utf16ToAnsi(text);
  if (!WriteWholeFile(fileName_, bytes)) throw EInOutError(u"Unable to write to " + fileName_);
}

std::size_t IniFile::FindSection(std::u16string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::optional<std::u16string> name = SectionName(lines_[i]);
    if (name && SameName(*name, section)) return i;
  }
  return std::u16string::npos;
}

std::size_t IniFile::FindKey(std::size_t header, std::u16string_view key) const {
  const std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    const std::optional<std::u16string> name = KeyName(lines_[i]);
    if (name && SameName(*name, key)) return i;
  }
  return std::u16string::npos;
}

std::size_t IniFile::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && !SectionName(lines_[i])) ++i;
  return i;
}

}  // namespace quillet

// An ini-format settings file shared with other programs (the host keeps
// its own settings in the same file).
//
// The store reads the whole file at its first access after SetFileName
// and keeps it; each write changes one value and writes the whole file
// back at once, in the system's ANSI code page with CR LF line ends.
// Everything else in the file (other sections, other keys, comments,
// blank lines) is written back as it was read. Section and key names
// compare without regard to the case of ASCII letters, as in Windows ini
// files; values are read with surrounding blanks and one pair of matching
// quotes removed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

class IniFile {
 public:
  IniFile() = default;
  explicit IniFile(std::u16string_view fileName) : fileName_(fileName) {}

  // Points the store at a file; the next access reads it afresh.
  void SetFileName(std::u16string_view fileName);
  const std::u16string& FileName() const { return fileName_; }

  std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                            std::u16string_view defaultValue);
  // A value that is no decimal (or "0x"/"$" hexadecimal) 32-bit integer gives defaultValue.
  std::int32_t ReadInteger(std::u16string_view section, std::u16string_view key, std::int32_t defaultValue);

  // Raise EInOutError "Unable to write to <file>" when the file cannot be written.
  void WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value);
  void WriteInteger(std::u16string_view section, std::u16string_view key, std::int32_t value);

 private:
  void Load();
  void Save() const;
  // Index of the section's header line, or npos.
  std::size_t FindSection(std::u16string_view section) const;
  // Index of the key's line within the section starting after header, or npos.
  std::size_t FindKey(std::size_t header, std::u16string_view key) const;
  std::size_t SectionEnd(std::size_t header) const;

  std::u16string fileName_;
  std::vector<std::u16string> lines_;
  bool loaded_ = false;
  bool byteOrderMark_ = false;
};

}  // namespace quillet

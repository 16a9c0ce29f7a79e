// The ADIF reader: splits ADIF text into header lines and record strings
// and reads single field values from a text by field name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// How the lengths of a text's data specifiers are read. Programs that write
// UTF-8 count some lengths in bytes and others in characters, and a file
// does not say which; a text decoded from any other encoding counts UTF-16
// units.
enum class AdifLengths {
  Utf16Units,
  // Decoded from UTF-8: a value with characters outside ASCII is also read
  // as the characters whose UTF-8 encoding takes the length in bytes, and
  // the reading that ends at a tag boundary is kept (the character reading
  // when both or neither do).
  Utf8BytesOrUnits,
};

// Lines of a text one at a time, in order.
class LineSource {
 public:
  virtual ~LineSource() = default;
  // The next line; false once there are no more.
  virtual bool NextLine(std::u16string& line) = 0;
};

// Where the records of a text end. A record is its lines joined without
// their line breaks, up to the line that completes "<EOR>" (in any case),
// which may also be split between two lines. What follows the terminator
// on that line stays in the record, unless it opens another record (holds
// a "<"): a file may hold several records on one line, and each is read
// as if a line break followed its "<EOR>".
class RecordEnds {
 public:
  // How much of line, the next line of the open record (or the first of a
  // new one), belongs to the record: npos when the record goes on after
  // the line, else the characters up to where the record ends (the whole
  // line, or up to its terminator when another record follows it there).
  std::size_t EndIn(std::u16string_view line);

 private:
  // The last characters of the open record, too few to hold "<EOR>".
  std::u16string tail_;
};

// What must be known of a text before its records are read, gathered from
// its lines one at a time: whether it has a header and how many records it
// holds.
class AdifLayout {
 public:
  void Scan(std::u16string_view line);

  bool AnyLines() const { return anyLines_; }
  // A text without "<EOH>" that opens with a data specifier is a file of
  // records only: reading it as all header would lose every record.
  bool HasHeader() const { return endOfHeader_ || !opensWithSpecifier_; }
  std::size_t RecordCount() const;

 private:
  // Records counted from some line on (or from the text after "<EOH>" on
  // its line).
  struct RecordCounter {
    RecordEnds ends;
    std::size_t complete = 0;
    bool open = false;
    void Scan(std::u16string_view line);
    std::size_t Count() const { return complete + (open ? 1 : 0); }
  };

  bool anyLines_ = false;
  bool endOfHeader_ = false;
  bool beforeFirstCharacter_ = true;  // only layout blanks so far
  bool opensWithSpecifier_ = false;
  RecordCounter afterHeader_;  // the lines after the first one holding "<EOH>"
  RecordCounter fromStart_;    // every line, for a text without a header
};

// Reads the header lines, then the record strings, of lines laid out as
// an AdifLayout found. Only the record being read is held. Text after
// "<EOH>" on its line begins the records, as if a line break followed the
// terminator: the header keeps the line up to "<EOH>".
class AdifRecordReader {
 public:
  // lines must outlive the reader.
  AdifRecordReader(LineSource& lines, bool hasHeader);

  // The header lines, read before the first record: the lines up to the
  // first one holding "<EOH>", or all of them when there is none.
  const std::vector<std::u16string>& Header();
  // The next record string; false once there are no more.
  bool NextRecord(std::u16string& record);

 private:
  // The next line, or the rest of one after a terminator.
  bool NextLine(std::u16string& line);

  LineSource& lines_;
  bool hasHeader_;
  bool headerRead_ = false;
  std::vector<std::u16string> header_;
  RecordEnds ends_;
  std::u16string rest_;  // what follows a terminator on its line, read next
  bool restPending_ = false;
};

// The value of the first data specifier for name in text, cut to maxLen
// characters (never between the two halves of a surrogate pair); empty
// when there is none. Raises EConvertError for a length that does not fit
// a 32-bit signed integer.
std::u16string GetAdifField(std::u16string_view name, std::int32_t maxLen, std::u16string_view text,
                            AdifLengths lengths = AdifLengths::Utf16Units);

// The header lines as one text, each followed by CR LF.
std::u16string HeaderText(const std::vector<std::u16string>& header);

}  // namespace quillet

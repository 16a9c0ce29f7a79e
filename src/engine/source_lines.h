// Reading an ADIF source file as lines, a piece at a time.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "adif/adif_reader.h"
#include "platform/files.h"

namespace quillet {

// How a source file's bytes were decoded: by its byte-order mark; without
// one, as UTF-8 when they are UTF-8 beyond doubt, otherwise in the system's
// ANSI code page.
enum class SourceEncoding { Ansi, Utf8, Utf8Bom, Utf16LE, Utf16BE };

// How the data specifiers of a text decoded this way count their lengths.
AdifLengths LengthsOf(SourceEncoding encoding);

// Whether bytes are well-formed UTF-8 with at least one multi-byte sequence.
bool IsMultiByteUtf8(std::string_view bytes);

// Reads the whole file once to find its encoding: a byte-order mark selects
// UTF-8, UTF-16 LE or UTF-16 BE. Without one, bytes that are valid UTF-8
// and hold at least one multi-byte sequence are read as UTF-8: most
// programs write UTF-8 without a mark, and text in a single-byte code page
// is almost never valid UTF-8 once it holds a byte above 0x7F. Anything
// else is read in the ANSI code page. False when the file cannot be opened
// or read.
bool DetectSourceEncoding(std::u16string_view fileName, SourceEncoding& encoding);

// The bytes read from a source file at a time.
inline constexpr std::size_t kSourcePieceBytes = std::size_t{1} << 20;

// The lines of a source file in a known encoding. Lines end at CR, LF or
// CR LF; text after the last line break forms one more line when it is not
// empty; a NUL character ends the text. Only the line being read and about
// one piece of the file are held.
class SourceLineReader : public LineSource {
 public:
  SourceLineReader(std::u16string_view fileName, SourceEncoding encoding,
                   std::size_t pieceBytes = kSourcePieceBytes);

  bool IsOpen() const { return file_.IsOpen(); }
  bool NextLine(std::u16string& line) override;
  // Called after every piece read; what it raises passes on from NextLine.
  // A line may take many pieces, so this is where long reading can stop.
  void SetPieceObserver(std::function<void()> observer) { pieceObserver_ = std::move(observer); }
  // Whether a read error, rather than the end of the text, ended the lines.
  bool Failed() const { return failed_; }

 private:
  bool DecodeMore();
  std::size_t DecodableBytes();
  void Append(std::u16string_view piece);
  // Hands over text_[position_, end) as line and goes on at next.
  void TakeLine(std::u16string& line, std::size_t end, std::size_t next);

  FileReader file_;
  SourceEncoding encoding_;
  std::size_t pieceBytes_;
  std::function<void()> pieceObserver_;
  std::size_t read_ = 0;   // bytes read from the file
  std::string bytes_;      // read but not yet decoded
  std::size_t uncut_ = 0;  // the first bytes_ that hold no place to cut
  std::u16string text_;    // decoded; lines are taken from position_ on
  std::size_t position_ = 0;
  std::size_t lineSearched_ = 0;  // text_ from position_ to here holds no line break
  bool markSkipped_ = false;
  bool endOfFile_ = false;
  bool endOfText_ = false;
  bool failed_ = false;
  bool skipLineFeed_ = false;  // the last line ended at a CR
};

}  // namespace quillet

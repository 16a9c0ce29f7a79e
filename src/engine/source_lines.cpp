#include "engine/source_lines.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

#include "platform/text_codec.h"
#include "runtime/text.h"

namespace quillet {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEMark = "\xFF\xFE";
constexpr std::string_view kUtf16BEMark = "\xFE\xFF";

// Text beyond this many pieces is a line longer than any ordinary one.
constexpr std::size_t kLongLinePieces = 4;

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.substr(0, mark.size()) == mark;
}

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    text[i] = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  return text;
}

std::size_t MarkSize(SourceEncoding encoding) {
  switch (encoding) {
    case SourceEncoding::Utf8Bom:
      return kUtf8Mark.size();
    case SourceEncoding::Utf16LE:
    case SourceEncoding::Utf16BE:
      return kUtf16LEMark.size();
    case SourceEncoding::Ansi:
    case SourceEncoding::Utf8:
      return 0;
  }
  return 0;
}

std::u16string Decode(std::string_view bytes, SourceEncoding encoding) {
  switch (encoding) {
    case SourceEncoding::Utf8:
    case SourceEncoding::Utf8Bom:
      return Utf8ToUtf16(bytes);
    case SourceEncoding::Utf16LE:
      return DecodeUtf16(bytes, false);
    case SourceEncoding::Utf16BE:
      return DecodeUtf16(bytes, true);
    case SourceEncoding::Ansi:
      return AnsiToUtf16(bytes);
  }
  return AnsiToUtf16(bytes);
}

// Follows whether a file's bytes, seen a piece at a time, are well-formed
// UTF-8 with at least one multi-byte sequence.
class Utf8Check {
 public:
  // Checks what it can of bytes; returns how many it checked. A sequence
  // cut by the end of the piece is left for the next one unless last.
  std::size_t Check(std::string_view bytes, bool last) {
    std::size_t i = 0;
    while (valid_ && i < bytes.size()) {
      if (static_cast<unsigned char>(bytes[i]) < 0x80) {
        ++i;
        continue;
      }
      // A sequence takes at most four bytes; nearer the end it may be cut.
      if (!last && bytes.size() - i < 4) break;
      const std::size_t length = Utf8SequenceLength(bytes, i);
      valid_ = length != 0;
      multiByte_ = true;
      i += length;
    }
    return valid_ ? i : bytes.size();
  }
  bool MultiByteUtf8() const { return valid_ && multiByte_; }
  // Once a byte is not UTF-8 the rest cannot change the answer.
  bool Decided() const { return !valid_; }

 private:
  bool valid_ = true;
  bool multiByte_ = false;
};

// An ASCII byte ends any UTF-8 sequence before it, valid or not, and
// begins none.
std::size_t Utf8WholeCharacters(std::string_view bytes) {
  for (std::size_t end = bytes.size(); end > 0; --end) {
    if (static_cast<unsigned char>(bytes[end - 1]) < 0x80) return end;
  }
  return 0;
}

}  // namespace

bool IsMultiByteUtf8(std::string_view bytes) {
  Utf8Check check;
  check.Check(bytes, true);
  return check.MultiByteUtf8();
}

AdifLengths LengthsOf(SourceEncoding encoding) {
  switch (encoding) {
    case SourceEncoding::Utf8:
    case SourceEncoding::Utf8Bom:
      return AdifLengths::Utf8BytesOrUnits;
    case SourceEncoding::Ansi:
    case SourceEncoding::Utf16LE:
    case SourceEncoding::Utf16BE:
      return AdifLengths::Utf16Units;
  }
  return AdifLengths::Utf16Units;
}

bool DetectSourceEncoding(std::u16string_view fileName, SourceEncoding& encoding) {
  FileReader file(fileName);
  std::string bytes;
  if (!file.IsOpen() || !file.Read(bytes, kSourcePieceBytes)) return false;
  for (const auto& [mark, marked] :
       {std::pair{kUtf8Mark, SourceEncoding::Utf8Bom}, std::pair{kUtf16LEMark, SourceEncoding::Utf16LE},
        std::pair{kUtf16BEMark, SourceEncoding::Utf16BE}}) {
    if (StartsWith(bytes, mark)) {
      encoding = marked;
      return true;
    }
  }
  Utf8Check check;
  bool last = bytes.size() < kSourcePieceBytes;
  for (;;) {
    bytes.erase(0, check.Check(bytes, last));
    if (last || check.Decided()) break;
    const std::size_t before = bytes.size();
    if (!file.Read(bytes, kSourcePieceBytes)) return false;
    last = bytes.size() - before < kSourcePieceBytes;
  }
  encoding = check.MultiByteUtf8() ? SourceEncoding::Utf8 : SourceEncoding::Ansi;
  return true;
}

SourceLineReader::SourceLineReader(std::u16string_view fileName, SourceEncoding encoding,
                                   std::size_t pieceBytes)
    : file_(fileName), encoding_(encoding), pieceBytes_(pieceBytes == 0 ? 1 : pieceBytes) {}

// The bytes that decode the same on their own as within the whole file:
// whole code units for UTF-16; for the byte encodings, up to the last byte
// that is never part of a character of several bytes (an ASCII byte in
// UTF-8). A long line is so decoded piece by piece as it is read, rather
// than held as bytes up to its end and then decoded at once. Only bytes
// not searched before are searched.
std::size_t SourceLineReader::DecodableBytes() {
  if (encoding_ == SourceEncoding::Utf16LE || encoding_ == SourceEncoding::Utf16BE)
    return bytes_.size() & ~std::size_t{1};
  if (endOfFile_) return bytes_.size();
  const std::string_view unsearched = std::string_view(bytes_).substr(uncut_);
  const std::size_t whole =
      encoding_ == SourceEncoding::Ansi ? AnsiWholeCharacters(unsearched) : Utf8WholeCharacters(unsearched);
  if (whole == 0) {
    uncut_ = bytes_.size();
    return 0;
  }
  return uncut_ + whole;
}

// Reads pieces until some text is decoded or the file ends; false when no
// more text will come.
bool SourceLineReader::DecodeMore() {
  while (!endOfText_) {
    const std::size_t before = bytes_.size();
    if (!file_.Read(bytes_, pieceBytes_)) {
      failed_ = true;
      endOfText_ = true;
      return false;
    }
    read_ += bytes_.size() - before;
    endOfFile_ = bytes_.size() - before < pieceBytes_;
    if (pieceObserver_) pieceObserver_();
    if (!markSkipped_) {
      const std::size_t mark = MarkSize(encoding_);
      if (bytes_.size() < mark && !endOfFile_) continue;
      bytes_.erase(0, mark);
      markSkipped_ = true;
    }
    const std::size_t decodable = DecodableBytes();
    if (decodable == 0 && !endOfFile_) continue;
    std::u16string piece = Decode(std::string_view(bytes_).substr(0, decodable), encoding_);
    bytes_.erase(0, decodable);
    uncut_ = 0;  // what is left follows the last place to cut
    const std::size_t nul = piece.find(u'\0');
    if (nul != std::u16string::npos) piece.resize(nul);
    endOfText_ = endOfFile_ || nul != std::u16string::npos;
    text_.erase(0, position_);
    lineSearched_ = lineSearched_ > position_ ? lineSearched_ - position_ : 0;
    position_ = 0;
    Append(piece);
    if (!piece.empty()) return true;
  }
  return false;
}

// A line of many pieces reserves, once, room for all the text the rest of
// the file can hold, instead of doubling as it grows: each doubling would
// hold the text twice while copying it, and room never written to takes
// no memory. Where the address space cannot hold that room, the text grows
// as needed.
void SourceLineReader::Append(std::u16string_view piece) {
  const std::size_t size = text_.size() + piece.size();
  if (size > text_.capacity() && size > kLongLinePieces * pieceBytes_) {
    std::size_t rest = bytes_.size() + (file_.Size() > read_ ? file_.Size() - read_ : 0);
    if (encoding_ == SourceEncoding::Utf16LE || encoding_ == SourceEncoding::Utf16BE) rest /= 2;
    try {
      text_.reserve(size + rest);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
  }
  text_ += piece;
}

bool SourceLineReader::NextLine(std::u16string& line) {
  for (;;) {
    if (skipLineFeed_ && position_ < text_.size()) {
      if (text_[position_] == u'\n') ++position_;
      skipLineFeed_ = false;
    }
    const std::size_t end = skipLineFeed_ ? std::u16string::npos
                                          : text_.find_first_of(u"\r\n", std::max(position_, lineSearched_));
    if (end != std::u16string::npos) {
      skipLineFeed_ = text_[end] == u'\r';
      TakeLine(line, end, end + 1);
      return true;
    }
    lineSearched_ = text_.size();
    if (!DecodeMore()) break;
  }
  if (position_ >= text_.size()) return false;
  TakeLine(line, text_.size(), text_.size());
  return true;
}

// A line longer than the text after it is moved out and that text kept
// instead, so that a long line is never held twice; the text after a line
// is at most about a piece, as pieces are decoded as they are read.
void SourceLineReader::TakeLine(std::u16string& line, std::size_t end, std::size_t next) {
  if (end - position_ <= text_.size() - next) {
    line.assign(text_, position_, end - position_);
    position_ = next;
    lineSearched_ = next;
    return;
  }
  std::u16string after(text_, next);
  text_.resize(end);
  text_.erase(0, position_);
  line.swap(text_);
  text_ = std::move(after);
  position_ = 0;
  lineSearched_ = 0;
}

}  // namespace quillet

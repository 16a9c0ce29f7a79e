#include "engine/error_file.h"

#include <utility>

#include "platform/files.h"
#include "platform/text_codec.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {

namespace {

constexpr char16_t kLineBreak[] = u"\r\n";
constexpr char16_t kErrorExtension[] = u".err";
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

[[noreturn]] void RaiseWriteError(std::u16string_view path) {
  throw EInOutError(FormatText(u"Cannot write the error file %s", {path}));
}

}  // namespace

std::u16string ErrorFilePathOf(std::u16string_view sourcePath) {
  const std::u16string extension = ExtractFileExt(sourcePath);
  if (UpperAscii(extension) == UpperAscii(kErrorExtension))
    return std::u16string(sourcePath) + kErrorExtension;
  return std::u16string(sourcePath.substr(0, sourcePath.size() - extension.size())) + kErrorExtension;
}

std::u16string ErrorFileHeaderText(std::u16string_view application, std::u16string_view version,
                                   TDateTime created, const ShortFormats& formats) {
  std::u16string header = u"# Created by: ";
  header += application;
  header += u", ";
  header += FormatDateTime(u"ddddd t", created, formats);
  header += u"\r\n#\r\n<PROGRAMID:";
  header += IntToText(static_cast<std::int64_t>(application.size()));
  header += u">";
  header += application;
  header += u"\r\n<PROGRAMVERSION:";
  header += IntToText(static_cast<std::int64_t>(version.size()));
  header += u">";
  header += version;
  header += u"\r\n<EOH>";
  return header;
}

ErrorFile::ErrorFile(std::u16string header, std::u16string_view sourcePath, SourceEncoding encoding)
    : header_(std::move(header)),
      path_(ErrorFilePathOf(sourcePath)),
      name_(ExtractFileName(path_)),
      encoding_(encoding) {}

void ErrorFile::DeleteOlderFile() const {
  if (FileExists(path_)) DeleteFile(path_);
}

std::string ErrorFile::Encode(std::u16string_view text) const {
  return encoding_ == SourceEncoding::Ansi ? Utf16ToAnsi(text) : Utf16ToUtf8(text);
}

bool ErrorFile::CreateWhenMissing() {
  if (FileExists(path_)) return false;
  const bool marked = encoding_ != SourceEncoding::Ansi && encoding_ != SourceEncoding::Utf8;
  std::string bytes = marked ? std::string(kUtf8Mark) : std::string();
  bytes += Encode(header_ + kLineBreak);
  if (!WriteWholeFile(path_, bytes)) RaiseWriteError(path_);
  return true;
}

void ErrorFile::AppendErrorRecord(std::u16string_view text) {
  CreateWhenMissing();
  // The record and its line break are appended one after the other rather
  // than joined first, so that a very long record is not copied again; a
  // failure of either raises and ends the run.
  if (!AppendToFile(path_, Encode(text)) || !AppendToFile(path_, Encode(kLineBreak))) RaiseWriteError(path_);
}

}  // namespace quillet

// The error file: an ADIF file beside the source that receives, one per
// line, every record a run did not take into the log.
#pragma once

#include <string>
#include <string_view>

#include "engine/source_lines.h"
#include "runtime/date_time.h"

namespace quillet {

// The source's path with its extension replaced by ".err" (appended when
// the file name has no "."). A source whose own extension is ".err", in any
// letter case, would be its own error file; it gets ".err" appended.
std::u16string ErrorFilePathOf(std::u16string_view sourcePath);

// The five header lines joined by CR LF, without a line break after the last.
std::u16string ErrorFileHeaderText(std::u16string_view application, std::u16string_view version,
                                   TDateTime created, const ShortFormats& formats);

// The error file of one run: it receives the rejected records of the
// run's source. The file is written so that its records read back as they
// were read from the source: UTF-8 with a byte-order mark for a source that
// had one, UTF-8 without a mark for a source read as UTF-8 without one,
// otherwise the ANSI code page.
class ErrorFile {
 public:
  // The error file of the source at sourcePath (ErrorFilePathOf), opened
  // with header when its first record comes.
  ErrorFile(std::u16string header, std::u16string_view sourcePath, SourceEncoding encoding);

  // The text written at the top of the file.
  const std::u16string& ErrorFileHeader() const { return header_; }
  // Where the file is, and its name alone, as the transcript names it.
  const std::u16string& ErrorFilePath() const { return path_; }
  const std::u16string& ErrorFileName() const { return name_; }

  // Deletes the file an earlier run of the same source left; the source
  // itself never goes, as the path rule never names it.
  void DeleteOlderFile() const;

  // Creates the file with the header when it does not exist (also when
  // it was removed during the run); true when it did. Raises EInOutError
  // when the file cannot be written.
  bool CreateWhenMissing();
  // Appends text as one line to the file (created first when missing). The
  // file is closed again before the call returns. A line is written whole
  // or not at all: raises EInOutError when the file cannot be written, the
  // file cut back to what it held before.
  void AppendErrorRecord(std::u16string_view text);

 private:
  std::string Encode(std::u16string_view text) const;

  std::u16string header_;
  std::u16string path_;
  std::u16string name_;
  SourceEncoding encoding_;
};

}  // namespace quillet

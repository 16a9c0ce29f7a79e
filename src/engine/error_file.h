// The error file: an ADIF file beside the source that receives, one per
// line, every record a run did not take into the log.
#pragma once

#include <string>
#include <string_view>

#include "engine/source_lines.h"
#include "runtime/date_time.h"

namespace quillet {

class ImportDialogPort;
struct IHostKernel;

// The source's path with its extension replaced by ".err" (appended when
// the file name has no "."). A source whose own extension is ".err", in any
// letter case, would be its own error file; it gets ".err" appended.
std::u16string ErrorFilePathOf(std::u16string_view sourcePath);

// The five header lines joined by CR LF, without a line break after the last.
std::u16string ErrorFileHeaderText(std::u16string_view application, std::u16string_view version,
                                   TDateTime created, const ShortFormats& formats);

// Appends rejected records to the current run's error file. The file is
// written so that its records read back as they were read from the source:
// UTF-8 with a byte-order mark for a source that had one, UTF-8 without a
// mark for a source read as UTF-8 without one, otherwise the ANSI code page.
class ErrorFile {
 public:
  // dialog and kernel must outlive the object.
  ErrorFile(ImportDialogPort& dialog, IHostKernel* kernel) : dialog_(dialog), kernel_(kernel) {}

  void SetSourceEncoding(SourceEncoding encoding) { encoding_ = encoding; }

  // Appends text as one line to the file at path, first creating it with
  // ErrorFileHeader, the warning caption and the host journal line when it
  // does not exist. The file is closed again before the call returns. A
  // line is written whole or not at all: raises EInOutError when the file
  // cannot be written, the file cut back to what it held before.
  void AppendErrorRecord(std::u16string_view path, std::u16string_view text);

 private:
  std::string Encode(std::u16string_view text) const;
  void Create(std::u16string_view path);

  ImportDialogPort& dialog_;
  IHostKernel* kernel_;
  SourceEncoding encoding_ = SourceEncoding::Ansi;
};

}  // namespace quillet

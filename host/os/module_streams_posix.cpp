#include "host/os/module_streams.h"

#include <unistd.h>

#include <string>
#include <string_view>

#include "host/base/host_error.h"
#include "host/os/console.h"

namespace quillet::host {
namespace {

struct ErrorLines {
  Console* console = nullptr;
  std::string pending;
};

// File-scope, not per object: the cookie functions are plain C callbacks,
// and the process has one pair of standard streams to capture anyway.
Console* transcriptConsole = nullptr;
ErrorLines errorLines;

ssize_t WriteTranscript(void*, const char* bytes, size_t size) {
  transcriptConsole->Transcript(std::string_view(bytes, size));
  return static_cast<ssize_t>(size);
}

// The module's error output reaches the console a whole line at a time, so
// that its lines and the host's own never interleave within a line.
ssize_t WriteErrors(void*, const char* bytes, size_t size) {
  errorLines.pending.append(bytes, size);
  for (std::size_t end = errorLines.pending.find('\n'); end != std::string::npos;
       end = errorLines.pending.find('\n')) {
    errorLines.console->Error(std::string_view(errorLines.pending).substr(0, end));
    errorLines.pending.erase(0, end + 1);
  }
  return static_cast<ssize_t>(size);
}

std::FILE* OpenWriter(cookie_write_function_t* write) {
  cookie_io_functions_t functions{};
  functions.write = write;
  std::FILE* stream = fopencookie(nullptr, "w", functions);
  if (stream == nullptr) throw HostError("cannot capture the module's output");
  // Each write reaches the console at once, so that the order of the
  // module's lines and the host's own is kept.
  std::setvbuf(stream, nullptr, _IONBF, 0);
  return stream;
}

}  // namespace

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

ModuleStreams::ModuleStreams(Console& console) {
  transcriptConsole = &console;
  errorLines = {&console, {}};
  out_ = OpenWriter(WriteTranscript);
  err_ = OpenWriter(WriteErrors);
  // Whatever the host wrote before goes out first, to the real streams.
  std::fflush(stdout);
  std::fflush(stderr);
  // The C library lets a program replace its standard streams this way.
  savedOut_ = stdout;
  savedErr_ = stderr;
  stdout = out_;
  stderr = err_;
}

ModuleStreams::~ModuleStreams() {
  stdout = savedOut_;
  stderr = savedErr_;
  std::fclose(out_);
  std::fclose(err_);
  // A last line without its line break is still shown.
  if (!errorLines.pending.empty()) errorLines.console->Error(errorLines.pending);
  errorLines = {};
  transcriptConsole = nullptr;
}

}  // namespace quillet::host

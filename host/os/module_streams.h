// The headless module writes its memo to the C library's standard output
// and its error boxes to standard error, and draws its own progress bar
// whenever standard error is a terminal. While a ModuleStreams lives, both
// streams are the host's: what the module writes reaches the console as
// transcript and error lines, and the module sees no terminal, so the one
// progress line on the screen is the host's. Where the module shows a real
// dialog the streams are left alone.
#pragma once

#include <cstdio>

namespace quillet::host {

class Console;

class ModuleStreams {
 public:
  // console must outlive this object; only one may live at a time.
  explicit ModuleStreams(Console& console);
  ~ModuleStreams();
  ModuleStreams(const ModuleStreams&) = delete;
  ModuleStreams& operator=(const ModuleStreams&) = delete;

 private:
  std::FILE* savedOut_ = nullptr;
  std::FILE* savedErr_ = nullptr;
  std::FILE* out_ = nullptr;
  std::FILE* err_ = nullptr;
};

}  // namespace quillet::host

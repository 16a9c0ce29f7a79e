// The screen of quillet. Standard output carries the module's transcript
// exactly as the module writes it, one whole line at a time; standard error
// carries the journal, the host's notes and its errors, also in whole lines.
// On a terminal, standard error also shows one progress line, which is
// cleared before anything else is written and when the run ends, so that
// no line ever runs into another.
//
// Everything the host prints while a module runs goes through one Console;
// the process has one, Console::Standard(), over the streams it started with.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace quillet::host {

class Console {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // out and err must outlive the console; progress is drawn only when
  // showProgress is set (err is a terminal).
  Console(std::FILE* out, std::FILE* err, bool showProgress, Clock clock = std::chrono::steady_clock::now);
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // The process's standard streams as they were at the first call.
  static Console& Standard();

  // Quiet: no transcript, no journal, no notes; errors only.
  void SetQuiet(bool quiet) { quiet_ = quiet; }
  // Without it the transcript is only kept (for a summary), not printed.
  void SetTranscriptShown(bool shown) { transcriptShown_ = shown; }

  // Bytes of the module's memo, line breaks already "\n". A line is printed
  // once it is complete.
  void Transcript(std::string_view bytes);
  // Prints the open last line of the transcript with a line break.
  void FinishTranscript();
  // All the transcript so far, also what was not printed.
  const std::string& TranscriptText() const { return transcript_; }

  void Journal(std::string_view line);
  void Note(std::string_view line);
  void Error(std::string_view line);

  // Shows percent (0 to 100); redrawn only when it changes and at most ten
  // times a second.
  void Progress(int percent);
  // Clears the progress line for good until the next Progress.
  void EndProgress();

 private:
  void ErrLine(std::string_view prefix, std::string_view line);
  void ClearProgress();

  std::FILE* out_;
  std::FILE* err_;
  bool showProgress_;
  Clock clock_;
  bool quiet_ = false;
  bool transcriptShown_ = true;
  std::string transcript_;
  std::size_t printed_ = 0;  // transcript_ bytes already on standard output
  int shownPercent_ = -1;    // -1: no progress line on the screen
  std::size_t shownWidth_ = 0;
  std::chrono::steady_clock::time_point lastDraw_{};
};

// True when stream is a terminal.
bool IsTerminal(std::FILE* stream);

}  // namespace quillet::host

#include "host/os/console.h"

namespace quillet::host {
namespace {

constexpr int kSegments = 20;
// At most ten redraws a second: drawing for every record would cost a
// large import more time than its statements.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

void Put(std::FILE* stream, std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
  std::fflush(stream);
}

}  // namespace

Console::Console(std::FILE* out, std::FILE* err, bool showProgress, Clock clock)
    : out_(out), err_(err), showProgress_(showProgress), clock_(std::move(clock)) {}

Console::~Console() {
  EndProgress();
  FinishTranscript();
}

Console& Console::Standard() {
  // The progress bar only on a terminal: in a file or a pipe its carriage
  // returns would be noise.
  static Console console(stdout, stderr, IsTerminal(stderr));
  return console;
}

void Console::Transcript(std::string_view bytes) {
  transcript_.append(bytes);
  // Only whole lines are printed; the rest waits for its line break, so a
  // progress bar drawn meanwhile never cuts a line in two.
  const std::size_t lineEnd = transcript_.rfind('\n');
  if (lineEnd == std::string::npos || lineEnd < printed_) return;
  if (transcriptShown_ && !quiet_) {
    ClearProgress();
    Put(out_, std::string_view(transcript_).substr(printed_, lineEnd + 1 - printed_));
  }
  printed_ = lineEnd + 1;
}

void Console::FinishTranscript() {
  if (printed_ == transcript_.size()) return;
  Transcript("\n");
}

void Console::Journal(std::string_view line) {
  if (!quiet_) ErrLine("journal: ", line);
}

void Console::Note(std::string_view line) {
  if (!quiet_) ErrLine("quillet: ", line);
}

void Console::Error(std::string_view line) { ErrLine("", line); }

void Console::ErrLine(std::string_view prefix, std::string_view line) {
  ClearProgress();
  // A transcript line still open stays unprinted, so this line never lands
  // inside it even when both streams share one screen.
  std::fflush(out_);
  std::string text(prefix);
  text.append(line);
  text.push_back('\n');
  Put(err_, text);
}

void Console::Progress(int percent) {
  if (!showProgress_ || percent == shownPercent_) return;
  const auto now = clock_();
  if (shownPercent_ >= 0 && now - lastDraw_ < kRedrawInterval) return;
  const int lit = kSegments * percent / 100;
  std::string bar = "\r[" + std::string(static_cast<std::size_t>(lit), '#') +
                    std::string(static_cast<std::size_t>(kSegments - lit), '.') + "] " +
                    std::to_string(percent) + "%";
  // A shorter bar (100% to 9%) is padded to cover what the longer one left.
  if (bar.size() - 1 < shownWidth_) bar += std::string(shownWidth_ - (bar.size() - 1), ' ');
  shownWidth_ = bar.size() - 1;
  shownPercent_ = percent;
  lastDraw_ = now;
  Put(err_, bar);
}

void Console::EndProgress() { ClearProgress(); }

void Console::ClearProgress() {
  if (shownPercent_ < 0) return;
  Put(err_, "\r" + std::string(shownWidth_, ' ') + "\r");
  shownPercent_ = -1;
  shownWidth_ = 0;
}

}  // namespace quillet::host

// The console as the headless framework's screen.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/posix/ui_headless.h"
#include "runtime/text.h"

namespace quillet::ui::headless {
namespace {

bool lastWasCarriageReturn = false;
bool atLineStart = true;
bool progressShown = false;

// Whether standard error is a terminal, asked again only when a host has
// put another stream in its place: progress changes often during a run.
bool ProgressOnTerminal() {
  static FILE* asked = nullptr;
  static bool onTerminal = false;
  if (stderr != asked) {
    asked = stderr;
    onTerminal = isatty(fileno(stderr)) != 0;
  }
  return onTerminal;
}

void Write(FILE* stream, const std::string& bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
  std::fflush(stream);
}

}  // namespace

// CR LF, a lone CR and a lone LF each become one "\n", also when a CR LF
// pair is split between two writes.
void WriteConsoleText(std::u16string_view text) {
  std::u16string converted;
  converted.reserve(text.size());
  for (const char16_t c : text) {
    const bool pairedLineFeed = c == u'\n' && lastWasCarriageReturn;
    lastWasCarriageReturn = c == u'\r';
    if (pairedLineFeed) continue;
    converted.push_back(c == u'\r' ? u'\n' : c);
  }
  if (converted.empty()) return;
  atLineStart = converted.back() == u'\n';
  Write(stdout, Utf16ToUtf8(converted));
}

void FinishConsoleLine() {
  if (!atLineStart) Write(stdout, "\n");
  atLineStart = true;
  lastWasCarriageReturn = false;
}

void DrawProgress(int percent, int segments) {
  if (!ProgressOnTerminal()) return;
  if (percent == 0 && !progressShown) return;
  const int lit = segments * percent / 100;
  std::string bar = "\r[" + std::string(static_cast<std::size_t>(lit), '#') +
                    std::string(static_cast<std::size_t>(segments - lit), '.') + "] " +
                    std::to_string(percent) + "%";
  if (percent == 0) bar = "\r" + std::string(bar.size(), ' ') + "\r";
  progressShown = percent != 0;
  Write(stderr, bar);
}

}  // namespace quillet::ui::headless

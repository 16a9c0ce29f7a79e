// What the import engine needs of whoever shows a run: the settings the
// run starts from, a transcript, a progress and an error pane. The dialog
// implements it over its controls; tests implement it themselves.
#pragma once

#include <string>
#include <string_view>

#include "engine/correction_mode.h"

namespace quillet {

// Read once at the start of a run, so that a run keeps to the settings it
// started with whatever the operator does with the controls meanwhile.
struct ImportSettings {
  // The source as the operator named it, and the command's caption: the
  // messages and the journal name the run by them.
  std::u16string source;
  std::u16string caption;
  CorrectionMode mode = CorrectionMode::None;
  // In minutes; 0: the exact minute only.
  int matchWindow = 0;
};

class ImportPort {
 public:
  virtual ImportSettings RunSettings() const = 0;
  // Appends text to the transcript (a line ends with CR LF) and brings its
  // last line into view.
  virtual void AppendToTranscript(std::u16string_view text) = 0;
  // How much of the run is done, 0 to 1.
  virtual void ShowProgress(long double fraction) = 0;
  // The message of the error pane ("" clears it).
  virtual void ShowErrorMessage(std::u16string_view message) = 0;
  // Lets pending window events through.
  virtual void ProcessMessages() = 0;
  // Whether the application has been asked to quit; a run then stops.
  virtual bool Terminated() const = 0;

 protected:
  ~ImportPort() = default;
};

}  // namespace quillet

// A recording stand-in for the import dialog, and the shared set-up of the
// engine tests.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/import_port.h"

namespace quillet::testing {

class FakePort final : public ImportPort {
 public:
  ImportSettings RunSettings() const override {
    ++settingsRead;
    return {source, u"Append ADIF data into current log", mode, window};
  }
  void AppendToTranscript(std::u16string_view text) override { memo += text; }
  void ShowProgress(long double fraction) override { progress.push_back(fraction); }
  void ShowErrorMessage(std::u16string_view message) override { errorMessage = message; }
  void ProcessMessages() override { ++processed; }
  bool Terminated() const override { return quitAfterMessages >= 0 && processed >= quitAfterMessages; }

  std::u16string memo;
  std::vector<long double> progress;
  std::u16string errorMessage;
  std::u16string source;
  CorrectionMode mode = CorrectionMode::None;
  int window = 0;
  mutable int settingsRead = 0;
  int processed = 0;
  int quitAfterMessages = -1;  // asked to quit once this many were let through
};

// A fresh, empty folder under the system's temporary folder, removed with
// the object.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::u16string File(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

std::string ReadBytes(std::u16string_view path);
void WriteBytes(std::u16string_view path, std::string_view bytes);

}  // namespace quillet::testing

// A recording stand-in for the import dialog's controls, and the shared
// set-up of the engine tests.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/import_dialog_port.h"

namespace quillet::testing {

class FakeDialog final : public ImportDialogPort {
 public:
  std::u16string MemoText() const override { return memo; }
  void SetMemoText(std::u16string_view text) override { memo = text; }
  int MemoLineCount() const override;
  void ScrollMemo(int lines) override { scrolls.push_back(lines); }
  void SetProgressPercent(int percent) override { progress.push_back(percent); }
  void SetErrorPaneCaption(std::u16string_view caption) override { errorCaption = caption; }
  std::u16string SourceText() const override { return source; }
  std::u16string Caption() const override { return u"Append ADIF data into current log"; }
  CorrectionMode SelectedCorrectionMode() const override { return mode; }
  int SelectedMatchWindow() const override { return window; }
  void ProcessMessages() override { ++processed; }
  bool Terminated() const override { return quitAfterMessages >= 0 && processed >= quitAfterMessages; }

  std::u16string memo;
  std::vector<int> scrolls;
  std::vector<int> progress;
  std::u16string errorCaption;
  std::u16string source;
  CorrectionMode mode = CorrectionMode::None;
  int window = 0;
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

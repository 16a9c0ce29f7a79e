// The file-open dialog, headless: it answers with what SetFileOpenAnswer
// was given, and is cancelled when nothing was.
#include "platform/ui/file_dialog.h"

#include <optional>

#include "platform/ui/application.h"

namespace quillet::ui {
namespace {

std::optional<std::u16string> fileOpenAnswer;

}  // namespace

void SetFileOpenAnswer(std::optional<std::u16string> path) { fileOpenAnswer = std::move(path); }

void ClearFileOpenAnswer() { fileOpenAnswer.reset(); }

bool FileOpenDialog::Execute() {
  if (!fileOpenAnswer) return false;
  FileName = *fileOpenAnswer;
  return true;
}

}  // namespace quillet::ui

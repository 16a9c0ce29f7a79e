// The system's file-open dialog, described by its parameters.
#pragma once

#include <string>

namespace quillet::ui {

class Form;

class FileOpenDialog {
 public:
  explicit FileOpenDialog(Form& owner) : owner_(owner) {}

  // Shows the dialog centred over its owner form. On confirmation FileName
  // holds the chosen file's full path and the result is true; on
  // cancellation nothing changes. See SetFileOpenAnswer (application.h).
  bool Execute();

  std::u16string Title;
  // Pairs of description and patterns, all separated by "|":
  // "ADIF files|*.adif;*.adi".
  std::u16string Filter;
  int FilterIndex = 1;  // 1-based entry of Filter selected at opening
  std::u16string InitialDir;
  std::u16string FileName;    // preset name; the chosen path after Execute
  std::u16string DefaultExt;  // appended to a typed name without one; "." optional

  Form& Owner() const { return owner_; }

 private:
  Form& owner_;
};

}  // namespace quillet::ui

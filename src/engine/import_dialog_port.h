// What the import engine needs of the dialog: the controls it writes to
// and reads. The dialog implements it; tests implement it themselves.
#pragma once

#include <string>
#include <string_view>

#include "engine/correction_mode.h"

namespace quillet {

class ImportDialogPort {
 public:
  // mProgress, the read-only memo.
  virtual std::u16string MemoText() const = 0;
  virtual void SetMemoText(std::u16string_view text) = 0;
  virtual int MemoLineCount() const = 0;
  virtual void ScrollMemo(int lines) = 0;
  // psProgress, a percentage 0 to 100.
  virtual void SetProgressPercent(int percent) = 0;
  // psErrors.
  virtual void SetErrorPaneCaption(std::u16string_view caption) = 0;
  // edSource and the dialog's caption.
  virtual std::u16string SourceText() const = 0;
  virtual std::u16string Caption() const = 0;
  // The mode cbProve selects (None when it selects none); read for every record.
  virtual CorrectionMode SelectedCorrectionMode() const = 0;
  // The match window the dialog selects, in minutes (0: the exact minute);
  // read for every record that matches no stored QSO at its minute.
  virtual int SelectedMatchWindow() const = 0;
  // Lets pending window events through.
  virtual void ProcessMessages() = 0;
  // Whether the application has been asked to quit; a run then stops.
  virtual bool Terminated() const = 0;

 protected:
  ~ImportDialogPort() = default;
};

}  // namespace quillet

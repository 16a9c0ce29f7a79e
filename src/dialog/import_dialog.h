// The import dialog: the operator picks an ADIF file, a correction mode
// and a match window, starts the import with "Append", watches the
// transcript, and leaves with "Close". It remembers the last file, mode
// and window in the host's settings file.
//
// The creator fills the public fields, sets the caption and the filter of
// dlgSource, shows the dialog modally and destroys it when it closes.
// Handlers run through the window framework's event dispatch: an error
// that ends one is shown in the error box and the dialog stays open.
#pragma once

#include <quillet/plugin_api.h>

#include <optional>
#include <string>
#include <string_view>

#include "dialog/plugin_form.h"
#include "engine/import_port.h"
#include "platform/portable/ini_file.h"
#include "platform/ui/controls.h"
#include "platform/ui/file_dialog.h"
#include "refdata/dictionaries.h"
#include "runtime/com_ptr.h"
#include "runtime/date_time.h"

namespace quillet {

class TfrmQuillet : public TForm, public ImportPort {
 public:
  explicit TfrmQuillet(ICore* core);
  ~TfrmQuillet() override;

  // Components, as the handlers name them.
  ui::Panel RzPanel1;
  ui::Label RzLabel1;
  ui::ButtonEdit edSource;
  ui::Label RzLabel2;
  ui::ComboList cbProve;
  ui::Label RzLabel4;
  ui::ComboList cbWindow;  // the items of kMatchWindows, in its order
  ui::Label RzLabel3;
  ui::Memo mProgress;
  ui::DialogButtons dbtGetADIF;
  ui::Image Image1;
  ui::StatusBar RzStatusBar1;
  ui::StatusPane psErrors;
  ui::ProgressPane psProgress;
  ui::StatusPane RzStatusPane2;
  ui::FileOpenDialog dlgSource;
  IniFile iniUpdate;

  // Set by the creator before the dialog is shown.
  ComPtr<IHostKernel> HostKernel;
  ComPtr<IHostServer> HostServer;
  std::u16string LogOperator;
  TDateTime LogCloseDate = 0;
  std::u16string LogName;
  std::u16string IniPath;
  std::u16string IniSection;

  // True from the start of a run; then the run's result (true: carried out
  // to its end). While true, "Append" is disabled; only an activation of the
  // dialog, or a run that could not read its source, clears it. False at load.
  bool RunFlag = false;

  // Event handlers.
  void FormActivate();
  void FormClose();
  void edSourceChange();
  void edSourceButtonClick();
  void dbtGetADIFClickOk();
  void dbtGetADIFClickCancel();
  // Enables "Append" exactly when edSource names an existing file (its
  // trimmed text not empty), RunFlag is false and no activation is under way.
  void CheckActions();

  // The header of the error files of the runs to come, built at activation.
  const std::u16string& ErrorFileHeader() const { return errorFileHeader_; }
  // The dictionaries of the run under way (loaded for FillFields, empty
  // otherwise); null between runs.
  const Dictionaries* RunDictionaries() const { return dictionaries_ ? &*dictionaries_ : nullptr; }

  // The mode cbProve selects (None when it selects none), and the match
  // window cbWindow selects, in minutes.
  CorrectionMode SelectedCorrectionMode() const;
  int SelectedMatchWindow() const;

  // ImportPort, on the controls: the settings from edSource, the caption,
  // cbProve and cbWindow; the transcript in mProgress, the progress in
  // psProgress, the error message in psErrors.
  ImportSettings RunSettings() const override;
  void AppendToTranscript(std::u16string_view text) override;
  void ShowProgress(long double fraction) override;
  void ShowErrorMessage(std::u16string_view message) override;
  void ProcessMessages() override;
  bool Terminated() const override;

 private:
  // True while FormActivate runs. Putting the remembered path into
  // edSource raises edSourceChange and SetProgress processes messages, so
  // an enabled "Append" could start a run inside the activation, whose
  // remaining steps would then wipe the run's warning pane.
  bool activating_ = false;
  std::u16string errorFileHeader_;
  std::optional<Dictionaries> dictionaries_;

  void Design();
  void ConnectEvents();
  // The record counts of COUNTRY, PROVINCE and UNIQUECALL, in that order,
  // stopping at the first 0; false when one is 0.
  bool DictionariesPresent();
  void ShowMissingDictionaries();
};

}  // namespace quillet

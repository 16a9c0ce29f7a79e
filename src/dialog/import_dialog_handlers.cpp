// The dialog's behaviour: activation, the enabling rule, the file button,
// the start of a run and the remembered settings.
#include <cstdint>
#include <optional>

#include "dialog/import_dialog.h"
#include "engine/import_engine.h"
#include "engine/match_window.h"
#include "hostcalls/host_calls.h"
#include "platform/files.h"
#include "platform/ui/application.h"
#include "runtime/text.h"

namespace quillet {
namespace {

constexpr int kModeCount = 3;
constexpr std::int32_t kMessageKind = 1;
constexpr std::uint32_t kMessageButtons = 4;

// cbProve lists the modes in their order; an index outside it selects none.
CorrectionMode ModeOfItem(int itemIndex) {
  if (itemIndex == static_cast<int>(CorrectionMode::Format)) return CorrectionMode::Format;
  if (itemIndex == static_cast<int>(CorrectionMode::FillFields)) return CorrectionMode::FillFields;
  return CorrectionMode::None;
}

// On every exit from a run, also by an error: empty the dictionaries, set
// the enabled state of "Append" and restore the normal cursor, in that order.
class RunCleanup {
 public:
  RunCleanup(TfrmQuillet& dialog, std::optional<Dictionaries>& dictionaries)
      : dialog_(dialog), dictionaries_(dictionaries) {}
  void ShowWaitCursor() { wait_.emplace(); }
  // The wait cursor member goes last, after the body.
  ~RunCleanup() {
    dictionaries_.reset();
    try {
      dialog_.CheckActions();
    } catch (...) {
      // Out of memory while unwinding: "Append" keeps its state.
    }
  }
  RunCleanup(const RunCleanup&) = delete;
  RunCleanup& operator=(const RunCleanup&) = delete;

 private:
  TfrmQuillet& dialog_;
  std::optional<Dictionaries>& dictionaries_;
  std::optional<ui::WaitCursor> wait_;
};

// Marks an activation as under way for its lifetime, however it is left.
class ActivationScope {
 public:
  explicit ActivationScope(bool& activating) : activating_(activating) { activating_ = true; }
  ~ActivationScope() { activating_ = false; }
  ActivationScope(const ActivationScope&) = delete;
  ActivationScope& operator=(const ActivationScope&) = delete;

 private:
  bool& activating_;
};

}  // namespace

void TfrmQuillet::CheckActions() {
  const std::u16string text = edSource.Text();
  dbtGetADIF.SetOkEnabled(!activating_ && !Trim(text).empty() && !RunFlag && FileExists(text));
}

void TfrmQuillet::FormActivate() {
  {
    const ActivationScope activating(activating_);
    ImportEngine engine(*this, HostKernel.get(), HostServer.get());
    errorFileHeader_ = engine.BuildErrorFileHeader();
    iniUpdate.SetFileName(IniPath);
    std::u16string path = iniUpdate.ReadString(IniSection, u"ADIF", u"");
    const std::int32_t mode = iniUpdate.ReadInteger(IniSection, u"Corr", 0);
    cbProve.SetItemIndex(mode >= 0 && mode < kModeCount ? mode : -1);
    const std::int32_t window = iniUpdate.ReadInteger(IniSection, u"Window", 0);
    cbWindow.SetItemIndex(static_cast<int>(MatchWindowIndex(window)));
    if (path.empty()) path = host_calls::GetVariable(HostKernel.get(), u"DOWNLOAD");
    edSource.SetText(path);
    RunFlag = false;
    mProgress.SetText(u"");
    engine.SetProgress(0);
    psErrors.SetCaption(u"");
  }
  CheckActions();
}

void TfrmQuillet::FormClose() {
  if (!RunFlag) return;
  iniUpdate.WriteString(IniSection, u"ADIF", edSource.Text());
  iniUpdate.WriteInteger(IniSection, u"Corr", cbProve.ItemIndex());
  iniUpdate.WriteInteger(IniSection, u"Window", SelectedMatchWindow());
}

void TfrmQuillet::edSourceChange() { CheckActions(); }

void TfrmQuillet::edSourceButtonClick() {
  const std::u16string text = edSource.Text();
  const std::u16string extension = ExtractFileExt(text);
  std::u16string candidate;
  if (FileExists(text)) {
    dlgSource.InitialDir = ExtractFilePath(text);
    candidate = ExtractFileName(text);
  } else {
    dlgSource.InitialDir = text;
  }
  const std::size_t at = extension.empty() ? std::u16string::npos : candidate.find(extension);
  dlgSource.FileName = at == std::u16string::npos ? std::u16string() : candidate.substr(0, at);
  dlgSource.DefaultExt = extension;
  if (dlgSource.Execute()) edSource.SetText(dlgSource.FileName);
  CheckActions();
}

// The dictionaries are checked before anything of the run changes, so that
// an operator told to load them finds the dialog as it was. The engine reads
// the run's settings from the controls once, as the run starts.
void TfrmQuillet::dbtGetADIFClickOk() {
  const bool fillFields = SelectedCorrectionMode() == CorrectionMode::FillFields;
  if (fillFields && !DictionariesPresent()) {
    ShowMissingDictionaries();
    return;
  }
  RunCleanup cleanup(*this, dictionaries_);
  dictionaries_.emplace(fillFields ? Dictionaries::Load(HostServer.get()) : Dictionaries());
  cleanup.ShowWaitCursor();
  mProgress.SetText(u"");
  dbtGetADIF.FocusCancel();
  RunFlag = true;
  CheckActions();
  ImportEngine engine(*this, HostKernel.get(), HostServer.get());
  RunFlag = engine.RunImport(edSource.Text(), {LogName, LogCloseDate, LogOperator}, *dictionaries_,
                             errorFileHeader_);
}

void TfrmQuillet::dbtGetADIFClickCancel() { Close(); }

// The counts alone, so that a missing table is told before anything is
// loaded.
bool TfrmQuillet::DictionariesPresent() {
  for (const std::u16string_view table : {u"COUNTRY", u"PROVINCE", u"UNIQUECALL"}) {
    if (host_calls::GetRecordCount(HostServer.get(), table) == 0) return false;
  }
  return true;
}

void TfrmQuillet::ShowMissingDictionaries() {
  host_calls::ShowMessageBox(HostKernel.get(),
                             u"You need to load actual dictionary data from Internet\r\n"
                             u"or local source, use menu: Set -> Countries list.",
                             u"Missing information", kMessageKind, kMessageButtons);
}

CorrectionMode TfrmQuillet::SelectedCorrectionMode() const { return ModeOfItem(cbProve.ItemIndex()); }

// The minutes are remembered rather than the index, so that the list may
// grow without changing what a stored value means.
int TfrmQuillet::SelectedMatchWindow() const {
  const int index = cbWindow.ItemIndex();
  return index >= 0 && static_cast<std::size_t>(index) < kMatchWindows.size() ? kMatchWindows[index] : 0;
}

}  // namespace quillet

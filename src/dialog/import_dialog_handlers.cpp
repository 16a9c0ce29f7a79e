// The dialog's behaviour: activation, the enabling rule, the file button,
// the start of a run and the remembered settings.
#include <cstdint>
#include <optional>

#include "dialog/import_dialog.h"
#include "engine/import_engine.h"
#include "logmodel/dictionaries.h"
#include "platform/files.h"
#include "platform/ui/application.h"
#include "runtime/bstr.h"
#include "runtime/safe_call.h"
#include "runtime/text.h"

namespace quillet {

bool RunFlag = false;

namespace {

constexpr int kModeCount = 3;
constexpr int kFillFieldsMode = 2;
constexpr std::int32_t kMessageKind = 1;
constexpr std::uint32_t kMessageButtons = 4;

std::u16string GetVariable(IHostKernel* kernel, std::u16string_view name) {
  BString value;
  Check(kernel->GetVariable(BString(name).get(), value.put()));
  return value.Text();
}

std::int32_t GetRecordCount(IHostServer* server, std::u16string_view table) {
  std::int32_t count = 0;
  Check(server->GetRecordCount(BString(table).get(), &count));
  return count;
}

// On every exit from a run, also by an error: empty the dictionaries, set
// the enabled state of "Append" and restore the normal cursor, in that order.
class RunCleanup {
 public:
  explicit RunCleanup(TfrmQuillet& dialog) : dialog_(dialog) {}
  void ShowWaitCursor() { wait_.emplace(); }
  // The wait cursor member goes last, after the body.
  ~RunCleanup() {
    ClearDictionaries();
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
  std::optional<ui::WaitCursor> wait_;
};

// Empties the dictionaries when the handler is left, however it is left.
class DictionaryCleanup {
 public:
  DictionaryCleanup() = default;
  ~DictionaryCleanup() { ClearDictionaries(); }
  DictionaryCleanup(const DictionaryCleanup&) = delete;
  DictionaryCleanup& operator=(const DictionaryCleanup&) = delete;
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

void ClearDictionaries() {
  ClearUniqueCalls(UniqueCallList);
  ClearProvinces(ProvinceList);
  ClearCountries(CountryList);
}

void TfrmQuillet::CheckActions() {
  const std::u16string text = edSource.Text();
  dbtGetADIF.SetOkEnabled(!activating_ && !Trim(text).empty() && !RunFlag && FileExists(text));
}

void TfrmQuillet::FormActivate() {
  {
    const ActivationScope activating(activating_);
    ImportEngine engine(*this, HostKernel.get(), HostServer.get());
    engine.BuildErrorFileHeader();
    iniUpdate.SetFileName(IniPath);
    ClearDictionaries();
    std::u16string path = iniUpdate.ReadString(IniSection, u"ADIF", u"");
    const std::int32_t mode = iniUpdate.ReadInteger(IniSection, u"Corr", 0);
    cbProve.SetItemIndex(mode >= 0 && mode < kModeCount ? mode : -1);
    if (path.empty()) path = GetVariable(HostKernel.get(), u"DOWNLOAD");
    edSource.SetText(path);
    RunFlag = false;
    mProgress.SetText(u"");
    engine.SetProgress(0);
    psErrors.SetCaption(u"");
  }
  CheckActions();
}

void TfrmQuillet::FormClose() {
  DictionaryCleanup cleanup;
  if (!RunFlag) return;
  iniUpdate.WriteString(IniSection, u"ADIF", edSource.Text());
  iniUpdate.WriteInteger(IniSection, u"Corr", cbProve.ItemIndex());
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

void TfrmQuillet::dbtGetADIFClickOk() {
  const bool fillFields = cbProve.ItemIndex() >= kFillFieldsMode;
  if (fillFields && !DictionariesPresent()) {
    ShowMissingDictionaries();
    return;
  }
  RunCleanup cleanup(*this);
  if (fillFields) LoadDictionaries();
  cleanup.ShowWaitCursor();
  mProgress.SetText(u"");
  dbtGetADIF.FocusCancel();
  RunFlag = true;
  CheckActions();
  ImportEngine engine(*this, HostKernel.get(), HostServer.get());
  RunFlag = engine.RunImport(edSource.Text(), LogName, LogCloseDate, LogOperator);
}

void TfrmQuillet::dbtGetADIFClickCancel() { Close(); }

bool TfrmQuillet::DictionariesPresent() {
  for (const std::u16string_view table : {u"COUNTRY", u"PROVINCE", u"UNIQUECALL"}) {
    if (GetRecordCount(HostServer.get(), table) == 0) return false;
  }
  return true;
}

void TfrmQuillet::ShowMissingDictionaries() {
  const BString text(
      u"You need to load actual dictionary data from Internet\r\n"
      u"or local source, use menu: Set -> Countries list.");
  const BString caption(u"Missing information");
  std::int32_t ignored = 0;
  Check(HostKernel->ShowMessageBox(text.get(), caption.get(), kMessageKind, kMessageButtons, &ignored));
}

void TfrmQuillet::LoadDictionaries() {
  LoadUniqueCalls(HostServer.get(), UniqueCallList);
  LoadProvinces(HostServer.get(), ProvinceList);
  LoadCountries(HostServer.get(), CountryList);
}

}  // namespace quillet

// The dialog's design: its components, their texts and arrangement, and
// the wiring of their events to the handlers.
#include "dialog/import_dialog.h"

#include "platform/ui/application.h"

namespace quillet {
namespace {

constexpr int kClientWidth = 394;
// Taller than the original 218 by the match window's label and list.
constexpr int kClientHeight = 262;
constexpr int kStatusBarHeight = 19;
constexpr int kButtonColumnWidth = 87;
constexpr int kPanelWidth = kClientWidth - kButtonColumnWidth - 16;

}  // namespace

TfrmQuillet::TfrmQuillet(ICore* core)
    : TForm(core),
      RzPanel1(*this, u"RzPanel1"),
      RzLabel1(RzPanel1, u"RzLabel1"),
      edSource(RzPanel1, u"edSource"),
      RzLabel2(RzPanel1, u"RzLabel2"),
      cbProve(RzPanel1, u"cbProve"),
      RzLabel4(RzPanel1, u"RzLabel4"),
      cbWindow(RzPanel1, u"cbWindow"),
      RzLabel3(RzPanel1, u"RzLabel3"),
      mProgress(RzPanel1, u"mProgress"),
      dbtGetADIF(*this, u"dbtGetADIF"),
      Image1(*this, u"Image1"),
      RzStatusBar1(*this, u"RzStatusBar1"),
      psErrors(RzStatusBar1, u"psErrors"),
      psProgress(RzStatusBar1, u"psProgress"),
      RzStatusPane2(RzStatusBar1, u"RzStatusPane2"),
      dlgSource(*this) {
  Design();
  ConnectEvents();
}

TfrmQuillet::~TfrmQuillet() = default;

void TfrmQuillet::Design() {
  SetClientSize(kClientWidth, kClientHeight);
  SetBorder(ui::FormBorder::Dialog);
  SetPosition(ui::FormPosition::OwnerCenter);
  SetFont(u"Tahoma", 8);

  RzPanel1.SetAlign(ui::Align::Left);
  RzPanel1.SetBounds(0, 0, kPanelWidth, kClientHeight - kStatusBarHeight);
  RzLabel1.SetBounds(8, 8, 200, 13);
  RzLabel1.SetCaption(u"ADIF data file");
  RzLabel1.SetBold(true);
  edSource.SetBounds(8, 24, kPanelWidth - 16, 21);
  RzLabel2.SetBounds(8, 52, 200, 13);
  RzLabel2.SetCaption(u"Fields correction within import");
  RzLabel2.SetBold(true);
  cbProve.SetBounds(8, 68, kPanelWidth - 16, 21);
  cbProve.SetItems({u"no fields data correction", u"correct data format in existing fields only",
                    u"correct data format and fill necessary fields"});
  RzLabel4.SetBounds(8, 96, 200, 13);
  RzLabel4.SetCaption(u"Match QSO times within");
  RzLabel4.SetBold(true);
  cbWindow.SetBounds(8, 112, kPanelWidth - 16, 21);
  cbWindow.SetItems(
      {u"the same minute", u"1 minute", u"2 minutes", u"5 minutes", u"15 minutes", u"30 minutes"});
  RzLabel3.SetBounds(8, 140, 200, 13);
  RzLabel3.SetCaption(u"Progress");
  RzLabel3.SetBold(true);
  mProgress.SetBounds(8, 156, kPanelWidth - 16, kClientHeight - kStatusBarHeight - 164);
  mProgress.SetReadOnly(true);
  mProgress.SetWordWrap(false);
  mProgress.SetScrollBars(true, true);

  dbtGetADIF.SetBounds(kClientWidth - kButtonColumnWidth - 8, 20, kButtonColumnWidth, 62);
  dbtGetADIF.SetCaptions(u"Append", u"Close");
  // Nothing to append until the activation has checked the source file.
  dbtGetADIF.SetOkEnabled(false);
  Image1.SetBounds(kClientWidth - kButtonColumnWidth + 2, kClientHeight - kStatusBarHeight - 58, 72, 50);
  Image1.SetPicture(u"IMAGE1");

  RzStatusBar1.SetAlign(ui::Align::Bottom);
  RzStatusBar1.SetBounds(0, kClientHeight - kStatusBarHeight, kClientWidth, kStatusBarHeight);
  psErrors.SetAlign(ui::Align::Client);
  psProgress.SetBounds(0, 0, 150, kStatusBarHeight);
  psProgress.SetSegments(20);
  RzStatusPane2.SetBounds(0, 0, 89, kStatusBarHeight);
  RzStatusPane2.SetFrame(false);

  dlgSource.Title = u"Select ADIF data file...";
}

void TfrmQuillet::ConnectEvents() {
  OnActivate = [this] { FormActivate(); };
  OnClose = [this] { FormClose(); };
  edSource.OnChange = [this] { edSourceChange(); };
  edSource.OnButtonClick = [this] { edSourceButtonClick(); };
  dbtGetADIF.OnClickOk = [this] { dbtGetADIFClickOk(); };
  dbtGetADIF.OnClickCancel = [this] { dbtGetADIFClickCancel(); };
}

// --- ImportPort ---

ImportSettings TfrmQuillet::RunSettings() const {
  return {edSource.Text(), ui::Form::Caption(), SelectedCorrectionMode(), SelectedMatchWindow()};
}

// The memo is rewritten whole and scrolled by its line count, which brings
// its last line into view on every platform.
void TfrmQuillet::AppendToTranscript(std::u16string_view text) {
  std::u16string memo = mProgress.Text();
  memo += text;
  mProgress.SetText(memo);
  mProgress.ScrollBy(mProgress.LineCount() - 1);
}

// The pane shows whole percents, truncated: 100 only when the run is done.
void TfrmQuillet::ShowProgress(long double fraction) {
  psProgress.SetPercent(static_cast<int>(fraction * 100));
}

void TfrmQuillet::ShowErrorMessage(std::u16string_view message) { psErrors.SetCaption(message); }

void TfrmQuillet::ProcessMessages() { ui::ProcessMessages(); }

bool TfrmQuillet::Terminated() const { return ui::Terminated(); }

}  // namespace quillet

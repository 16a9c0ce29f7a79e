// The headless window framework: the batch operator's modal run, the event
// dispatch with its error box, and the controls' observable behaviour.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/form.h"
#include "runtime/exceptions.h"

namespace quillet::ui {
namespace {

// Collects error boxes for the lifetime of the object.
class ErrorBoxes {
 public:
  ErrorBoxes() : previous_(SetErrorBoxHook([this](std::u16string_view text) { texts.emplace_back(text); })) {}
  ~ErrorBoxes() { SetErrorBoxHook(previous_); }
  std::vector<std::u16string> texts;

 private:
  ErrorBoxHook previous_;
};

class BatchForm : public Form {
 public:
  BatchForm() : buttons(*this, u"buttons") {
    OnActivate = [this] { events.push_back("activate"); };
    OnClose = [this] { events.push_back("close"); };
    buttons.OnClickOk = [this] { events.push_back("ok"); };
  }
  DialogButtons buttons;
  std::vector<std::string> events;
};

TEST(HeadlessForm, ModalRunPressesAnEnabledDefaultButtonThenCloses) {
  BatchForm form;
  EXPECT_EQ(form.ShowModal(), mrCancel);
  EXPECT_EQ(form.events, (std::vector<std::string>{"activate", "ok", "close"}));
  EXPECT_TRUE(form.HandleAllocated());

  BatchForm disabled;
  disabled.OnActivate = [&disabled] { disabled.buttons.SetOkEnabled(false); };
  disabled.ShowModal();
  EXPECT_EQ(disabled.events, (std::vector<std::string>{"close"}));

  BatchForm closing;  // a handler's Close ends the run after the handler, once
  closing.buttons.OnClickOk = [&closing] {
    closing.Close();
    closing.events.push_back("after close");
  };
  closing.ShowModal();
  EXPECT_EQ(closing.events, (std::vector<std::string>{"activate", "after close", "close"}));
}

TEST(HeadlessForm, HandlerErrorsGoToTheErrorBoxAndTheRunGoesOn) {
  ErrorBoxes boxes;
  BatchForm form;
  form.OnActivate = [] { throw EConvertError(u"'x' is not a valid integer value"); };
  form.buttons.OnClickOk = [] { throw EInOutError(u"Disk full."); };
  form.OnClose = [] { throw Exception(u"Closed!"); };
  EXPECT_EQ(form.ShowModal(), mrCancel);
  EXPECT_EQ(boxes.texts,
            (std::vector<std::u16string>{u"'x' is not a valid integer value.", u"Disk full.", u"Closed!"}));
}

TEST(HeadlessForm, ShowStepErrorsEndTheModalRun) {
  BatchForm form;
  form.OnShow = [] { throw Exception(u"no icon"); };
  EXPECT_THROW(form.ShowModal(), Exception);
  EXPECT_TRUE(form.events.empty());
}

TEST(ErrorBox, AppendsAFullStopAfterCharactersAboveIt) {
  EXPECT_EQ(ErrorBoxText(u"Failed"), u"Failed.");
  EXPECT_EQ(ErrorBoxText(u"Done."), u"Done.");
  EXPECT_EQ(ErrorBoxText(u"Why?"), u"Why?.");   // '?' is above '.'
  EXPECT_EQ(ErrorBoxText(u"(a b)"), u"(a b)");  // ')' is below '.'
  EXPECT_EQ(ErrorBoxText(u"path -"), u"path -");
  EXPECT_EQ(ErrorBoxText(u""), u"");
}

TEST(HeadlessControls, MemoWritesOnlyWhatItsTextGainsToStandardOutput) {
  BatchForm form;
  Memo memo(form, u"memo");
  ::testing::internal::CaptureStdout();
  memo.SetText(u"* Import: a.adi\r\n");
  memo.SetText(u"* Import: a.adi\r\n   Parsing ");
  memo.SetText(u"* Import: a.adi\r\n   Parsing found records: 2\r\n");
  memo.SetText(u"");
  memo.SetText(u"new");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "* Import: a.adi\n   Parsing found records: 2\nnew");
  EXPECT_EQ(memo.LineCount(), 1);
  memo.SetText(u"a\r\nb\r\n");
  EXPECT_EQ(memo.LineCount(), 2);
  memo.ScrollBy(5);
  EXPECT_EQ(memo.TopLine(), 1);
}

TEST(HeadlessControls, EditsListsButtonsAndPanes) {
  BatchForm form;
  ButtonEdit edit(form, u"edit");
  int changes = 0;
  int clicks = 0;
  edit.OnChange = [&changes] { ++changes; };
  edit.OnButtonClick = [&clicks] { ++clicks; };
  edit.SetText(u"x");
  edit.ClickButton();
  edit.SetEnabled(false);
  edit.ClickButton();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(clicks, 1);

  ComboList list(form, u"list");
  list.SetItems({u"a", u"b", u"c"});
  list.SetItemIndex(2);
  EXPECT_EQ(list.ItemIndex(), 2);
  list.SetItemIndex(7);
  EXPECT_EQ(list.ItemIndex(), -1);

  form.buttons.SetOkEnabled(false);
  form.buttons.ClickOk();
  EXPECT_TRUE(form.events.empty());

  StatusBar bar(form, u"bar");
  ProgressPane progress(bar, u"progress");
  progress.SetPercent(140);
  EXPECT_EQ(progress.Percent(), 100);
}

TEST(HeadlessServices, WaitCursorCountsAndFileDialogAnswers) {
  {
    WaitCursor outer;
    WaitCursor inner;
    EXPECT_EQ(WaitCursorDepth(), 2);
  }
  EXPECT_EQ(WaitCursorDepth(), 0);

  BatchForm form;
  FileOpenDialog dialog(form);
  dialog.FileName = u"preset";
  ClearFileOpenAnswer();
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, u"preset");
  SetFileOpenAnswer(u"/data/log.adi");
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, u"/data/log.adi");
  SetFileOpenAnswer(std::nullopt);
  EXPECT_FALSE(dialog.Execute());
  ClearFileOpenAnswer();
}

}  // namespace
}  // namespace quillet::ui

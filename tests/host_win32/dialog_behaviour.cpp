// The import dialog's behaviour through its real controls, operated as a
// person would while quillet's import command runs it:
//   dialog_behaviour FILE FOLDER OTHER_FILE DATABASE MODULE [HANDSHAKE_DIR]
// "Append" follows the source field (a folder, a file, a leading blank),
// a completed run leaves it disabled whatever file is chosen, and closing
// then stores the field's text and the mode chosen after the run. With a
// HANDSHAKE_DIR the dialog waits after the run, showing its result, until
// HANDSHAKE_DIR/go exists (the test takes its screenshot meanwhile; it
// learns the moment from HANDSHAKE_DIR/ready).
#include <windows.h>

// (after <windows.h>, which the common controls need first)
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "host/base/text.h"
#include "host/cli/commands.h"
#include "host/cli/import_command.h"
#include "host/services/windows_dialog_operator.h"
#include "tests/host/setting_value.h"

namespace quillet::host {
namespace {

struct Arguments {
  std::string file, folder, otherFile, database, module, handshake;
};

int failures = 0;

void Expect(bool holds, const char* what) {
  std::printf("check: %s: %s\n", what, holds ? "ok" : "FAILED");
  if (!holds) ++failures;
}

bool Enabled(HWND control) { return IsWindowEnabled(control) != FALSE; }

// A person's actions on the dialog's controls, each through the operator's
// messages; false (with the operator's failure set) on timeout.
bool SetText(DialogOperator& person, HWND control, std::u16string_view text) {
  const std::u16string copy(text);
  DWORD_PTR result = 0;
  return person.Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()), result) ||
         person.Fail("setting the text \"" + Utf8(text) + "\" timed out");
}

// Types one character at position at of an edit (WM_CHAR).
bool Type(DialogOperator& person, HWND edit, int at, char16_t character) {
  DWORD_PTR result = 0;
  return (person.Send(edit, EM_SETSEL, at, at, result) && person.Send(edit, WM_CHAR, character, 1, result)) ||
         person.Fail("typing into the edit timed out");
}

// As a person picking an item: the selection, then the list's notification.
bool SelectItem(DialogOperator& person, HWND comboBox, int index) {
  DWORD_PTR result = 0;
  const WPARAM notification = MAKEWPARAM(GetDlgCtrlID(comboBox), CBN_SELCHANGE);
  return (person.Send(comboBox, CB_SETCURSEL, static_cast<WPARAM>(index), 0, result) &&
          person.Send(GetParent(comboBox), WM_COMMAND, notification, reinterpret_cast<LPARAM>(comboBox),
                      result)) ||
         person.Fail("selecting a mode timed out");
}

// The text of one part of a status bar, as the control itself holds it.
std::u16string StatusText(DialogOperator& person, HWND statusBar, int part) {
  // SB_GETTEXTLENGTHW answers the length in its low word and the drawing
  // type in its high word; the text is copied within this process.
  DWORD_PTR answer = 0;
  if (!person.Send(statusBar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0, answer)) {
    person.Fail("reading the status bar timed out");
    return {};
  }
  std::u16string text(LOWORD(answer) + 1, u'\0');
  DWORD_PTR copied = 0;
  if (!person.Send(statusBar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()),
                   copied)) {
    person.Fail("reading the status bar timed out");
    return {};
  }
  text.resize(LOWORD(copied));
  return text;
}

// Waits (at most a minute) for the test's screenshot.
void HoldForScreenshot(const std::string& folder) {
  if (folder.empty()) return;
  std::ofstream(std::filesystem::path(folder) / "ready") << "ready\n";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!std::filesystem::exists(std::filesystem::path(folder) / "go") &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

DialogScript Behaviour(const Arguments& args) {
  return [&args](DialogOperator& person, const DialogControls& dialog) {
    Expect(person.WaitEnabled(dialog.append, true), "Append enabled for the remembered file");
    SetText(person, dialog.source, Utf16(args.folder));
    Expect(!Enabled(dialog.append), "Append disabled for a folder");
    SetText(person, dialog.source, Utf16(args.file));
    Expect(Enabled(dialog.append), "Append enabled for a file");
    Type(person, dialog.source, 0, u' ');
    Expect(person.Text(dialog.source) == u" " + Utf16(args.file), "a blank typed in front of the path");
    Expect(!Enabled(dialog.append), "Append disabled by a leading blank");
    SetText(person, dialog.source, Utf16(args.file));
    Expect(Enabled(dialog.append), "Append enabled again without the blank");

    const bool ran = person.Press(dialog.append) && person.WaitRunEnded() && person.CopyMemo(dialog.memo);
    Expect(ran && person.Transcript().find("* Done. Elapsed time") != std::string::npos, "the run completed");
    Expect(!Enabled(dialog.append), "Append disabled after the run");
    // The example holds a record the run rejects: the error pane says so.
    const std::u16string errorPane = dialog.status != nullptr ? StatusText(person, dialog.status, 0) : u"";
    std::printf("error pane: \"%s\"\n", Utf8(errorPane).c_str());
    Expect(errorPane == u"Warning: ADIF errors found", "the error pane warns of the error file");
    HoldForScreenshot(args.handshake);
    SetText(person, dialog.source, Utf16(args.otherFile));
    Expect(!Enabled(dialog.append), "Append stays disabled for another file after the run");
    Expect(SelectItem(person, dialog.mode, 2), "mode 2 chosen after the run");
    Expect(SelectItem(person, dialog.window, 3), "the 5-minute window chosen after the run");
    Expect(person.Press(dialog.close), "Close pressed");
    return failures == 0 ? 0 : 1;
  };
}

int Run(const Arguments& args) {
  ImportOptions options;
  options.file = args.file;
  options.mode = 1;
  options.module = args.module;
  options.database.path = args.database;
  const int status = RunImport(options, Behaviour(args));
  Expect(status == kExitOk, "the import command completed");
  const std::string settings = SettingsPathFor(args.database);
  Expect(SettingValue(settings, "ADIF Import", "ADIF").value_or("") == args.otherFile,
         "ADIF remembers the field's text at close");
  Expect(SettingValue(settings, "ADIF Import", "Corr").value_or("") == "2",
         "Corr remembers the mode chosen after the run");
  Expect(SettingValue(settings, "ADIF Import", "Window").value_or("") == "5",
         "Window remembers the minutes chosen after the run");
  std::printf("%d check(s) failed\n", failures);
  return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace quillet::host

int main(int argc, char** argv) {
  if (argc < 6) {
    std::fprintf(stderr, "usage: dialog_behaviour FILE FOLDER OTHER_FILE DATABASE MODULE [HANDSHAKE_DIR]\n");
    return 2;
  }
  const quillet::host::Arguments args{argv[1], argv[2], argv[3], argv[4], argv[5], argc > 6 ? argv[6] : ""};
  return quillet::host::Run(args);
}

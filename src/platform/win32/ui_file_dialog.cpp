// The common file-open dialog, centred over its owner form.
#include "platform/ui/file_dialog.h"

#include <optional>

#include "platform/ui/application.h"
#include "platform/ui/form.h"
#include "platform/win32/ui_win32.h"
// (after <windows.h>)
#include <commdlg.h>

namespace quillet::ui {
namespace {

std::optional<std::u16string> fileOpenAnswer;
bool answerSet = false;

constexpr std::size_t kFileNameUnits = 4096;

// "ADIF files|*.adif;*.adi" becomes "ADIF files\0*.adif;*.adi\0\0".
std::u16string SystemFilter(std::u16string_view filter) {
  std::u16string result(filter);
  for (char16_t& c : result) {
    if (c == u'|') c = u'\0';
  }
  result.push_back(u'\0');
  result.push_back(u'\0');
  return result;
}

std::u16string WithoutDot(std::u16string_view extension) {
  return std::u16string(!extension.empty() && extension.front() == u'.' ? extension.substr(1) : extension);
}

void CentreOver(HWND dialog, HWND owner) {
  RECT over{};
  RECT own{};
  if (owner == nullptr || !GetWindowRect(owner, &over) || !GetWindowRect(dialog, &own)) return;
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  SetWindowPos(dialog, nullptr, over.left + (over.right - over.left - width) / 2,
               over.top + (over.bottom - over.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The explorer-style hook: once the dialog is ready, centre it.
UINT_PTR CALLBACK CentringHook(HWND hook, UINT msg, WPARAM, LPARAM lParam) {
  if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_INITDONE) {
    const HWND dialog = GetParent(hook);
    CentreOver(dialog, GetWindow(dialog, GW_OWNER));
  }
  return 0;
}

HWND OwnerOf(const FileOpenDialog& dialog) {
  return dialog.Owner().HandleAllocated() ? dialog.Owner().Handle() : OwnerWindow();
}

}  // namespace

void SetFileOpenAnswer(std::optional<std::u16string> path) {
  fileOpenAnswer = std::move(path);
  answerSet = true;
}

void ClearFileOpenAnswer() {
  fileOpenAnswer.reset();
  answerSet = false;
}

bool FileOpenDialog::Execute() {
  if (answerSet) {
    if (!fileOpenAnswer) return false;
    FileName = *fileOpenAnswer;
    return true;
  }
  const std::u16string filter = SystemFilter(Filter);
  const std::u16string extension = WithoutDot(DefaultExt);
  std::u16string file = FileName.substr(0, kFileNameUnits - 1);
  file.resize(kFileNameUnits, u'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = OwnerOf(*this);
  ofn.lpstrFilter = Filter.empty() ? nullptr : win32::WideText(filter);
  ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
  ofn.lpstrFile = reinterpret_cast<wchar_t*>(file.data());
  ofn.nMaxFile = static_cast<DWORD>(kFileNameUnits);
  ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : win32::WideText(InitialDir);
  ofn.lpstrTitle = Title.empty() ? nullptr : win32::WideText(Title);
  ofn.lpstrDefExt = extension.empty() ? nullptr : win32::WideText(extension);
  ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
              OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
  ofn.lpfnHook = CentringHook;
  if (GetOpenFileNameW(&ofn) == 0) return false;
  FileName = file.c_str();
  FilterIndex = static_cast<int>(ofn.nFilterIndex);
  return true;
}

}  // namespace quillet::ui

// The event dispatch and the error box text, the same on every platform.
#include <exception>
#include <string>

#include "platform/ui/application.h"
#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet::ui {
namespace {

// The message of the exception being handled.
std::u16string CurrentErrorMessage() {
  try {
    throw;
  } catch (const Exception& error) {
    return error.Message;
  } catch (const std::exception& error) {
    return Utf8ToUtf16(error.what());
  } catch (...) {
    return u"Unknown error";
  }
}

}  // namespace

std::u16string ErrorBoxText(std::u16string_view message) {
  std::u16string text(message);
  if (!text.empty() && text.back() > u'.') text += u'.';
  return text;
}

void DispatchEvent(const std::function<void()>& handler) noexcept {
  if (!handler) return;
  try {
    handler();
  } catch (const EAbort&) {
    // The silent exception: work stopped on request, nothing to show.
  } catch (...) {
    try {
      ShowErrorBox(ErrorBoxText(CurrentErrorMessage()));
    } catch (...) {
      // Nothing is left to show the failure with; the window stays usable.
    }
  }
}

}  // namespace quillet::ui

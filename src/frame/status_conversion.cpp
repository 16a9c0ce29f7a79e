#include "frame/status_conversion.h"

#include <string_view>

#include "frame/exception_family.h"
#include "runtime/bstr.h"
#include "runtime/com_ptr.h"
#include "runtime/safe_call.h"
#include "runtime/text.h"

namespace quillet {
namespace {

constexpr HRESULT kUnexpected = static_cast<HRESULT>(0x8000FFFFu);

std::uint32_t Facility(HRESULT status) { return (static_cast<std::uint32_t>(status) >> 16) & 0x1FFF; }

HRESULT FromWin32(std::uint32_t code) {
  return code == 0 ? 0 : static_cast<HRESULT>(0x80070000u | (code & 0xFFFF));
}

// The thread's error information, taken over; all empty when there is none.
HostErrorDetails TakeThreadErrorInfo() {
  HostErrorDetails details;
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.put()) != S_OK || !info) return details;
  BString text;
  if (info->GetSource(text.put()) >= 0) details.Source = text.Text();
  if (info->GetDescription(text.put()) >= 0) details.Description = text.Text();
  if (info->GetHelpFile(text.put()) >= 0) details.HelpFile = text.Text();
  DWORD helpContext = 0;
  if (info->GetHelpContext(&helpContext) >= 0) details.HelpContext = static_cast<std::int32_t>(helpContext);
  return details;
}

HRESULT LeaveErrorInfo(const char* objectClassName, const Exception* e) {
  ComPtr<ICreateErrorInfo> created;
  if (CreateErrorInfo(created.put()) < 0 || !created) return kUnexpected;
  BString source(u"pluginsystem." + Utf8ToUtf16(objectClassName));
  created->SetSource(source.get());
  HRESULT status = kUnexpected;
  if (e != nullptr) {
    BString description(e->Message);
    created->SetDescription(description.get());
    created->SetHelpContext(static_cast<DWORD>(e->HelpContext));
    status = ExceptionToStatus(*e);
  }
  created->SetGUID(Facility(status) == 4 ? kPluginSystemErrorDomain : GUID{});
  if (const auto info = created.Query<IErrorInfo>(IID_IErrorInfo)) SetErrorInfo(0, info.get());
  return status;
}

SafeCallErrorHandlerProc previousHandler = nullptr;
bool installed = false;

}  // namespace

HRESULT ExceptionToStatus(const Exception& e) {
  if (std::string_view(e.ClassName()) == "Exception") return kUnexpected;
  if (const auto* status = dynamic_cast<const EOleSysError*>(&e)) return status->ErrorCode;
  if (const auto* system = dynamic_cast<const EOSError*>(&e)) return FromWin32(system->ErrorCode);
  return ClassErrorCode(e);
}

HRESULT HandleSafeCallException(const char* objectClassName, const Exception* e) noexcept {
  try {
    return LeaveErrorInfo(objectClassName, e);
  } catch (...) {
    return kUnexpected;
  }
}

std::unique_ptr<Exception> StatusToException(HRESULT status) {
  HostErrorDetails details = TakeThreadErrorInfo();
  if (Facility(status) == 7) {
    return std::make_unique<EOSError>(std::move(details.Description),
                                      static_cast<std::uint32_t>(status) & 0xFFFF);
  }
  if (const RecognisedClass* recognised = FindRecognisedClass(status))
    return recognised->Build(status, details);
  return std::make_unique<EOleException>(std::move(details.Description), status, std::move(details.Source),
                                         std::move(details.HelpFile), details.HelpContext);
}

void SafeCallErrorHandler(HRESULT status, void* /*address*/) {
  StatusToException(status)->Raise();
  __builtin_unreachable();  // Raise always throws; the compiler cannot see through the virtual call
}

void InstallSafeCallErrorHandler() {
  if (installed) return;
  previousHandler = GetSafeCallErrorHandler();
  SetSafeCallErrorHandler(&SafeCallErrorHandler);
  installed = true;
}

void RemoveSafeCallErrorHandler() {
  if (!installed) return;
  SetSafeCallErrorHandler(previousHandler);
  previousHandler = nullptr;
  installed = false;
}

}  // namespace quillet

#include "frame/status_conversion.h"

#include <string_view>

#include "frame/exception_family.h"
#include "runtime/bstr.h"
#include "runtime/com_ptr.h"
#include "runtime/safe_call.h"
#include "runtime/text.h"

namespace quillet {
namespace {

// E_UNEXPECTED: the status of a failure that has no status of its own.
constexpr HRESULT kUnexpected = static_cast<HRESULT>(0x8000FFFFu);

// Facility 4 is FACILITY_ITF, statuses an interface defines for itself (the
// family's class codes); 7 is FACILITY_WIN32, an operating-system error.
std::uint32_t Facility(HRESULT status) { return (static_cast<std::uint32_t>(status) >> 16) & 0x1FFF; }

// HRESULT_FROM_WIN32: 0 stays success, any other code keeps its low 16
// bits under facility 7 with the failure bit.
HRESULT FromWin32(std::uint32_t code) {
  return code == 0 ? 0 : static_cast<HRESULT>(0x80070000u | (code & 0xFFFF));
}

// The thread's error information, taken over; all empty when there is none.
HostErrorDetails TakeThreadErrorInfo() {
  HostErrorDetails details;
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.put()) != S_OK || !info) return details;
  BString text;
  // Each part is optional: an object may answer some getters and fail others,
  // and a failed one leaves its part empty rather than losing the rest.
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
  // The host shows the source as "pluginsystem.<class>", naming the module's
  // object that failed.
  BString source(u"pluginsystem." + Utf8ToUtf16(objectClassName));
  created->SetSource(source.get());
  HRESULT status = kUnexpected;
  if (e != nullptr) {
    BString description(e->Message);
    created->SetDescription(description.get());
    created->SetHelpContext(static_cast<DWORD>(e->HelpContext));
    status = ExceptionToStatus(*e);
  }
  // Only an interface-defined status needs the domain that defines it; a
  // system status is understood without one.
  created->SetGUID(Facility(status) == 4 ? kPluginSystemErrorDomain : GUID{});
  if (const auto info = created.Query<IErrorInfo>(IID_IErrorInfo)) SetErrorInfo(0, info.get());
  return status;
}

// The handler that was installed before the module's own, given back when
// the module unloads: another module in the process may have set it.
SafeCallErrorHandlerProc previousHandler = nullptr;
bool installed = false;

}  // namespace

HRESULT ExceptionToStatus(const Exception& e) {
  // The base class names no failure of its own: it has no code to derive.
  // An EOleSysError carries its status, an EOSError its system code; every
  // other class is known by the CRC of its name.
  if (std::string_view(e.ClassName()) == "Exception") return kUnexpected;
  if (const auto* status = dynamic_cast<const EOleSysError*>(&e)) return status->ErrorCode;
  if (const auto* system = dynamic_cast<const EOSError*>(&e)) return FromWin32(system->ErrorCode);
  return ClassErrorCode(e);
}

HRESULT HandleSafeCallException(const char* objectClassName, const Exception* e) noexcept {
  try {
    // Nothing may escape to the host: a failure while leaving the error
    // information (out of memory) still gives a failure status.
    return LeaveErrorInfo(objectClassName, e);
  } catch (...) {
    return kUnexpected;
  }
}

std::unique_ptr<Exception> StatusToException(HRESULT status) {
  // Taken whatever the status: the information answers this failure only and
  // must not be found by a later one.
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

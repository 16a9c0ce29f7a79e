// The exception family of the plug-in frame. Every class reports its own
// class name, and the name decides the status code the exception becomes
// at the host boundary: 0x80040000 OR the CRC-16 of the name. A host
// failure status comes back as the class whose code it is, so the classes
// below are raised under their own names and must keep them.
#pragma once

#include <quillet/ole.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "runtime/exceptions.h"
#include "runtime/text.h"

namespace quillet {

// 0x80040000 OR the CRC-16/XMODEM of the class name.
HRESULT ClassErrorCode(std::string_view className);
HRESULT ClassErrorCode(const Exception& object);

// The root of the module's own classes: ErrorCode is the class code of the
// class actually built, HelpContext is 0. Each descendant passes its own
// code up, as a base constructor cannot see the name of the class being
// built.
class EBaseException : public EOleSysError {
 public:
  explicit EBaseException(std::u16string message)
      : EBaseException(std::move(message), ClassCode{ClassErrorCode("EBaseException")}) {}
  // The message is format with its "%s" and "%d" replaced by args.
  EBaseException(std::u16string_view format, std::initializer_list<FormatArg> args)
      : EBaseException(FormatText(format, args)) {}
  QUILLET_EXCEPTION_IDENTITY(EBaseException)

 protected:
  struct ClassCode {
    HRESULT value;
  };
  EBaseException(std::u16string message, ClassCode code) : EOleSysError(std::move(message), code.value, 0) {}
};

#define QUILLET_DECLARE_BASE_EXCEPTION(Name, Base)                                                        \
  class Name : public Base {                                                                              \
   public:                                                                                                \
    explicit Name(std::u16string message) : Base(std::move(message), ClassCode{ClassErrorCode(#Name)}) {} \
    Name(std::u16string_view format, std::initializer_list<FormatArg> args)                               \
        : Name(FormatText(format, args)) {}                                                               \
    QUILLET_EXCEPTION_IDENTITY(Name)                                                                      \
                                                                                                          \
   protected:                                                                                             \
    Name(std::u16string message, ClassCode code) : Base(std::move(message), code) {}                      \
  };

QUILLET_DECLARE_BASE_EXCEPTION(ECheckedInterfacedObjectError, EBaseException)
QUILLET_DECLARE_BASE_EXCEPTION(ECheckedInterfacedObjectDeleteError, ECheckedInterfacedObjectError)
QUILLET_DECLARE_BASE_EXCEPTION(ECheckedInterfacedObjectDoubleFreeError, ECheckedInterfacedObjectError)
QUILLET_DECLARE_BASE_EXCEPTION(ECheckedInterfacedObjectUseDeletedError, ECheckedInterfacedObjectError)
QUILLET_DECLARE_BASE_EXCEPTION(EInvalidCoreVersion, EBaseException)
QUILLET_DECLARE_BASE_EXCEPTION(EUnsupportedCore, EBaseException)

// The runtime library's standard classes that a host may report by status,
// beyond those of runtime/exceptions.h.
QUILLET_DECLARE_EXCEPTION(EStreamError, Exception)
QUILLET_DECLARE_EXCEPTION(EFilerError, EStreamError)
QUILLET_DECLARE_EXCEPTION(EReadError, EFilerError)
QUILLET_DECLARE_EXCEPTION(EWriteError, EFilerError)
QUILLET_DECLARE_EXCEPTION(EClassNotFound, EFilerError)
QUILLET_DECLARE_EXCEPTION(EMethodNotFound, EFilerError)
QUILLET_DECLARE_EXCEPTION(EInvalidImage, EFilerError)
QUILLET_DECLARE_EXCEPTION(EFileStreamError, EStreamError)
QUILLET_DECLARE_EXCEPTION(EFCreateError, EFileStreamError)
QUILLET_DECLARE_EXCEPTION(EFOpenError, EFileStreamError)
QUILLET_DECLARE_EXCEPTION(EResNotFound, Exception)
QUILLET_DECLARE_EXCEPTION(EHeapException, Exception)
QUILLET_DECLARE_EXCEPTION(EOutOfMemory, EHeapException)
QUILLET_DECLARE_EXCEPTION(EOutOfResources, EOutOfMemory)
QUILLET_DECLARE_EXCEPTION(EInvalidPointer, EHeapException)
QUILLET_DECLARE_EXCEPTION(EArgumentException, Exception)
QUILLET_DECLARE_EXCEPTION(EArgumentOutOfRangeException, EArgumentException)
QUILLET_DECLARE_EXCEPTION(EDirectoryNotFoundException, EInOutError)
QUILLET_DECLARE_EXCEPTION(EFileNotFoundException, EInOutError)
QUILLET_DECLARE_EXCEPTION(EPathTooLongException, EInOutError)
QUILLET_DECLARE_EXCEPTION(EListError, Exception)
QUILLET_DECLARE_EXCEPTION(EStringListError, Exception)
QUILLET_DECLARE_EXCEPTION(EBitsError, Exception)
QUILLET_DECLARE_EXCEPTION(EComponentError, Exception)
QUILLET_DECLARE_EXCEPTION(EParserError, Exception)
QUILLET_DECLARE_EXCEPTION(EIntfCastError, Exception)
QUILLET_DECLARE_EXCEPTION(EInvalidCast, Exception)
QUILLET_DECLARE_EXCEPTION(EInvalidContainer, Exception)
QUILLET_DECLARE_EXCEPTION(EInvalidInsert, Exception)
QUILLET_DECLARE_EXCEPTION(EInvalidOperation, Exception)
QUILLET_DECLARE_EXCEPTION(EProgrammerNotFound, Exception)
QUILLET_DECLARE_EXCEPTION(EPropReadOnly, Exception)
QUILLET_DECLARE_EXCEPTION(EPropWriteOnly, Exception)
QUILLET_DECLARE_EXCEPTION(EMonitor, Exception)
QUILLET_DECLARE_EXCEPTION(EMonitorLockException, Exception)
QUILLET_DECLARE_EXCEPTION(ENoMonitorSupportException, Exception)
QUILLET_DECLARE_EXCEPTION(EAbstractError, Exception)
QUILLET_DECLARE_EXCEPTION(EVariantError, Exception)
QUILLET_DECLARE_EXCEPTION(ENoConstructException, Exception)
QUILLET_DECLARE_EXCEPTION(ENotSupportedException, Exception)
QUILLET_DECLARE_EXCEPTION(EPackageError, Exception)

// The texts a host sees when the module refuses it.
inline constexpr char16_t kUnsupportedCoreMessage[] =
    u"Host does not support required functionality.\r\nUpgrade your application to latest version.";
inline constexpr char16_t kNoWindowsSupportMessage[] = u"This plugin needs windows support.";
// The runtime's text for a null pointer where an object was required.
inline constexpr char16_t kInvalidPointerMessage[] = u"Invalid pointer operation";

// What a host's error information says about a failure.
struct HostErrorDetails {
  std::u16string Source;
  std::u16string Description;
  std::u16string HelpFile;
  std::int32_t HelpContext = 0;
};

// A class a failure status can name: one whose class code is the status.
struct RecognisedClass {
  const char* Name;
  HRESULT Code;
  std::unique_ptr<Exception> (*Build)(HRESULT status, const HostErrorDetails& details);
};

// The 50 recognised classes, each with its code.
std::span<const RecognisedClass> RecognisedClasses();
// The recognised class whose code is status; null when there is none.
const RecognisedClass* FindRecognisedClass(HRESULT status);

}  // namespace quillet

#include "frame/exception_family.h"

#include <array>
#include <type_traits>

#include "frame/crc16.h"

namespace quillet {
namespace {

// A failure status rebuilt as class E: the description is the message; a
// class of the status family also takes the status and the help context.
template <class E>
std::unique_ptr<Exception> BuildFromStatus(HRESULT status, const HostErrorDetails& details) {
  auto result = std::make_unique<E>(details.Description);
  if constexpr (std::is_base_of_v<EOleSysError, E>) {
    result->ErrorCode = status;
    result->HelpContext = details.HelpContext;
  }
  return result;
}

#define QUILLET_RECOGNISED(Name) \
  RecognisedClass { #Name, ClassErrorCode(#Name), &BuildFromStatus < Name> }

const std::array<RecognisedClass, 50>& RecognisedTable() {
  static const std::array<RecognisedClass, 50> table = {
      QUILLET_RECOGNISED(EFilerError),
      QUILLET_RECOGNISED(EIntfCastError),
      QUILLET_RECOGNISED(EArgumentOutOfRangeException),
      QUILLET_RECOGNISED(EInvalidContainer),
      QUILLET_RECOGNISED(EStreamError),
      QUILLET_RECOGNISED(EResNotFound),
      QUILLET_RECOGNISED(EInvalidOperation),
      QUILLET_RECOGNISED(EProgrammerNotFound),
      QUILLET_RECOGNISED(EPropWriteOnly),
      QUILLET_RECOGNISED(EConvertError),
      QUILLET_RECOGNISED(EMonitor),
      QUILLET_RECOGNISED(EDirectoryNotFoundException),
      QUILLET_RECOGNISED(EClassNotFound),
      QUILLET_RECOGNISED(ECheckedInterfacedObjectError),
      QUILLET_RECOGNISED(EOutOfMemory),
      QUILLET_RECOGNISED(EStringListError),
      QUILLET_RECOGNISED(EMonitorLockException),
      QUILLET_RECOGNISED(EAbstractError),
      QUILLET_RECOGNISED(ECheckedInterfacedObjectDeleteError),
      QUILLET_RECOGNISED(EInvalidImage),
      QUILLET_RECOGNISED(EBitsError),
      QUILLET_RECOGNISED(EHeapException),
      QUILLET_RECOGNISED(EInvalidPointer),
      QUILLET_RECOGNISED(EFileStreamError),
      QUILLET_RECOGNISED(EAssertionFailed),
      QUILLET_RECOGNISED(EReadError),
      QUILLET_RECOGNISED(EFCreateError),
      QUILLET_RECOGNISED(ECheckedInterfacedObjectDoubleFreeError),
      QUILLET_RECOGNISED(EVariantError),
      QUILLET_RECOGNISED(EInvalidInsert),
      QUILLET_RECOGNISED(EParserError),
      QUILLET_RECOGNISED(EMethodNotFound),
      QUILLET_RECOGNISED(ENoConstructException),
      QUILLET_RECOGNISED(EFileNotFoundException),
      QUILLET_RECOGNISED(ENotSupportedException),
      QUILLET_RECOGNISED(EWriteError),
      QUILLET_RECOGNISED(EArgumentException),
      QUILLET_RECOGNISED(EFOpenError),
      QUILLET_RECOGNISED(EAbort),
      QUILLET_RECOGNISED(EPropReadOnly),
      QUILLET_RECOGNISED(ENoMonitorSupportException),
      QUILLET_RECOGNISED(EPathTooLongException),
      QUILLET_RECOGNISED(EOutOfResources),
      QUILLET_RECOGNISED(EPackageError),
      QUILLET_RECOGNISED(ECheckedInterfacedObjectUseDeletedError),
      QUILLET_RECOGNISED(EInvalidCoreVersion),
      QUILLET_RECOGNISED(EComponentError),
      QUILLET_RECOGNISED(EInOutError),
      QUILLET_RECOGNISED(EInvalidCast),
      QUILLET_RECOGNISED(EListError),
  };
  return table;
}

#undef QUILLET_RECOGNISED

}  // namespace

HRESULT ClassErrorCode(std::string_view className) {
  return static_cast<HRESULT>(0x80040000u | Crc16(className.data(), className.size()));
}

HRESULT ClassErrorCode(const Exception& object) { return ClassErrorCode(object.ClassName()); }

std::span<const RecognisedClass> RecognisedClasses() { return RecognisedTable(); }

const RecognisedClass* FindRecognisedClass(HRESULT status) {
  for (const RecognisedClass& entry : RecognisedTable()) {
    if (entry.Code == status) return &entry;
  }
  return nullptr;
}

}  // namespace quillet

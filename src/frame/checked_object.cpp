#include "frame/checked_object.h"

#include <cstdint>

#include "frame/exception_family.h"
#include "runtime/text.h"

namespace quillet {
namespace {

constexpr std::size_t kObjectNameLimit = 99;

// Object names are ASCII (an address and a class name), kept narrow; the
// messages that carry them are UTF-16.
std::u16string Name16(const std::string& objectName) { return Utf8ToUtf16(objectName); }

}  // namespace

std::string FormatObjectName(const void* address, std::string_view className) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  auto value = reinterpret_cast<std::uintptr_t>(address);
  // Filled from the last digit backwards, so that the leading zeros of a
  // low address stay and every name has the same width.
  std::string hex(sizeof(std::uintptr_t) * 2, '0');
  for (auto digit = hex.rbegin(); digit != hex.rend(); ++digit, value >>= 4) *digit = kDigits[value & 0xF];
  std::string name = "[$" + hex + "] ";
  name.append(className);
  if (name.size() > kObjectNameLimit) name.resize(kObjectNameLimit);
  return name;
}

TCheckedInterfacedObject::TCheckedInterfacedObject(const char* className)
    : className_(className), objectName_(FormatObjectName(this, className)) {}

std::int32_t TCheckedInterfacedObject::CheckedAddRef() {
  // During destruction the count is the deleted mark: an AddRef then (from
  // code the destructor calls) is refused by name instead of reviving an
  // object that is going.
  if (refCount_.load() < 0)
    throw ECheckedInterfacedObjectUseDeletedError(kUseDeletedErrorMessage, {Name16(objectName_)});
  return ++refCount_;
}

std::int32_t TCheckedInterfacedObject::CheckedRelease() {
  const std::int32_t left = --refCount_;
  if (left == 0) Destroy();
  return left;
}

// Checked before the mark is set: the mark itself is what a second
// destruction finds.
void TCheckedInterfacedObject::BeforeDestruction() {
  const std::int32_t count = refCount_.load();
  if (count < 0)
    throw ECheckedInterfacedObjectDoubleFreeError(kDoubleFreeErrorMessage, {Name16(objectName_)});
  if (count != 0)
    throw ECheckedInterfacedObjectDeleteError(kDeleteErrorMessage, {Name16(objectName_), count});
  refCount_ = -1;
}

void TCheckedInterfacedObject::Destroy() {
  BeforeDestruction();
  try {
    DestructorBody();
  } catch (...) {
    // The storage goes whatever DestructorBody raised: a half-destroyed object
    // is of no use to anyone, and the exception still reports the failure.
    delete this;
    throw;
  }
  delete this;
}

ULONG TCheckedInterfacedObject::BoundaryAddRef() noexcept {
  // A refused AddRef answers the count as it was: the caller's reference was
  // not taken.
  std::int32_t count = RefCount();
  Guard([&] { count = CheckedAddRef(); });
  return static_cast<ULONG>(count);
}

ULONG TCheckedInterfacedObject::BoundaryRelease() noexcept {
  std::int32_t count = 0;
  Guard([&] { count = CheckedRelease(); });
  return static_cast<ULONG>(count);
}

HRESULT TCheckedInterfacedObject::BoundaryQueryInterface(
    REFIID iid, void** object, std::initializer_list<InterfaceEntry> entries) noexcept {
  if (object == nullptr) return E_POINTER;
  // Cleared before anything can fail: COM's rule is that a failed query
  // leaves null behind, and callers release what they get.
  *object = nullptr;
  IUnknown* found = FindInterface(iid, entries);
  if (found == nullptr) return E_NOINTERFACE;
  return Guard([&] {
    CheckedAddRef();
    *object = found;
  });
}

HRESULT TCheckedInterfacedObject::SafeCallException(const Exception* e) const noexcept {
  return HandleSafeCallException(className_, e);
}

}  // namespace quillet

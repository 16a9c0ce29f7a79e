// TCheckedInterfacedObject: the reference-counted base of objects the host
// holds. It turns misuse of the reference count into named exceptions.
//
// RefCount is 1 while the object is being built and drops to 0 once
// NewChecked has built it, so the first reference taken makes it 1. When
// Release brings it to 0 the object destroys itself. From the start of
// destruction on it is -1, the deleted mark: an AddRef or a second
// destruction then raises.
//
// The host reaches AddRef and Release through an interface, where nothing
// may be raised; BoundaryAddRef and BoundaryRelease report misuse as the
// thread's error information instead.
#pragma once

#include <quillet/ole.h>

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "frame/boundary.h"

namespace quillet {

inline constexpr char16_t kDeleteErrorMessage[] =
    u"Object deletion attempt %s with active interface link; counter: %d";
inline constexpr char16_t kDoubleFreeErrorMessage[] = u"Object deletion attempt with just deleted one %s";
inline constexpr char16_t kUseDeletedErrorMessage[] = u"Usage attempt with just deleted object %s";

// "[$" + address in upper-case hexadecimal, as wide as a pointer, + "] " +
// class name, cut to 99 characters.
std::string FormatObjectName(const void* address, std::string_view className);

class TCheckedInterfacedObject {
 public:
  TCheckedInterfacedObject(const TCheckedInterfacedObject&) = delete;
  TCheckedInterfacedObject& operator=(const TCheckedInterfacedObject&) = delete;

  const char* ClassName() const { return className_; }
  const std::string& ObjectName() const { return objectName_; }
  std::int32_t RefCount() const { return refCount_.load(); }

  // Raises ECheckedInterfacedObjectUseDeletedError on a deleted object.
  std::int32_t CheckedAddRef();
  // Destroys the object when the count reaches 0.
  std::int32_t CheckedRelease();
  // Ordinary destruction: BeforeDestruction, DestructorBody, then the
  // storage is released (also when DestructorBody raises, which then
  // continues).
  void Destroy();

  ULONG BoundaryAddRef() noexcept;
  ULONG BoundaryRelease() noexcept;
  // Answers the given interfaces with a counted reference; others with
  // E_NOINTERFACE.
  HRESULT BoundaryQueryInterface(REFIID iid, void** object,
                                 std::initializer_list<InterfaceEntry> entries) noexcept;

  // Status and error information for an exception leaving a method of
  // this object.
  HRESULT SafeCallException(const Exception* e) const noexcept;
  // Runs body under the boundary guard of this object.
  template <class F>
  HRESULT Guard(F&& body) const noexcept {
    return Guarded(className_, std::forward<F>(body));
  }

 protected:
  // className must live as long as the object (a literal).
  explicit TCheckedInterfacedObject(const char* className);
  virtual ~TCheckedInterfacedObject() = default;

  // Refuses a deleted object or one still referenced, then sets the mark.
  void BeforeDestruction();
  // The part of destruction that may raise; runs with the deleted mark set.
  virtual void DestructorBody() {}

 private:
  template <class T, class... Args>
  friend T* NewChecked(Args&&... args);
  void AfterConstruction() { --refCount_; }

  std::atomic<std::int32_t> refCount_{1};
  const char* className_;
  std::string objectName_;
};

// Builds a checked object; its count is 0 until someone takes a reference.
template <class T, class... Args>
T* NewChecked(Args&&... args) {
  T* object = new T(std::forward<Args>(args)...);
  object->AfterConstruction();
  return object;
}

}  // namespace quillet

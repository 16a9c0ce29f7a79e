// ComPtr holds one counted reference to an interface.
#pragma once

#include <quillet/ole.h>

#include <utility>

namespace quillet {

template <class T>
// Interfaces carry no virtual destructor: the only way to let go of one is
// Release(), and every path here calls it exactly once per AddRef.
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}  // NOLINT: implicit like a raw null
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr& other) : ptr_(other.ptr_) {
    if (ptr_ != nullptr) ptr_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(const ComPtr& other) {
    // AddRef before Release: releasing first could destroy the object
    // when other's reference is held, directly or not, by it.
    if (this != &other) {
      ComPtr copy(other);
      swap(copy);
    }
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      ptr_ = std::exchange(other.ptr_, nullptr);
    }
    return *this;
  }

  // Adds a reference of its own to a borrowed pointer.
  static ComPtr Borrow(T* ptr) {
    ComPtr result;
    result.ptr_ = ptr;
    if (ptr != nullptr) ptr->AddRef();
    return result;
  }
  // Takes over a reference someone already counted for us.
  static ComPtr Adopt(T* ptr) {
    ComPtr result;
    result.ptr_ = ptr;
    return result;
  }

  T* get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }

  // For out parameters: releases what is held before handing out the address.
  T** put() {
    reset();
    return &ptr_;
  }
  // For by-reference parameters: the callee may change or clear the variable.
  T** inOut() { return &ptr_; }

  T* detach() { return std::exchange(ptr_, nullptr); }
  void reset() {
    if (T* old = std::exchange(ptr_, nullptr)) old->Release();
  }
  void swap(ComPtr& other) noexcept { std::swap(ptr_, other.ptr_); }

  // Asks for another interface of the same object; empty when it has none.
  template <class U>
  ComPtr<U> Query(REFIID iid) const {
    ComPtr<U> result;
    if (ptr_ != nullptr && ptr_->QueryInterface(iid, reinterpret_cast<void**>(result.put())) < 0) {
      // A failed QueryInterface may still have written its out parameter;
      // that value is not a counted reference and must not be released.
      result.detach();
    }
    return result;
  }

 private:
  T* ptr_ = nullptr;
};

}  // namespace quillet

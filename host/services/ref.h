// Reference ownership for the host: Ref<T> holds one reference to an
// interface; RefCounted<...> is the one base that counts references to the
// host's own objects and deletes them at zero.
#pragma once

#include <quillet/ole.h>

#include <atomic>
#include <utility>

namespace quillet::host {

template <class T>
class Ref {
 public:
  Ref() = default;
  // Takes over a reference the caller owns.
  static Ref Adopt(T* object) {
    Ref ref;
    ref.object_ = object;
    return ref;
  }
  // Adds a reference of its own.
  static Ref Borrow(T* object) {
    if (object) object->AddRef();
    return Adopt(object);
  }
  Ref(const Ref& other) : object_(other.object_) {
    if (object_) object_->AddRef();
  }
  Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  Ref& operator=(Ref other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~Ref() { reset(); }

  void reset() {
    if (T* old = std::exchange(object_, nullptr)) old->Release();
  }
  // Releases the old reference first, then hands out the slot.
  T** put() {
    reset();
    return &object_;
  }
  T* get() const { return object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

  template <class U>
  Ref<U> Query(const IID& iid) const {
    Ref<U> other;
    if (object_) object_->QueryInterface(iid, reinterpret_cast<void**>(other.put()));
    return other;
  }

 private:
  T* object_ = nullptr;
};

// Implements IUnknown once for an object of the host that offers one
// interface. Created only through MakeRef, so that every object lives on the
// heap and is owned by references.
template <class Interface>
class RefCounted : public Interface {
 public:
  RefCounted(const RefCounted&) = delete;
  RefCounted& operator=(const RefCounted&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == OwnIid()) {
      AddRef();
      *object = static_cast<Interface*>(this);
      return S_OK;
    }
    return QueryOther(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++count_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --count_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  explicit RefCounted(const IID& iid) : iid_(iid) {}
  virtual ~RefCounted() = default;
  // Interfaces reached from this one besides its own.
  virtual HRESULT QueryOther(REFIID, void**) { return E_NOINTERFACE; }

 private:
  const IID& OwnIid() const { return iid_; }

  const IID& iid_;
  std::atomic<ULONG> count_{0};
};

template <class T, class... Args>
Ref<T> MakeRef(Args&&... args) {
  return Ref<T>::Borrow(new T(std::forward<Args>(args)...));
}

}  // namespace quillet::host

// The stand-in for the system's OLE automation library off Windows.
#include <quillet/ole.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Counted across threads: hosts may allocate strings on other threads than
// the module's.
std::atomic<std::int64_t> liveStrings{0};

// Layout of one allocation: [uint32 byte length][units...][uint16 zero].
constexpr std::size_t kPrefix = sizeof(std::uint32_t);

std::uint32_t* PrefixOf(BSTR text) {
  return reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(text) - kPrefix);
}

// A null text leaves the units for the caller to fill, as
// SysAllocStringLen does; only the terminating zero is written.
BSTR Allocate(const OLECHAR* text, UINT length) {
  const std::size_t bytes = static_cast<std::size_t>(length) * sizeof(OLECHAR);
  char* block = static_cast<char*>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
  if (block == nullptr) return nullptr;
  const auto byteLength = static_cast<std::uint32_t>(bytes);
  std::memcpy(block, &byteLength, kPrefix);
  BSTR result = reinterpret_cast<BSTR>(block + kPrefix);
  if (text != nullptr && length > 0) std::memmove(result, text, bytes);
  result[length] = 0;
  ++liveStrings;
  return result;
}

// One object behind both interfaces, as OLE's: whoever fills it through
// ICreateErrorInfo hands the same object on as IErrorInfo.
class ErrorInfo final : public IErrorInfo, public ICreateErrorInfo {
 public:
  ~ErrorInfo() {
    SysFreeString(source_);
    SysFreeString(description_);
    SysFreeString(helpFile_);
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IErrorInfo) {
      *object = static_cast<IErrorInfo*>(this);
    } else if (iid == IID_ICreateErrorInfo) {
      *object = static_cast<ICreateErrorInfo*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) override {
    if (guid == nullptr) return E_INVALIDARG;
    *guid = guid_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetSource(BSTR* source) override { return Copy(source_, source); }
  HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) override {
    return Copy(description_, description);
  }
  HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* helpFile) override { return Copy(helpFile_, helpFile); }
  HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* helpContext) override {
    if (helpContext == nullptr) return E_INVALIDARG;
    *helpContext = helpContext_;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE SetGUID(REFGUID guid) override {
    guid_ = guid;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetSource(LPOLESTR source) override { return Replace(source_, source); }
  HRESULT STDMETHODCALLTYPE SetDescription(LPOLESTR description) override {
    return Replace(description_, description);
  }
  HRESULT STDMETHODCALLTYPE SetHelpFile(LPOLESTR helpFile) override { return Replace(helpFile_, helpFile); }
  HRESULT STDMETHODCALLTYPE SetHelpContext(DWORD helpContext) override {
    helpContext_ = helpContext;
    return S_OK;
  }

 private:
  // Each getter hands out a copy the caller frees; the object keeps its own.
  static HRESULT Copy(BSTR from, BSTR* to) {
    if (to == nullptr) return E_INVALIDARG;
    *to = from == nullptr ? nullptr : SysAllocStringLen(from, SysStringLen(from));
    return S_OK;
  }
  // The setters take zero-terminated text, as OLE's do.
  static HRESULT Replace(BSTR& field, LPOLESTR text) {
    SysFreeString(field);
    field = text == nullptr ? nullptr : SysAllocString(text);
    return S_OK;
  }

  // Starts at one: CreateErrorInfo hands the first reference to its caller.
  std::atomic<ULONG> refs_{1};
  GUID guid_{};
  BSTR source_ = nullptr;
  BSTR description_ = nullptr;
  BSTR helpFile_ = nullptr;
  DWORD helpContext_ = 0;
};

// Per thread, as on Windows: an error left by one thread's failed call must
// not be taken by another thread's caller.
thread_local IErrorInfo* threadErrorInfo = nullptr;

// Releases what a thread left behind when it ends.
struct ThreadErrorInfoReleaser {
  ~ThreadErrorInfoReleaser() {
    if (threadErrorInfo != nullptr) threadErrorInfo->Release();
    threadErrorInfo = nullptr;
  }
};
thread_local ThreadErrorInfoReleaser threadErrorInfoReleaser;

}  // namespace

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) { return Allocate(text, length); }

BSTR SysAllocString(const OLECHAR* text) {
  if (text == nullptr) return nullptr;
  UINT length = 0;
  while (text[length] != 0) ++length;
  return Allocate(text, length);
}

void SysFreeString(BSTR text) {
  if (text == nullptr) return;
  --liveStrings;
  std::free(reinterpret_cast<char*>(text) - kPrefix);
}

UINT SysStringLen(BSTR text) { return text == nullptr ? 0 : *PrefixOf(text) / sizeof(OLECHAR); }

HRESULT CreateErrorInfo(ICreateErrorInfo** created) {
  if (created == nullptr) return E_INVALIDARG;
  auto* info = new (std::nothrow) ErrorInfo;
  if (info == nullptr) {
    *created = nullptr;
    return E_OUTOFMEMORY;
  }
  *created = info;
  return S_OK;
}

HRESULT SetErrorInfo(ULONG /*reserved*/, IErrorInfo* info) {
  // Touching the releaser makes sure this thread's one is constructed, and
  // so destroyed, with the thread.
  (void)threadErrorInfoReleaser;
  // AddRef before Release, in case info is already the one held.
  if (info != nullptr) info->AddRef();
  if (threadErrorInfo != nullptr) threadErrorInfo->Release();
  threadErrorInfo = info;
  return S_OK;
}

HRESULT GetErrorInfo(ULONG /*reserved*/, IErrorInfo** info) {
  if (info == nullptr) return E_INVALIDARG;
  // Taken, not copied: error information answers one failure only, and a
  // later call that fails without leaving any must not find this one.
  *info = threadErrorInfo;
  threadErrorInfo = nullptr;
  return *info == nullptr ? S_FALSE : S_OK;
}

std::int64_t QuilletOleLiveStrings() { return liveStrings.load(); }

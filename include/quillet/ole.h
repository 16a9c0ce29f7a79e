// The OLE automation services the module and its host share: the system
// string type (BSTR) with its allocator, and per-thread error information.
//
// On Windows these come from oleaut32. Elsewhere the library quillet_oleaut
// stands in for it with the same layout and the same rules, so that the
// module and every host allocate and free through one allocator:
//
//  * A BSTR points to UTF-16 code units. A 32-bit length in bytes sits just
//    before the first unit and a 16-bit zero just after the last. A null
//    BSTR is the empty string.
//  * Whoever allocates a BSTR may hand it to the other side, which frees it
//    with SysFreeString. QuilletOleLiveStrings() counts the strings
//    allocated and not yet freed, so tests can prove that none leak.
//  * Error information belongs to the calling thread. SetErrorInfo replaces
//    it (taking a reference), GetErrorInfo hands it out (the caller then
//    owns that reference) and clears it; with none set it answers S_FALSE.
#pragma once

#include <cstdint>

#ifdef _WIN32

// <windows.h> first: <oleauto.h> relies on what it declares.
#include <windows.h>

#include <oleauto.h>

#else

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using OLECHAR = char16_t;
using BSTR = OLECHAR*;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using UINT = std::uint32_t;

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
using IID = GUID;
using REFIID = const IID&;
using REFGUID = const GUID&;

inline bool operator==(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i) {
    if (a.Data4[i] != b.Data4[i]) return false;
  }
  return true;
}
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }

#define STDMETHODCALLTYPE

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

// {00000000-0000-0000-C000-000000000046}
struct IUnknown {
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;
};

// {1CF2B120-547D-101B-8E65-08002B2BD119}
struct IErrorInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSource(BSTR* source) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* helpFile) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* helpContext) = 0;
};

// {22F03340-547D-101B-8E65-08002B2BD119}
struct ICreateErrorInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetGUID(REFGUID guid) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetSource(LPOLESTR source) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDescription(LPOLESTR description) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetHelpFile(LPOLESTR helpFile) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetHelpContext(DWORD helpContext) = 0;
};

inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IErrorInfo = {
    0x1CF2B120, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
inline constexpr IID IID_ICreateErrorInfo = {
    0x22F03340, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};

#if defined(QUILLET_OLEAUT_BUILD)
#define QUILLET_OLEAUT_API extern "C" __attribute__((visibility("default")))
#else
#define QUILLET_OLEAUT_API extern "C"
#endif

QUILLET_OLEAUT_API BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
QUILLET_OLEAUT_API BSTR SysAllocString(const OLECHAR* text);
QUILLET_OLEAUT_API void SysFreeString(BSTR text);
QUILLET_OLEAUT_API UINT SysStringLen(BSTR text);

QUILLET_OLEAUT_API HRESULT CreateErrorInfo(ICreateErrorInfo** created);
QUILLET_OLEAUT_API HRESULT SetErrorInfo(ULONG reserved, IErrorInfo* info);
QUILLET_OLEAUT_API HRESULT GetErrorInfo(ULONG reserved, IErrorInfo** info);

// Strings allocated and not yet freed, over the whole process.
QUILLET_OLEAUT_API std::int64_t QuilletOleLiveStrings();

#endif

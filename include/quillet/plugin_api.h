// The contract between the logging host and its plug-in modules.
//
// Ownership at this boundary, on both sides:
//
//  * Every method returns a 32-bit status: negative is failure, zero or
//    positive success (the module returns 0). A logical result comes back
//    through the last parameter. A failing method may leave error
//    information for the calling thread (see quillet/ole.h).
//  * Strings are BSTRs from the shared system allocator.
//      - In parameter (BSTR): owned by the caller and only read during the
//        call. It may be a constant that was never allocated, so the callee
//        never frees or keeps it; it copies what it wants to keep.
//      - Out parameter (BSTR*): the caller passes the address of a variable
//        holding null; the callee stores a newly allocated string; the
//        caller frees it.
//      - By-reference parameter (BSTR* named "inOut"): the variable may
//        already hold a string; the callee frees what was there and stores
//        a newly allocated one.
//  * Interface references: an in parameter is borrowed for the call (the
//    callee adds a reference if it keeps one); an out parameter receives a
//    reference the caller must release; a by-reference parameter passes the
//    address of the caller's variable.
//  * Integers and flags are 32-bit; a flag is false when 0 and true
//    otherwise, and the module passes -1 for true. Date parts are 16-bit
//    unsigned. Window and icon handles are 32-bit on the 32-bit host and
//    pointer-sized on 64-bit Windows (HWND, HICON); query handles stay
//    32-bit integers on both.
//
// Interfaces are tables of function pointers in slot order: slots 0 to 2
// are IUnknown's, an interface's own methods follow from slot 3 in
// declaration order. Slots the module never calls are declared as
// placeholders so that every later slot keeps its position.
#pragma once

#include <quillet/ole.h>

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define QUILLET_STDCALL __stdcall
#else
#define QUILLET_STDCALL
#endif

#define QUILLET_METHOD virtual HRESULT QUILLET_STDCALL
// A slot the module never calls; a host may leave it as it is.
#define QUILLET_PLACEHOLDER(slot) \
  virtual HRESULT QUILLET_STDCALL Unused##slot() { return E_NOTIMPL; }

namespace quillet {

#ifdef _WIN32
using WindowHandle = HWND;
using IconHandle = HICON;
#else
using WindowHandle = std::uint32_t;
using IconHandle = std::uint32_t;
#endif

using QueryHandle = std::int32_t;
using Flag = std::int32_t;
inline constexpr Flag kTrue = -1;
inline constexpr Flag kFalse = 0;

// The lowest host version the module accepts (1.04.019).
inline constexpr std::int32_t kLowestHostVersion = 104019;

inline constexpr IID IID_ICore = {
    0x2E4C1D23, 0x873E, 0x494D, {0xB6, 0x28, 0x65, 0xBC, 0xC0, 0xA5, 0x47, 0xA7}};
inline constexpr IID IID_IHostKernel = {
    0x4188E8AA, 0xAC3A, 0x4398, {0xBE, 0xCF, 0x2B, 0x64, 0x44, 0x74, 0xBE, 0xD4}};
inline constexpr IID IID_IHostServer = {
    0x3ECC8EDB, 0x00C3, 0x42E6, {0x9F, 0x83, 0xCC, 0x06, 0x6A, 0x5B, 0x19, 0x4C}};
inline constexpr IID IID_IApplicationWindows = {
    0x2EE5EF53, 0x6EA9, 0x4537, {0xA7, 0xC3, 0x23, 0x3E, 0xD9, 0xD3, 0x91, 0x08}};
inline constexpr IID IID_IApplicationIcons = {
    0x2EF25A6A, 0xF584, 0x469C, {0xB9, 0xF1, 0xAA, 0x35, 0xEA, 0x04, 0xCC, 0x40}};
inline constexpr IID IID_IMenuManager = {
    0x32FBAF60, 0xBCD8, 0x444E, {0xBD, 0x14, 0xE8, 0x67, 0x26, 0x04, 0x1C, 0xD1}};
inline constexpr IID IID_IMenuItem = {
    0x37138407, 0x0C6F, 0x448B, {0xB1, 0x84, 0x34, 0xF1, 0xCD, 0x63, 0x8B, 0x85}};
inline constexpr IID IID_IPlugin = {
    0x16AB27D6, 0xDD64, 0x4CCE, {0xB3, 0xE5, 0xEC, 0xBC, 0xE7, 0xC7, 0x40, 0x1A}};
inline constexpr IID IID_IDestroyNotify = {
    0xE55338C1, 0x631A, 0x424D, {0xAC, 0xF7, 0x86, 0x3C, 0x9D, 0x4C, 0xAD, 0xA1}};
inline constexpr IID IID_INotifyEvent = {
    0xA6435676, 0xACE3, 0x4A28, {0x83, 0x58, 0x72, 0x0C, 0xEA, 0x49, 0x5F, 0xFA}};

// Host side.

struct ICore : IUnknown {
  QUILLET_METHOD GetVersion(std::int32_t* version) = 0;  // 3
};

struct IHostKernel : IUnknown {
  QUILLET_METHOD AddLogLine(BSTR text) = 0;               // 3
  QUILLET_METHOD ShowError(BSTR text, BSTR caption) = 0;  // 4
  QUILLET_METHOD ShowMessageBox(BSTR text, BSTR caption, std::int32_t kind, std::uint32_t buttons,
                                std::int32_t* result) = 0;  // 5
  QUILLET_PLACEHOLDER(6)
  QUILLET_PLACEHOLDER(7)
  QUILLET_PLACEHOLDER(8)
  QUILLET_METHOD SendCommand(BSTR command, BSTR parameter) = 0;  // 9
  QUILLET_METHOD GetVariable(BSTR name, BSTR* value) = 0;        // 10
};

struct IHostServer : IUnknown {
  QUILLET_METHOD GetRecordCount(BSTR table, std::int32_t* count) = 0;                       // 3
  QUILLET_METHOD GetRecordCountWhere(BSTR table, BSTR condition, std::int32_t* count) = 0;  // 4
  QUILLET_PLACEHOLDER(5)
  QUILLET_METHOD CreateQuery(QueryHandle* handle) = 0;                          // 6
  QUILLET_METHOD SetQuerySQL(QueryHandle handle, BSTR sql) = 0;                 // 7
  QUILLET_METHOD OpenQuery(QueryHandle handle, std::int32_t* recordCount) = 0;  // 8
  QUILLET_METHOD QueryFirst(QueryHandle handle) = 0;                            // 9
  QUILLET_PLACEHOLDER(10)
  QUILLET_METHOD QueryNext(QueryHandle handle) = 0;  // 11
  QUILLET_PLACEHOLDER(12)
  QUILLET_PLACEHOLDER(13)
  QUILLET_METHOD QueryEof(QueryHandle handle, Flag* eof) = 0;  // 14
  QUILLET_PLACEHOLDER(15)
  QUILLET_METHOD GetFieldString(QueryHandle handle, BSTR fieldName, BSTR* inOutValue,
                                Flag* hasValue) = 0;  // 16
  QUILLET_METHOD GetFieldInteger(QueryHandle handle, BSTR fieldName, std::int32_t* value,
                                 Flag* hasValue) = 0;  // 17
  QUILLET_PLACEHOLDER(18)
  QUILLET_PLACEHOLDER(19)
  QUILLET_METHOD GetFieldDateTime(QueryHandle handle, BSTR fieldName, std::uint16_t* year,
                                  std::uint16_t* month, std::uint16_t* day, std::uint16_t* hour,
                                  std::uint16_t* minute, std::uint16_t* second,
                                  Flag* hasValue) = 0;  // 20
  QUILLET_PLACEHOLDER(21)
  QUILLET_METHOD CloseQuery(QueryHandle handle) = 0;              // 22
  QUILLET_METHOD FreeQuery(QueryHandle handle) = 0;               // 23
  QUILLET_METHOD ExecuteSQL(BSTR sql, std::int32_t* result) = 0;  // 24
};

struct IApplicationWindows : IUnknown {
  QUILLET_METHOD GetApplicationHandle(WindowHandle* handle) = 0;  // 3
  QUILLET_PLACEHOLDER(4)
  QUILLET_PLACEHOLDER(5)
  QUILLET_PLACEHOLDER(6)
  QUILLET_PLACEHOLDER(7)
  QUILLET_METHOD BeginModal() = 0;  // 8
  QUILLET_METHOD EndModal() = 0;    // 9
  QUILLET_PLACEHOLDER(10)
  QUILLET_PLACEHOLDER(11)
};

// Optional: a host may leave it out.
struct IApplicationIcons : IUnknown {
  QUILLET_METHOD GetSmallIcon(IconHandle* icon) = 0;  // 3
  QUILLET_METHOD GetLargeIcon(IconHandle* icon) = 0;  // 4
};

struct INotifyEvent;

struct IMenuItem : IUnknown {
  QUILLET_PLACEHOLDER(3)
  QUILLET_PLACEHOLDER(4)
  QUILLET_METHOD GetEnabled(Flag* enabled) = 0;  // 5
  QUILLET_PLACEHOLDER(6)
  QUILLET_PLACEHOLDER(7)
  QUILLET_METHOD SetCaption(BSTR caption) = 0;            // 8
  QUILLET_METHOD SetOptions(std::int32_t value) = 0;      // 9
  QUILLET_METHOD SetEnabled(Flag enabled) = 0;            // 10
  QUILLET_METHOD SetHint(BSTR hint) = 0;                  // 11
  QUILLET_METHOD SetCategory(std::int32_t category) = 0;  // 12
  QUILLET_METHOD SetOnClick(INotifyEvent* handler) = 0;   // 13
};

struct IMenuManager : IUnknown {
  QUILLET_METHOD CreateMenuItem(IMenuItem** item) = 0;  // 3
  // The host may clear *item; the caller releases whatever is left in it.
  QUILLET_METHOD RemoveMenuItem(IMenuItem** item) = 0;  // 4
};

// Module side.

struct IPlugin : IUnknown {
  QUILLET_METHOD GetID(GUID* id) = 0;                      // 3
  QUILLET_METHOD GetName(BSTR* name) = 0;                  // 4
  QUILLET_METHOD GetVersion(BSTR* version) = 0;            // 5
  QUILLET_METHOD GetCategory(std::int32_t* category) = 0;  // 6
  QUILLET_METHOD GetCopyright(BSTR* text) = 0;             // 7
  QUILLET_METHOD GetHomePage(BSTR* text) = 0;              // 8
  QUILLET_METHOD GetEmail(BSTR* text) = 0;                 // 9
};

struct IDestroyNotify : IUnknown {
  QUILLET_METHOD Destroying() = 0;  // 3
};

struct INotifyEvent : IUnknown {
  QUILLET_METHOD Notify(IUnknown* sender) = 0;  // 3
};

}  // namespace quillet

// The module's exports, by name, undecorated.
#define QUILLET_ENTRY_NAME "983BEDA12B2347028D99FF042C551640"
#define QUILLET_DONE_NAME "983BEDA12B2347028D99FF042C551640_done"

extern "C" {
using QuilletEntryPoint = HRESULT(QUILLET_STDCALL*)(quillet::ICore* core, quillet::IPlugin** plugin);
using QuilletDonePoint = HRESULT(QUILLET_STDCALL*)();
}

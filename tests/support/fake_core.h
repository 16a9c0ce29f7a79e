// A scripted host core for tests of the plug-in frame and its forms: ICore
// with IApplicationWindows, IApplicationIcons (optional) and IMenuManager
// with the IMenuItem objects it creates.
//
// Every object lives in the test (the core on its stack, the menu items in
// the manager): AddRef and Release only count, RefCount() starts at 0 and
// is back to 0 once every reference handed out or taken has been
// released; nothing is ever deleted through Release. IHostKernel and
// IHostServer are answered by delegating to the objects given to SetHost
// (typically a FakeHost), so their counts go to that object.
//
// Calls() logs the calls of every object here in order, IUnknown's left
// out: "GetVersion", "GetApplicationHandle", "BeginModal", "EndModal",
// "GetSmallIcon", "GetLargeIcon", "CreateMenuItem", "RemoveMenuItem",
// and the menu items' "SetCaption <text>", "SetHint <text>",
// "SetCategory <n>", "SetEnabled <n>", "SetOptions <n>", "SetOnClick",
// "GetEnabled" (texts as UTF-8).
#pragma once

#include <quillet/plugin_api.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/com_ptr.h"

namespace quillet::testing {

// A distinct, recognisable icon handle for fakes.
IconHandle FakeIcon(std::uint32_t number);
WindowHandle FakeWindow(std::uint32_t number);

class FakeCore;

class FakeApplicationWindows final : public IApplicationWindows {
 public:
  explicit FakeApplicationWindows(FakeCore& core) : core_(core) {}

  WindowHandle handle = FakeWindow(0x4242);
  HRESULT beginModalStatus = S_OK;  // failure injection: returned as is
  HRESULT endModalStatus = S_OK;
  int beginModalCount = 0;
  int endModalCount = 0;
  std::int32_t RefCount() const { return refs_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs_); }
  HRESULT QUILLET_STDCALL GetApplicationHandle(WindowHandle* result) override;
  HRESULT QUILLET_STDCALL BeginModal() override;
  HRESULT QUILLET_STDCALL EndModal() override;

 private:
  FakeCore& core_;
  std::int32_t refs_ = 0;
};

class FakeApplicationIcons final : public IApplicationIcons {
 public:
  explicit FakeApplicationIcons(FakeCore& core) : core_(core) {}

  // Each call hands out a new icon: FakeIcon(nextSmall++) / FakeIcon(nextLarge++).
  std::uint32_t nextSmall = 100;
  std::uint32_t nextLarge = 200;
  HRESULT smallStatus = S_OK;
  HRESULT largeStatus = S_OK;
  std::vector<IconHandle> handedOut;
  std::int32_t RefCount() const { return refs_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs_); }
  HRESULT QUILLET_STDCALL GetSmallIcon(IconHandle* icon) override;
  HRESULT QUILLET_STDCALL GetLargeIcon(IconHandle* icon) override;

 private:
  FakeCore& core_;
  std::int32_t refs_ = 0;
};

class FakeMenuItem final : public IMenuItem {
 public:
  explicit FakeMenuItem(FakeCore& core) : core_(core) {}

  // What the module set; enabled is also what GetEnabled answers.
  std::u16string caption;
  std::u16string hint;
  bool hintWasNull = false;
  std::int32_t category = 0;
  std::int32_t options = 0;
  Flag enabled = kFalse;
  HRESULT getEnabledStatus = S_OK;
  ComPtr<INotifyEvent> onClick;  // the handler, with the reference the host keeps
  bool removed = false;
  std::int32_t RefCount() const { return refs_; }

  // The operator chooses the command: Notify on the stored handler with
  // this item as sender. E_UNEXPECTED when no handler is set.
  HRESULT Click();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs_); }
  HRESULT QUILLET_STDCALL GetEnabled(Flag* result) override;
  HRESULT QUILLET_STDCALL SetCaption(BSTR text) override;
  HRESULT QUILLET_STDCALL SetOptions(std::int32_t value) override;
  HRESULT QUILLET_STDCALL SetEnabled(Flag value) override;
  HRESULT QUILLET_STDCALL SetHint(BSTR text) override;
  HRESULT QUILLET_STDCALL SetCategory(std::int32_t value) override;
  HRESULT QUILLET_STDCALL SetOnClick(INotifyEvent* handler) override;

 private:
  FakeCore& core_;
  std::int32_t refs_ = 0;
};

class FakeMenuManager final : public IMenuManager {
 public:
  explicit FakeMenuManager(FakeCore& core) : core_(core) {}

  HRESULT createStatus = S_OK;
  HRESULT removeStatus = S_OK;
  // RemoveMenuItem releases the caller's reference and clears its variable;
  // false leaves the variable as it is (the caller must release it).
  bool clearOnRemove = true;
  int removeCount = 0;
  // Every item created, in order; they stay for inspection.
  std::vector<std::unique_ptr<FakeMenuItem>> items;
  FakeMenuItem* LastItem() const { return items.empty() ? nullptr : items.back().get(); }
  std::int32_t RefCount() const { return refs_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs_); }
  // A new FakeMenuItem, with one reference for the caller.
  HRESULT QUILLET_STDCALL CreateMenuItem(IMenuItem** item) override;
  // Marks the item removed and drops its handler (the module destroys it
  // right after), then clears the variable when clearOnRemove.
  HRESULT QUILLET_STDCALL RemoveMenuItem(IMenuItem** item) override;

 private:
  FakeCore& core_;
  std::int32_t refs_ = 0;
};

class FakeCore final : public ICore {
 public:
  FakeCore();
  ~FakeCore();
  FakeCore(const FakeCore&) = delete;
  FakeCore& operator=(const FakeCore&) = delete;

  // Where QueryInterface sends IID_IHostKernel and IID_IHostServer
  // (borrowed, no reference kept); null answers E_NOINTERFACE.
  void SetHost(IHostKernel* kernel, IHostServer* server);

  std::int32_t version = kLowestHostVersion;
  HRESULT getVersionStatus = S_OK;
  // Which interfaces QueryInterface offers.
  bool offerWindows = true;
  bool offerIcons = true;
  bool offerMenuManager = true;

  FakeApplicationWindows windows{*this};
  FakeApplicationIcons icons{*this};
  FakeMenuManager menus{*this};

  std::vector<std::string> calls;  // see the top of this file
  std::vector<IID> queried;        // every IID asked of the core, in order
  int QueryCount(const IID& iid) const;
  std::int32_t RefCount() const { return refs_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs_); }
  HRESULT QUILLET_STDCALL GetVersion(std::int32_t* result) override;

 private:
  std::int32_t refs_ = 0;
  IHostKernel* kernel_ = nullptr;
  IHostServer* server_ = nullptr;
};

}  // namespace quillet::testing

#include "support/fake_core.h"

#include <algorithm>

#include "runtime/bstr.h"
#include "runtime/text.h"

namespace quillet::testing {
namespace {

// Answers IUnknown and one own interface with the object itself.
template <class Interface>
HRESULT AnswerSelf(Interface* self, const IID& own, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == own) {
    *object = self;
    self->AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

std::string Utf8(BSTR text) { return Utf16ToUtf8(BString::ToText(text)); }

}  // namespace

IconHandle FakeIcon(std::uint32_t number) {
#ifdef _WIN32
  return reinterpret_cast<IconHandle>(static_cast<std::uintptr_t>(number));
#else
  return number;
#endif
}

WindowHandle FakeWindow(std::uint32_t number) {
#ifdef _WIN32
  return reinterpret_cast<WindowHandle>(static_cast<std::uintptr_t>(number));
#else
  return number;
#endif
}

// --- FakeApplicationWindows ---

HRESULT FakeApplicationWindows::QueryInterface(REFIID iid, void** object) {
  return AnswerSelf(this, IID_IApplicationWindows, iid, object);
}

HRESULT FakeApplicationWindows::GetApplicationHandle(WindowHandle* result) {
  core_.calls.emplace_back("GetApplicationHandle");
  *result = handle;
  return S_OK;
}

HRESULT FakeApplicationWindows::BeginModal() {
  core_.calls.emplace_back("BeginModal");
  ++beginModalCount;
  return beginModalStatus;
}

HRESULT FakeApplicationWindows::EndModal() {
  core_.calls.emplace_back("EndModal");
  ++endModalCount;
  return endModalStatus;
}

// --- FakeApplicationIcons ---

HRESULT FakeApplicationIcons::QueryInterface(REFIID iid, void** object) {
  return AnswerSelf(this, IID_IApplicationIcons, iid, object);
}

HRESULT FakeApplicationIcons::GetSmallIcon(IconHandle* icon) {
  core_.calls.emplace_back("GetSmallIcon");
  if (smallStatus < 0) return smallStatus;
  *icon = FakeIcon(nextSmall++);
  handedOut.push_back(*icon);
  return S_OK;
}

HRESULT FakeApplicationIcons::GetLargeIcon(IconHandle* icon) {
  core_.calls.emplace_back("GetLargeIcon");
  if (largeStatus < 0) return largeStatus;
  *icon = FakeIcon(nextLarge++);
  handedOut.push_back(*icon);
  return S_OK;
}

// --- FakeMenuItem ---

HRESULT FakeMenuItem::Click() {
  if (!onClick) return E_UNEXPECTED;
  return onClick->Notify(this);
}

HRESULT FakeMenuItem::QueryInterface(REFIID iid, void** object) {
  return AnswerSelf(this, IID_IMenuItem, iid, object);
}

HRESULT FakeMenuItem::GetEnabled(Flag* result) {
  core_.calls.emplace_back("GetEnabled");
  if (getEnabledStatus < 0) return getEnabledStatus;
  *result = enabled;
  return S_OK;
}

HRESULT FakeMenuItem::SetCaption(BSTR text) {
  core_.calls.push_back("SetCaption " + Utf8(text));
  caption = BString::ToText(text);
  return S_OK;
}

HRESULT FakeMenuItem::SetOptions(std::int32_t value) {
  core_.calls.push_back("SetOptions " + std::to_string(value));
  options = value;
  return S_OK;
}

HRESULT FakeMenuItem::SetEnabled(Flag value) {
  core_.calls.push_back("SetEnabled " + std::to_string(value));
  enabled = value;
  return S_OK;
}

HRESULT FakeMenuItem::SetHint(BSTR text) {
  core_.calls.push_back("SetHint " + Utf8(text));
  hint = BString::ToText(text);
  hintWasNull = text == nullptr;
  return S_OK;
}

HRESULT FakeMenuItem::SetCategory(std::int32_t value) {
  core_.calls.push_back("SetCategory " + std::to_string(value));
  category = value;
  return S_OK;
}

HRESULT FakeMenuItem::SetOnClick(INotifyEvent* handler) {
  core_.calls.emplace_back("SetOnClick");
  onClick = ComPtr<INotifyEvent>::Borrow(handler);
  return S_OK;
}

// --- FakeMenuManager ---

HRESULT FakeMenuManager::QueryInterface(REFIID iid, void** object) {
  return AnswerSelf(this, IID_IMenuManager, iid, object);
}

HRESULT FakeMenuManager::CreateMenuItem(IMenuItem** item) {
  core_.calls.emplace_back("CreateMenuItem");
  if (createStatus < 0) return createStatus;
  items.push_back(std::make_unique<FakeMenuItem>(core_));
  *item = items.back().get();
  (*item)->AddRef();
  return S_OK;
}

HRESULT FakeMenuManager::RemoveMenuItem(IMenuItem** item) {
  core_.calls.emplace_back("RemoveMenuItem");
  ++removeCount;
  if (removeStatus < 0) return removeStatus;
  for (const std::unique_ptr<FakeMenuItem>& candidate : items) {
    if (candidate.get() != *item) continue;
    candidate->removed = true;
    candidate->onClick.reset();
  }
  if (clearOnRemove && *item != nullptr) {
    (*item)->Release();
    *item = nullptr;
  }
  return S_OK;
}

// --- FakeCore ---

FakeCore::FakeCore() = default;

FakeCore::~FakeCore() = default;

void FakeCore::SetHost(IHostKernel* kernel, IHostServer* server) {
  kernel_ = kernel;
  server_ = server;
}

int FakeCore::QueryCount(const IID& iid) const {
  return static_cast<int>(std::count(queried.begin(), queried.end(), iid));
}

HRESULT FakeCore::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  queried.push_back(iid);
  *object = nullptr;
  if (iid == IID_IHostKernel) return kernel_ ? kernel_->QueryInterface(iid, object) : E_NOINTERFACE;
  if (iid == IID_IHostServer) return server_ ? server_->QueryInterface(iid, object) : E_NOINTERFACE;
  if (iid == IID_IApplicationWindows && offerWindows) return windows.QueryInterface(iid, object);
  if (iid == IID_IApplicationIcons && offerIcons) return icons.QueryInterface(iid, object);
  if (iid == IID_IMenuManager && offerMenuManager) return menus.QueryInterface(iid, object);
  return AnswerSelf(this, IID_ICore, iid, object);
}

HRESULT FakeCore::GetVersion(std::int32_t* result) {
  calls.emplace_back("GetVersion");
  if (getVersionStatus < 0) return getVersionStatus;
  *result = version;
  return S_OK;
}

}  // namespace quillet::testing

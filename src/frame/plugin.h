// TPlugin, the plug-in object: what the host holds of the module. It
// checks the host, registers the module's menu command, reports the
// plug-in's identity and gives every host reference back on teardown.
//
// The host holds the one reference (taken by the entry point). Destroying
// and the destructor run the same teardown, so the host may call
// Destroying any number of times, or never.
#pragma once

#include <quillet/plugin_api.h>

#include <cstdint>
#include <memory>

#include "frame/checked_object.h"
#include "frame/plugin_menu_item.h"
#include "runtime/com_ptr.h"

namespace quillet {

// {D8C16DAB-BDD6-4546-879D-595F92C84E8D}
inline constexpr GUID kPluginId = {
    0xD8C16DAB, 0xBDD6, 0x4546, {0x87, 0x9D, 0x59, 0x5F, 0x92, 0xC8, 0x4E, 0x8D}};
inline constexpr char16_t kPluginName[] = u"Append ADIF data into current log";
inline constexpr char16_t kPluginVersion[] = u"1.04.019 (1706)";
inline constexpr std::int32_t kPluginCategory = 1;
inline constexpr char16_t kPluginCopyright[] = u"Copyright (c) 2026 Quillet developers";
inline constexpr char16_t kPluginHomePage[] = u"https://quillet.example.org";
inline constexpr char16_t kPluginEmail[] = u"quillet@example.org";
inline constexpr char16_t kMenuCaption[] = u"Append ADIF data into current log";
inline constexpr char16_t kMenuHint[] =
    u"Import ADIF data into current log, with checking and correction (if needed)";

class TPlugin final : public TCheckedInterfacedObject, public IPlugin, public IDestroyNotify {
 public:
  // Build with NewChecked<TPlugin>(core). Raises EAssertionFailed for a
  // host older than kLowestHostVersion (before asking for any interface),
  // EUnsupportedCore without IHostServer, EInvalidCoreVersion without
  // IApplicationWindows; a failed construction tears down what it built.
  explicit TPlugin(ICore* core);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;

  HRESULT QUILLET_STDCALL GetID(GUID* id) noexcept override;
  HRESULT QUILLET_STDCALL GetName(BSTR* name) noexcept override;
  HRESULT QUILLET_STDCALL GetVersion(BSTR* version) noexcept override;
  HRESULT QUILLET_STDCALL GetCategory(std::int32_t* category) noexcept override;
  HRESULT QUILLET_STDCALL GetCopyright(BSTR* text) noexcept override;
  HRESULT QUILLET_STDCALL GetHomePage(BSTR* text) noexcept override;
  HRESULT QUILLET_STDCALL GetEmail(BSTR* text) noexcept override;

  HRESULT QUILLET_STDCALL Destroying() noexcept override;

  // The menu command: opens the import dialog for the current log.
  void MenuClick(TPluginMenuItem& sender);
  // Frees the menu command, resets the module's owner window and releases
  // Server, Kernel, AppWindows and Core, in this order. Fields already
  // empty are passed over; the later steps run even when freeing the menu
  // command raises, which then continues.
  void Teardown();

  ComPtr<ICore> Core;
  ComPtr<IApplicationWindows> AppWindows;
  ComPtr<IHostKernel> Kernel;
  ComPtr<IHostServer> Server;
  std::unique_ptr<TPluginMenuItem> MenuItem;

 private:
  ~TPlugin() override = default;
  void DestructorBody() override { Teardown(); }
  void Construct();
  void ReleaseHost() noexcept;
};

}  // namespace quillet

#include "frame/checked_object.h"

#include <gtest/gtest.h>

#include <quillet/plugin_api.h>

#include <functional>
#include <string>

#include "frame/error_info_reader.h"
#include "frame/exception_family.h"
#include "runtime/text.h"

namespace quillet {
namespace {

using testing::TakeErrorInfo;

// A checked object that reports its destruction and can act while its
// destructor body runs.
class TProbe final : public TCheckedInterfacedObject, public INotifyEvent {
 public:
  TProbe(const char* className, bool* destroyed)
      : TCheckedInterfacedObject(className), destroyed_(destroyed) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override {
    return BoundaryQueryInterface(iid, object, {{IID_IUnknown, this}, {IID_INotifyEvent, this}});
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return BoundaryAddRef(); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return BoundaryRelease(); }
  HRESULT QUILLET_STDCALL Notify(IUnknown*) noexcept override { return S_OK; }

  std::function<void(TProbe&)> WhileDestroying;

 private:
  ~TProbe() override { *destroyed_ = true; }
  void DestructorBody() override {
    if (WhileDestroying) WhileDestroying(*this);
  }
  bool* destroyed_;
};

std::string HexAddress(const void* address) {
  std::string name = FormatObjectName(address, "");
  return name.substr(2, name.size() - 4);
}

TEST(CheckedObject, ObjectNameShowsAddressWithPointerWidth) {
  const void* address = reinterpret_cast<const void*>(std::uintptr_t{0x02A41C80});
  const std::string zeros(sizeof(void*) * 2 - 8, '0');
  EXPECT_EQ(FormatObjectName(address, "TPlugin"), "[$" + zeros + "02A41C80] TPlugin");
  EXPECT_EQ(FormatObjectName(address, std::string(200, 'T')).size(), 99u);

  bool destroyed = false;
  TProbe* probe = NewChecked<TProbe>("TProbe", &destroyed);
  EXPECT_EQ(probe->ObjectName(), FormatObjectName(probe, "TProbe"));
  EXPECT_EQ(HexAddress(probe).size(), sizeof(void*) * 2);
  probe->Destroy();
  EXPECT_TRUE(destroyed);
}

TEST(CheckedObject, LastReleaseDestroys) {
  bool destroyed = false;
  TProbe* probe = NewChecked<TProbe>("TProbe", &destroyed);
  EXPECT_EQ(probe->RefCount(), 0);
  INotifyEvent* notify = nullptr;
  ASSERT_EQ(probe->QueryInterface(IID_INotifyEvent, reinterpret_cast<void**>(&notify)), S_OK);
  EXPECT_EQ(notify->AddRef(), 2u);
  EXPECT_EQ(notify->Release(), 1u);
  void* other = &destroyed;
  EXPECT_EQ(probe->QueryInterface(IID_IPlugin, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(notify->Release(), 0u);
  EXPECT_TRUE(destroyed);
}

TEST(CheckedObject, DestroyWhileReferencedRaisesAndKeepsObject) {
  bool destroyed = false;
  TProbe* probe = NewChecked<TProbe>("TProbe", &destroyed);
  probe->AddRef();
  probe->AddRef();
  try {
    probe->Destroy();
    FAIL() << "destruction with references succeeded";
  } catch (const ECheckedInterfacedObjectDeleteError& e) {
    EXPECT_EQ(e.Message, u"Object deletion attempt " + Utf8ToUtf16(probe->ObjectName()) +
                             u" with active interface link; counter: 2");
    EXPECT_EQ(e.ErrorCode, static_cast<HRESULT>(0x80045A95));
  }
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(probe->RefCount(), 2);
  probe->Release();
  probe->Release();
  EXPECT_TRUE(destroyed);
}

TEST(CheckedObject, DeletedMarkRefusesUseAndSecondDestruction) {
  bool destroyed = false;
  TProbe* probe = NewChecked<TProbe>("TProbe", &destroyed);
  std::u16string useMessage;
  std::u16string doubleFreeMessage;
  ULONG boundaryCount = 0;
  probe->WhileDestroying = [&](TProbe& self) {
    EXPECT_EQ(self.RefCount(), -1);
    try {
      self.CheckedAddRef();
    } catch (const ECheckedInterfacedObjectUseDeletedError& e) {
      useMessage = e.Message;
    }
    try {
      self.Destroy();
    } catch (const ECheckedInterfacedObjectDoubleFreeError& e) {
      doubleFreeMessage = e.Message;
    }
    boundaryCount = self.AddRef();  // from the host: no exception crosses
  };
  const std::u16string name = Utf8ToUtf16(probe->ObjectName());
  probe->AddRef();
  probe->Release();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(useMessage, u"Usage attempt with just deleted object " + name);
  EXPECT_EQ(doubleFreeMessage, u"Object deletion attempt with just deleted one " + name);
  EXPECT_EQ(boundaryCount, 0xFFFFFFFFu);
  const auto info = TakeErrorInfo();
  EXPECT_EQ(info.source, u"pluginsystem.TProbe");
  EXPECT_EQ(info.description, useMessage);
}

TEST(CheckedObject, FailingDestructionStillFreesAndStaysInside) {
  bool destroyed = false;
  TProbe* probe = NewChecked<TProbe>("TProbe", &destroyed);
  probe->WhileDestroying = [](TProbe&) { throw EInvalidOperation(u"teardown failed"); };
  probe->AddRef();
  EXPECT_EQ(probe->Release(), 0u);
  EXPECT_TRUE(destroyed);
  const auto info = TakeErrorInfo();
  EXPECT_EQ(info.description, u"teardown failed");
}

}  // namespace
}  // namespace quillet

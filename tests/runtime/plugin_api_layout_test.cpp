// The host contract as the other side sees it: a function table reached
// through an object's first word, called by slot number with the interface
// pointer first. Fakes record which method a slot reached and with what.
#include <quillet/plugin_api.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace quillet {
namespace {

template <typename T>
std::uint64_t Arg(T value) {
  if constexpr (std::is_pointer_v<T>) {
    return reinterpret_cast<std::uintptr_t>(value);
  } else {
    return static_cast<std::uint64_t>(value);
  }
}

struct Recorder {
  std::string method;
  std::vector<std::uint64_t> args;
  HRESULT status = 0;

  HRESULT Hit(const char* name, std::initializer_list<std::uint64_t> values) {
    method = name;
    args = values;
    return status;
  }
};

template <typename I>
struct Fake : I, Recorder {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return Hit("QueryInterface", {Arg(&iid), Arg(object)});
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(Hit("AddRef", {})); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(Hit("Release", {})); }
};

struct FakeCore : Fake<ICore> {
  HRESULT QUILLET_STDCALL GetVersion(std::int32_t* version) override {
    return Hit("GetVersion", {Arg(version)});
  }
};

struct FakeHostKernel : Fake<IHostKernel> {
  HRESULT QUILLET_STDCALL AddLogLine(BSTR text) override { return Hit("AddLogLine", {Arg(text)}); }
  HRESULT QUILLET_STDCALL ShowError(BSTR text, BSTR caption) override {
    return Hit("ShowError", {Arg(text), Arg(caption)});
  }
  HRESULT QUILLET_STDCALL ShowMessageBox(BSTR text, BSTR caption, std::int32_t kind, std::uint32_t buttons,
                                         std::int32_t* result) override {
    return Hit("ShowMessageBox", {Arg(text), Arg(caption), Arg(kind), Arg(buttons), Arg(result)});
  }
  HRESULT QUILLET_STDCALL SendCommand(BSTR command, BSTR parameter) override {
    return Hit("SendCommand", {Arg(command), Arg(parameter)});
  }
  HRESULT QUILLET_STDCALL GetVariable(BSTR name, BSTR* value) override {
    return Hit("GetVariable", {Arg(name), Arg(value)});
  }
};

struct FakeHostServer : Fake<IHostServer> {
  HRESULT QUILLET_STDCALL GetRecordCount(BSTR table, std::int32_t* count) override {
    return Hit("GetRecordCount", {Arg(table), Arg(count)});
  }
  HRESULT QUILLET_STDCALL GetRecordCountWhere(BSTR table, BSTR condition, std::int32_t* count) override {
    return Hit("GetRecordCountWhere", {Arg(table), Arg(condition), Arg(count)});
  }
  HRESULT QUILLET_STDCALL CreateQuery(QueryHandle* handle) override {
    return Hit("CreateQuery", {Arg(handle)});
  }
  HRESULT QUILLET_STDCALL SetQuerySQL(QueryHandle handle, BSTR sql) override {
    return Hit("SetQuerySQL", {Arg(handle), Arg(sql)});
  }
  HRESULT QUILLET_STDCALL OpenQuery(QueryHandle handle, std::int32_t* recordCount) override {
    return Hit("OpenQuery", {Arg(handle), Arg(recordCount)});
  }
  HRESULT QUILLET_STDCALL QueryFirst(QueryHandle handle) override { return Hit("QueryFirst", {Arg(handle)}); }
  HRESULT QUILLET_STDCALL QueryNext(QueryHandle handle) override { return Hit("QueryNext", {Arg(handle)}); }
  HRESULT QUILLET_STDCALL QueryEof(QueryHandle handle, Flag* eof) override {
    return Hit("QueryEof", {Arg(handle), Arg(eof)});
  }
  HRESULT QUILLET_STDCALL GetFieldString(QueryHandle handle, BSTR fieldName, BSTR* inOutValue,
                                         Flag* hasValue) override {
    return Hit("GetFieldString", {Arg(handle), Arg(fieldName), Arg(inOutValue), Arg(hasValue)});
  }
  HRESULT QUILLET_STDCALL GetFieldInteger(QueryHandle handle, BSTR fieldName, std::int32_t* value,
                                          Flag* hasValue) override {
    return Hit("GetFieldInteger", {Arg(handle), Arg(fieldName), Arg(value), Arg(hasValue)});
  }
  HRESULT QUILLET_STDCALL GetFieldDateTime(QueryHandle handle, BSTR fieldName, std::uint16_t* year,
                                           std::uint16_t* month, std::uint16_t* day, std::uint16_t* hour,
                                           std::uint16_t* minute, std::uint16_t* second,
                                           Flag* hasValue) override {
    return Hit("GetFieldDateTime", {Arg(handle), Arg(fieldName), Arg(year), Arg(month), Arg(day), Arg(hour),
                                    Arg(minute), Arg(second), Arg(hasValue)});
  }
  HRESULT QUILLET_STDCALL CloseQuery(QueryHandle handle) override { return Hit("CloseQuery", {Arg(handle)}); }
  HRESULT QUILLET_STDCALL FreeQuery(QueryHandle handle) override { return Hit("FreeQuery", {Arg(handle)}); }
  HRESULT QUILLET_STDCALL ExecuteSQL(BSTR sql, std::int32_t* result) override {
    return Hit("ExecuteSQL", {Arg(sql), Arg(result)});
  }
};

struct FakeApplicationWindows : Fake<IApplicationWindows> {
  HRESULT QUILLET_STDCALL GetApplicationHandle(WindowHandle* handle) override {
    return Hit("GetApplicationHandle", {Arg(handle)});
  }
  HRESULT QUILLET_STDCALL BeginModal() override { return Hit("BeginModal", {}); }
  HRESULT QUILLET_STDCALL EndModal() override { return Hit("EndModal", {}); }
};

struct FakeApplicationIcons : Fake<IApplicationIcons> {
  HRESULT QUILLET_STDCALL GetSmallIcon(IconHandle* icon) override { return Hit("GetSmallIcon", {Arg(icon)}); }
  HRESULT QUILLET_STDCALL GetLargeIcon(IconHandle* icon) override { return Hit("GetLargeIcon", {Arg(icon)}); }
};

struct FakeMenuManager : Fake<IMenuManager> {
  HRESULT QUILLET_STDCALL CreateMenuItem(IMenuItem** item) override {
    return Hit("CreateMenuItem", {Arg(item)});
  }
  HRESULT QUILLET_STDCALL RemoveMenuItem(IMenuItem** item) override {
    return Hit("RemoveMenuItem", {Arg(item)});
  }
};

struct FakeMenuItem : Fake<IMenuItem> {
  HRESULT QUILLET_STDCALL GetEnabled(Flag* enabled) override { return Hit("GetEnabled", {Arg(enabled)}); }
  HRESULT QUILLET_STDCALL SetCaption(BSTR caption) override { return Hit("SetCaption", {Arg(caption)}); }
  HRESULT QUILLET_STDCALL SetOptions(std::int32_t value) override { return Hit("SetOptions", {Arg(value)}); }
  HRESULT QUILLET_STDCALL SetEnabled(Flag enabled) override { return Hit("SetEnabled", {Arg(enabled)}); }
  HRESULT QUILLET_STDCALL SetHint(BSTR hint) override { return Hit("SetHint", {Arg(hint)}); }
  HRESULT QUILLET_STDCALL SetCategory(std::int32_t category) override {
    return Hit("SetCategory", {Arg(category)});
  }
  HRESULT QUILLET_STDCALL SetOnClick(INotifyEvent* handler) override {
    return Hit("SetOnClick", {Arg(handler)});
  }
};

struct FakePlugin : Fake<IPlugin> {
  HRESULT QUILLET_STDCALL GetID(GUID* id) override { return Hit("GetID", {Arg(id)}); }
  HRESULT QUILLET_STDCALL GetName(BSTR* name) override { return Hit("GetName", {Arg(name)}); }
  HRESULT QUILLET_STDCALL GetVersion(BSTR* version) override { return Hit("GetVersion", {Arg(version)}); }
  HRESULT QUILLET_STDCALL GetCategory(std::int32_t* category) override {
    return Hit("GetCategory", {Arg(category)});
  }
  HRESULT QUILLET_STDCALL GetCopyright(BSTR* text) override { return Hit("GetCopyright", {Arg(text)}); }
  HRESULT QUILLET_STDCALL GetHomePage(BSTR* text) override { return Hit("GetHomePage", {Arg(text)}); }
  HRESULT QUILLET_STDCALL GetEmail(BSTR* text) override { return Hit("GetEmail", {Arg(text)}); }
};

struct FakeDestroyNotify : Fake<IDestroyNotify> {
  HRESULT QUILLET_STDCALL Destroying() override { return Hit("Destroying", {}); }
};

struct FakeNotifyEvent : Fake<INotifyEvent> {
  HRESULT QUILLET_STDCALL Notify(IUnknown* sender) override { return Hit("Notify", {Arg(sender)}); }
};

// Calls slot of object's function table as a caller on the other side of
// the boundary does.
template <typename R, typename I, typename... A>
R CallSlot(I* object, int slot, A... args) {
  using Slot = R(QUILLET_STDCALL*)(I*, A...);
  using AnySlot = void (*)();
  const AnySlot* table = *reinterpret_cast<const AnySlot* const*>(object);
  return reinterpret_cast<Slot>(table[slot])(object, args...);
}

template <typename I, typename... A>
void ExpectSlot(Fake<I>& fake, int slot, const char* method, A... args) {
  fake.method.clear();
  fake.args.clear();
  fake.status = 0x4000 + slot;
  EXPECT_EQ(CallSlot<HRESULT>(static_cast<I*>(&fake), slot, args...), 0x4000 + slot) << method;
  EXPECT_EQ(fake.method, method) << "slot " << slot;
  EXPECT_EQ(fake.args, (std::vector<std::uint64_t>{Arg(args)...})) << method;
}

template <typename I>
void ExpectPlaceholder(Fake<I>& fake, int slot) {
  fake.method.clear();
  EXPECT_EQ(CallSlot<HRESULT>(static_cast<I*>(&fake), slot), E_NOTIMPL) << slot;
  EXPECT_EQ(fake.method, "") << slot;
}

// Distinct addresses and values to recognise each argument by.
struct Args {
  OLECHAR text1[2] = {u'a', 0};
  OLECHAR text2[2] = {u'b', 0};
  BSTR s1 = text1;
  BSTR s2 = text2;
  BSTR out = nullptr;
  std::int32_t int1 = 0;
  std::int32_t int2 = 0;
  Flag flag = 0;
  std::uint16_t parts[6] = {};
};

TEST(PluginApiLayout, UnknownSlotsComeFirst) {
  FakeCore core;
  void* object = nullptr;
  ExpectSlot(core, 0, "QueryInterface", &IID_IPlugin, &object);
  core.status = 7;
  EXPECT_EQ(CallSlot<ULONG>(static_cast<ICore*>(&core), 1), 7u);
  EXPECT_EQ(core.method, "AddRef");
  core.status = 6;
  EXPECT_EQ(CallSlot<ULONG>(static_cast<ICore*>(&core), 2), 6u);
  EXPECT_EQ(core.method, "Release");
  std::int32_t version = 0;
  ExpectSlot(core, 3, "GetVersion", &version);
}

TEST(PluginApiLayout, HostKernelSlots) {
  FakeHostKernel kernel;
  Args a;
  ExpectSlot(kernel, 3, "AddLogLine", a.s1);
  ExpectSlot(kernel, 4, "ShowError", a.s1, a.s2);
  ExpectSlot(kernel, 5, "ShowMessageBox", a.s1, a.s2, std::int32_t{1}, std::uint32_t{4}, &a.int1);
  for (int slot : {6, 7, 8}) ExpectPlaceholder(kernel, slot);
  ExpectSlot(kernel, 9, "SendCommand", a.s2, a.s1);
  ExpectSlot(kernel, 10, "GetVariable", a.s1, &a.out);
}

TEST(PluginApiLayout, HostServerSlots) {
  FakeHostServer server;
  Args a;
  const QueryHandle handle = -7;
  ExpectSlot(server, 3, "GetRecordCount", a.s1, &a.int1);
  ExpectSlot(server, 4, "GetRecordCountWhere", a.s1, a.s2, &a.int2);
  ExpectSlot(server, 6, "CreateQuery", &a.int1);
  ExpectSlot(server, 7, "SetQuerySQL", handle, a.s2);
  ExpectSlot(server, 8, "OpenQuery", handle, &a.int2);
  ExpectSlot(server, 9, "QueryFirst", handle);
  ExpectSlot(server, 11, "QueryNext", handle);
  ExpectSlot(server, 14, "QueryEof", handle, &a.flag);
  ExpectSlot(server, 16, "GetFieldString", handle, a.s1, &a.out, &a.flag);
  ExpectSlot(server, 17, "GetFieldInteger", handle, a.s2, &a.int1, &a.flag);
  ExpectSlot(server, 20, "GetFieldDateTime", handle, a.s1, &a.parts[0], &a.parts[1], &a.parts[2], &a.parts[3],
             &a.parts[4], &a.parts[5], &a.flag);
  ExpectSlot(server, 22, "CloseQuery", handle);
  ExpectSlot(server, 23, "FreeQuery", std::int32_t{12});
  ExpectSlot(server, 24, "ExecuteSQL", a.s2, &a.int2);
  for (int slot : {5, 10, 12, 13, 15, 18, 19, 21}) ExpectPlaceholder(server, slot);
}

TEST(PluginApiLayout, ApplicationAndMenuSlots) {
  FakeApplicationWindows windows;
  WindowHandle window{};
  ExpectSlot(windows, 3, "GetApplicationHandle", &window);
  ExpectSlot(windows, 8, "BeginModal");
  ExpectSlot(windows, 9, "EndModal");
  for (int slot : {4, 5, 6, 7, 10, 11}) ExpectPlaceholder(windows, slot);

  FakeApplicationIcons icons;
  IconHandle small{};
  IconHandle large{};
  ExpectSlot(icons, 3, "GetSmallIcon", &small);
  ExpectSlot(icons, 4, "GetLargeIcon", &large);

  FakeMenuManager manager;
  IMenuItem* item = nullptr;
  IMenuItem* other = nullptr;
  ExpectSlot(manager, 3, "CreateMenuItem", &item);
  ExpectSlot(manager, 4, "RemoveMenuItem", &other);

  FakeMenuItem menuItem;
  FakeNotifyEvent handler;
  Args a;
  ExpectSlot(menuItem, 5, "GetEnabled", &a.flag);
  ExpectSlot(menuItem, 8, "SetCaption", a.s1);
  ExpectSlot(menuItem, 9, "SetOptions", std::int32_t{0});
  ExpectSlot(menuItem, 10, "SetEnabled", kTrue);
  ExpectSlot(menuItem, 11, "SetHint", a.s2);
  ExpectSlot(menuItem, 12, "SetCategory", std::int32_t{1});
  ExpectSlot(menuItem, 13, "SetOnClick", static_cast<INotifyEvent*>(&handler));
  for (int slot : {3, 4, 6, 7}) ExpectPlaceholder(menuItem, slot);
}

TEST(PluginApiLayout, ModuleSideSlots) {
  FakePlugin plugin;
  GUID id{};
  Args a;
  BSTR texts[6] = {};
  ExpectSlot(plugin, 3, "GetID", &id);
  ExpectSlot(plugin, 4, "GetName", &texts[0]);
  ExpectSlot(plugin, 5, "GetVersion", &texts[1]);
  ExpectSlot(plugin, 6, "GetCategory", &a.int1);
  ExpectSlot(plugin, 7, "GetCopyright", &texts[2]);
  ExpectSlot(plugin, 8, "GetHomePage", &texts[3]);
  ExpectSlot(plugin, 9, "GetEmail", &texts[4]);

  FakeDestroyNotify destroy;
  ExpectSlot(destroy, 3, "Destroying");

  FakeNotifyEvent notify;
  FakeCore sender;
  ExpectSlot(notify, 3, "Notify", static_cast<IUnknown*>(&sender));
}

// The 16 bytes of a GUID in memory from its registry form: Data1, Data2
// and Data3 little-endian, Data4 as written.
std::array<std::uint8_t, 16> GuidBytes(std::string_view text) {
  std::array<std::uint8_t, 16> bytes{};
  std::size_t n = 0;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == '-') continue;
    bytes[n++] = static_cast<std::uint8_t>(std::stoi(std::string(text.substr(i, 2)), nullptr, 16));
    ++i;
  }
  std::swap(bytes[0], bytes[3]);
  std::swap(bytes[1], bytes[2]);
  std::swap(bytes[4], bytes[5]);
  std::swap(bytes[6], bytes[7]);
  return bytes;
}

TEST(PluginApiLayout, InterfaceIdentifiersHaveTheirWireLayout) {
  static_assert(sizeof(GUID) == 16);
  const struct {
    const IID* iid;
    const char* text;
  } cases[] = {
      {&IID_ICore, "2E4C1D23-873E-494D-B628-65BCC0A547A7"},
      {&IID_IHostKernel, "4188E8AA-AC3A-4398-BECF-2B644474BED4"},
      {&IID_IHostServer, "3ECC8EDB-00C3-42E6-9F83-CC066A5B194C"},
      {&IID_IApplicationWindows, "2EE5EF53-6EA9-4537-A7C3-233ED9D39108"},
      {&IID_IApplicationIcons, "2EF25A6A-F584-469C-B9F1-AA35EA04CC40"},
      {&IID_IMenuManager, "32FBAF60-BCD8-444E-BD14-E86726041CD1"},
      {&IID_IMenuItem, "37138407-0C6F-448B-B184-34F1CD638B85"},
      {&IID_IPlugin, "16AB27D6-DD64-4CCE-B3E5-ECBCE7C7401A"},
      {&IID_IDestroyNotify, "E55338C1-631A-424D-ACF7-863C9D4CADA1"},
      {&IID_INotifyEvent, "A6435676-ACE3-4A28-8358-720CEA495FFA"},
  };
  for (const auto& c : cases) {
    std::array<std::uint8_t, 16> bytes{};
    std::memcpy(bytes.data(), c.iid, sizeof(GUID));
    EXPECT_EQ(bytes, GuidBytes(c.text)) << c.text;
  }
  std::array<std::uint8_t, 4> first{};
  std::memcpy(first.data(), &IID_IPlugin, 4);
  EXPECT_EQ(first, (std::array<std::uint8_t, 4>{0xD6, 0x27, 0xAB, 0x16}));
}

}  // namespace
}  // namespace quillet

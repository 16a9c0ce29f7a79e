// The host calls the module's entry point as stdcall: on 32-bit x86 the
// callee removes its arguments from the stack. An entry point built as
// cdecl by mistake still links and mostly runs (the caller's epilogue
// absorbs the 8 bytes left behind), so nothing else notices it; a real
// host then crashes later. The call is made here by hand and the stack
// pointer compared.
#include <windows.h>

#include <gtest/gtest.h>
#include <quillet/plugin_api.h>

#include <cstdint>

namespace {

struct EntryCall {
  std::uintptr_t result;
  std::uintptr_t bytesLeft;  // arguments the callee left on the stack
};

// Pushes two null arguments, calls `entry` and measures the stack after it.
EntryCall CallWithTwoNullArguments(void* entry) {
  std::uintptr_t target = reinterpret_cast<std::uintptr_t>(entry);
  std::uintptr_t left = 0;
  std::uintptr_t scratch = 0;
  asm volatile(
      "movl %%esp, %%edi\n\t"
      "pushl $0\n\t"
      "pushl $0\n\t"
      "calll *%%eax\n\t"
      "movl %%edi, %%ecx\n\t"
      "subl %%esp, %%ecx\n\t"
      "movl %%edi, %%esp\n\t"
      : "+a"(target), "+c"(left), "+d"(scratch)
      :
      : "edi", "memory", "cc");
  return EntryCall{target, left};
}

TEST(EntryConvention, TheEntryPointRemovesItsArguments) {
  HMODULE module = LoadLibraryW(QUILLET_MODULE_PATH_W);
  ASSERT_NE(module, nullptr) << "LoadLibrary failed: " << GetLastError();
  void* entry = reinterpret_cast<void*>(GetProcAddress(module, QUILLET_ENTRY_NAME));
  ASSERT_NE(entry, nullptr);
  // A null plugin pointer is refused before the core is looked at.
  const EntryCall call = CallWithTwoNullArguments(entry);
  EXPECT_EQ(static_cast<HRESULT>(call.result), E_UNEXPECTED);
  EXPECT_EQ(call.bytesLeft, 0u) << "the entry point is not stdcall";
  FreeLibrary(module);
}

}  // namespace

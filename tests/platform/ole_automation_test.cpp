#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "runtime/bstr.h"
#include "runtime/com_ptr.h"

namespace quillet {
namespace {

TEST(OleStrings, LayoutHasByteLengthBeforeAndZeroAfter) {
  const char16_t text[] = u"K1ABC";
  BString s(text);
  BSTR raw = s.get();
  std::uint32_t prefix = 0;
  std::memcpy(&prefix, reinterpret_cast<const char*>(raw) - 4, 4);
  EXPECT_EQ(prefix, 10u);
  EXPECT_EQ(raw[5], 0);
  EXPECT_EQ(SysStringLen(raw), 5u);
  EXPECT_EQ(s.Text(), u"K1ABC");
}

TEST(OleStrings, NullIsTheEmptyString) {
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(BString::ToText(nullptr), u"");
  SysFreeString(nullptr);
  BString empty(u"");
  EXPECT_EQ(empty.get(), nullptr);
}

TEST(OleStrings, EmbeddedZeroKeepsLength) {
  const char16_t text[] = {u'a', 0, u'b'};
  BSTR raw = SysAllocStringLen(OleUnits(text), 3);
  EXPECT_EQ(SysStringLen(raw), 3u);
  SysFreeString(raw);
}

#ifndef _WIN32
// The live count is the stand-in's; oleaut32 caches strings and keeps none.
TEST(OleStrings, CountsLiveAllocations) {
  const auto before = QuilletOleLiveStrings();
  BSTR raw = SysAllocStringLen(OleUnits(u"abc"), 3);
  EXPECT_EQ(QuilletOleLiveStrings(), before + 1);
  SysFreeString(raw);
  EXPECT_EQ(QuilletOleLiveStrings(), before);
}

TEST(OleStrings, PutFreesWhatWasHeldAndMovesTransferOwnership) {
  BString s(u"first");
  const auto before = QuilletOleLiveStrings();
  *s.put() = SysAllocString(OleUnits(u"second"));
  EXPECT_EQ(QuilletOleLiveStrings(), before);
  BString moved(std::move(s));
  EXPECT_EQ(s.get(), nullptr);
  EXPECT_EQ(moved.Text(), u"second");
  BString assigned;
  assigned = std::move(moved);
  EXPECT_EQ(assigned.Text(), u"second");
  EXPECT_EQ(QuilletOleLiveStrings(), before);
}
#endif

TEST(OleErrorInfo, IsPerThreadAndTakenOnce) {
  ComPtr<ICreateErrorInfo> create;
  ASSERT_EQ(CreateErrorInfo(create.put()), S_OK);
  BString description(u"broken");
  create->SetDescription(description.get());
  create->SetHelpContext(7);
  auto info = create.Query<IErrorInfo>(IID_IErrorInfo);
  ASSERT_TRUE(info);
  ASSERT_EQ(SetErrorInfo(0, info.get()), S_OK);

  std::thread([] {
    IErrorInfo* other = nullptr;
    EXPECT_EQ(GetErrorInfo(0, &other), S_FALSE);
    EXPECT_EQ(other, nullptr);
  }).join();

  ComPtr<IErrorInfo> taken;
  ASSERT_EQ(GetErrorInfo(0, taken.put()), S_OK);
  BString text;
  taken->GetDescription(text.put());
  EXPECT_EQ(text.Text(), u"broken");
  DWORD context = 0;
  taken->GetHelpContext(&context);
  EXPECT_EQ(context, 7u);
  IErrorInfo* again = nullptr;
  EXPECT_EQ(GetErrorInfo(0, &again), S_FALSE);
}

}  // namespace
}  // namespace quillet

#include "frame/exception_family.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>

namespace quillet {
namespace {

constexpr HRESULT Code(std::uint32_t value) { return static_cast<HRESULT>(value); }

TEST(ExceptionFamily, RuntimeClassCodes) {
  EXPECT_EQ(ClassErrorCode("EAbort"), Code(0x8004C1E0));
  EXPECT_EQ(ClassErrorCode("EConvertError"), Code(0x800428DF));
  EXPECT_EQ(ClassErrorCode(EConvertError(u"x")), Code(0x800428DF));
  EXPECT_EQ(ClassErrorCode(EAbort()), Code(0x8004C1E0));
}

// Each class of the module's own family carries its own class code.
template <class E>
void ExpectOwnCode(std::string_view name, std::uint32_t code) {
  const E e(u"message");
  EXPECT_STREQ(e.ClassName(), name.data());
  EXPECT_EQ(e.ErrorCode, Code(code)) << name;
  EXPECT_EQ(ClassErrorCode(e), Code(code)) << name;
  EXPECT_EQ(e.HelpContext, 0);
  EXPECT_EQ(e.Message, u"message");
  EXPECT_THROW(e.Raise(), E);
}

TEST(ExceptionFamily, ModuleClassesCarryTheirOwnCodes) {
  ExpectOwnCode<EBaseException>("EBaseException", 0x80047031);
  ExpectOwnCode<ECheckedInterfacedObjectError>("ECheckedInterfacedObjectError", 0x80044383);
  ExpectOwnCode<ECheckedInterfacedObjectDeleteError>("ECheckedInterfacedObjectDeleteError", 0x80045A95);
  ExpectOwnCode<ECheckedInterfacedObjectDoubleFreeError>("ECheckedInterfacedObjectDoubleFreeError",
                                                         0x80048672);
  ExpectOwnCode<ECheckedInterfacedObjectUseDeletedError>("ECheckedInterfacedObjectUseDeletedError",
                                                         0x8004D50D);
  ExpectOwnCode<EInvalidCoreVersion>("EInvalidCoreVersion", 0x8004D63A);
  ExpectOwnCode<EUnsupportedCore>("EUnsupportedCore", 0x80046559);
}

TEST(ExceptionFamily, FormattedConstruction) {
  const ECheckedInterfacedObjectDeleteError e(u"%s; counter: %d", {u"[$1] T", 2});
  EXPECT_EQ(e.Message, u"[$1] T; counter: 2");
  EXPECT_EQ(e.ErrorCode, Code(0x80045A95));
}

TEST(ExceptionFamily, FiftyDistinctRecognisedClasses) {
  const auto classes = RecognisedClasses();
  ASSERT_EQ(classes.size(), 50u);
  std::set<HRESULT> codes;
  for (const RecognisedClass& entry : classes) {
    codes.insert(entry.Code);
    EXPECT_EQ(entry.Code, ClassErrorCode(entry.Name));
    // Each is rebuilt under its own name.
    const auto built = entry.Build(entry.Code, HostErrorDetails{u"src", u"text", u"help", 7});
    EXPECT_STREQ(built->ClassName(), entry.Name);
    EXPECT_EQ(built->Message, u"text");
  }
  EXPECT_EQ(codes.size(), 50u);
  EXPECT_STREQ(FindRecognisedClass(Code(0x8004C1E0))->Name, "EAbort");
  EXPECT_EQ(FindRecognisedClass(ClassErrorCode("EBaseException")), nullptr);
  EXPECT_EQ(FindRecognisedClass(ClassErrorCode("EUnsupportedCore")), nullptr);
}

}  // namespace
}  // namespace quillet

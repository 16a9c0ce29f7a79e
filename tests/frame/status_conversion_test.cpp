#include "frame/status_conversion.h"

#include <gtest/gtest.h>

#include <optional>

#include "frame/boundary.h"
#include "frame/error_info_reader.h"
#include "frame/exception_family.h"
#include "runtime/safe_call.h"

namespace quillet {
namespace {

using testing::LeaveErrorInfo;
using testing::TakeErrorInfo;

constexpr HRESULT Code(std::uint32_t value) { return static_cast<HRESULT>(value); }

// SafeCallErrorHandler is installed for every test (frame_environment.cpp).
class StatusConversion : public ::testing::Test {
 protected:
  void TearDown() override { TakeErrorInfo(); }
};

// A host call that failed with status after leaving description.
template <class E>
std::optional<E> RaisedFor(HRESULT status, std::u16string_view description) {
  if (!description.empty()) LeaveErrorInfo(description, u"host.Source", u"host.hlp", 9);
  try {
    Check(status);
  } catch (const E& e) {
    return e;
  }
  return std::nullopt;
}

TEST_F(StatusConversion, HostStatusBecomesItsClass) {
  const auto core = RaisedFor<EInvalidCoreVersion>(Code(0x8004D63A), u"x");
  ASSERT_TRUE(core.has_value());
  EXPECT_STREQ(core->ClassName(), "EInvalidCoreVersion");
  EXPECT_EQ(core->Message, u"x");
  EXPECT_EQ(core->ErrorCode, Code(0x8004D63A));
  EXPECT_EQ(core->HelpContext, 9);

  const auto convert = RaisedFor<EConvertError>(Code(0x800428DF), u"bad");
  ASSERT_TRUE(convert.has_value());
  EXPECT_STREQ(convert->ClassName(), "EConvertError");
  EXPECT_EQ(convert->Message, u"bad");
}

TEST_F(StatusConversion, Win32FacilityBecomesOsError) {
  const auto e = RaisedFor<EOSError>(Code(0x80070005), u"denied");
  ASSERT_TRUE(e.has_value());
  EXPECT_STREQ(e->ClassName(), "EOSError");
  EXPECT_EQ(e->ErrorCode, 5u);
  EXPECT_EQ(e->Message, u"denied");
}

TEST_F(StatusConversion, UnknownStatusBecomesOleException) {
  for (const HRESULT status : {Code(0x80046559), Code(0x80004005), Code(0x80047031)}) {
    const auto e = RaisedFor<EOleException>(status, u"why");
    ASSERT_TRUE(e.has_value());
    EXPECT_STREQ(e->ClassName(), "EOleException");
    EXPECT_EQ(e->ErrorCode, status);
    EXPECT_EQ(e->Message, u"why");
    EXPECT_EQ(e->Source, u"host.Source");
    EXPECT_EQ(e->HelpFile, u"host.hlp");
    EXPECT_EQ(e->HelpContext, 9);
  }
}

TEST_F(StatusConversion, NoErrorInfoGivesEmptyMessage) {
  const auto e = RaisedFor<EAbort>(Code(0x8004C1E0), u"");
  ASSERT_TRUE(e.has_value());
  EXPECT_STREQ(e->ClassName(), "EAbort");
  EXPECT_EQ(e->Message, u"");
}

TEST_F(StatusConversion, HandlerIsRemovedAtUnload) {
  RemoveSafeCallErrorHandler();
  EXPECT_EQ(GetSafeCallErrorHandler(), nullptr);
  InstallSafeCallErrorHandler();
  EXPECT_EQ(GetSafeCallErrorHandler(), &SafeCallErrorHandler);
}

TEST(ExceptionToStatus, ByClass) {
  struct Row {
    std::unique_ptr<Exception> e;
    std::uint32_t status;
  };
  Row rows[] = {
      {std::make_unique<Exception>(u"plain"), 0x8000FFFF},
      {std::make_unique<EConvertError>(u"c"), 0x800428DF},
      {std::make_unique<EOleSysError>(u"o", Code(0x80004005)), 0x80004005},
      {std::make_unique<EUnsupportedCore>(u"u"), 0x80046559},
      {std::make_unique<EOSError>(u"", 0), 0},
      {std::make_unique<EOSError>(u"", 0x12345), 0x80072345},
  };
  for (const Row& row : rows) EXPECT_EQ(ExceptionToStatus(*row.e), Code(row.status)) << row.e->ClassName();
}

// What the host sees when a module method of class "TPlugin" ends with the
// exception body raises.
template <class F>
HRESULT FailingMethod(F&& body) {
  return Guarded("TPlugin", std::forward<F>(body));
}

TEST(Guarded, ConvertErrorLeavesDomainErrorInfo) {
  EXPECT_EQ(FailingMethod([] { throw EConvertError(u"''x'' is not a valid date and time", 12); }),
            Code(0x800428DF));
  const auto info = TakeErrorInfo();
  ASSERT_TRUE(info.present);
  EXPECT_EQ(info.source, u"pluginsystem.TPlugin");
  EXPECT_EQ(info.description, u"''x'' is not a valid date and time");
  EXPECT_EQ(info.helpContext, 12u);
  EXPECT_EQ(info.guid, kPluginSystemErrorDomain);
  EXPECT_EQ(info.helpFile, u"");
}

TEST(Guarded, PlainExceptionHasZeroGuid) {
  EXPECT_EQ(FailingMethod([] { throw Exception(u"plain"); }), Code(0x8000FFFF));
  const auto info = TakeErrorInfo();
  ASSERT_TRUE(info.present);
  EXPECT_EQ(info.description, u"plain");
  EXPECT_EQ(info.guid, GUID{});
}

TEST(Guarded, OsErrorZeroIsSuccess) {
  EXPECT_EQ(FailingMethod([] { throw EOSError(u"none", 0); }), S_OK);
  TakeErrorInfo();
  EXPECT_EQ(FailingMethod([] { throw EOSError(u"denied", 5); }), Code(0x80070005));
  EXPECT_EQ(TakeErrorInfo().guid, GUID{});
}

TEST(Guarded, ForeignExceptionIsUnexpectedWithoutDescription) {
  EXPECT_EQ(FailingMethod([] { throw 42; }), Code(0x8000FFFF));
  const auto info = TakeErrorInfo();
  ASSERT_TRUE(info.present);
  EXPECT_EQ(info.source, u"pluginsystem.TPlugin");
  EXPECT_EQ(info.description, u"");
}

TEST(Guarded, SuccessLeavesNoErrorInfo) {
  EXPECT_EQ(FailingMethod([] {}), S_OK);
  EXPECT_FALSE(TakeErrorInfo().present);
}

}  // namespace
}  // namespace quillet

// The host operations against the scripted host: what each asks, what it
// answers, and that a failure status raises at the call.
#include "hostcalls/host_calls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hostcalls/host_query.h"
#include "runtime/exceptions.h"
#include "support/fake_host.h"

namespace quillet {
namespace {

using testing::FakeHost;

TEST(HostCalls, AnswerWhatTheHostAnswers) {
  FakeHost host;
  host.SetVariable(u"LOG.TABLE", u"MAIN");
  host.SetRecordCount(u"COUNTRY", 340);
  host.OnRecordCountWhere([](std::u16string_view, std::u16string_view) { return 2; });
  host.OnExecuteSQL([](std::u16string_view) { return 0; });
  host.SetMessageBoxResult(6);
  EXPECT_EQ(host_calls::GetVariable(host.Kernel(), u"LOG.TABLE"), u"MAIN");
  EXPECT_EQ(host_calls::GetVariable(host.Kernel(), u"NONE"), u"");
  EXPECT_EQ(host_calls::GetRecordCount(host.Server(), u"COUNTRY"), 340);
  EXPECT_EQ(host_calls::GetRecordCountWhere(host.Server(), u"LOGS", u"ID=1"), 2);
  EXPECT_EQ(host_calls::ExecuteSQL(host.Server(), u"DELETE FROM LOGS"), 0);
  EXPECT_EQ(host_calls::ShowMessageBox(host.Kernel(), u"Text", u"Caption", 1, 4), 6);
  EXPECT_EQ(host.ExecutedStatements(), std::vector<std::u16string>{u"DELETE FROM LOGS"});
  ASSERT_EQ(host.MessageBoxes().size(), 1u);
  EXPECT_EQ(host.MessageBoxes()[0].caption, u"Caption");
}

TEST(HostCalls, FailureStatusRaises) {
  FakeHost host;
  host.FailAt("ExecuteSQL", 1, E_FAIL, u"Database locked");
  host.FailAt("GetVariable", 1, E_FAIL);
  EXPECT_THROW(host_calls::ExecuteSQL(host.Server(), u"UPDATE LOGS SET ID=ID"), Exception);
  EXPECT_THROW(host_calls::GetVariable(host.Kernel(), u"APPINI"), Exception);
  EXPECT_EQ(host.ExecutedStatements().size(), 0u);
}

TEST(HostQuery, ClosesAndFreesWhenLeftWithoutEnd) {
  FakeHost host;
  {
    HostQuery query(host.Server());
    query.Open(u"SELECT * FROM COUNTRY");
    query.First();
    EXPECT_TRUE(query.Eof());
  }
  const std::vector<std::string> tail(host.Calls().end() - 2, host.Calls().end());
  EXPECT_EQ(tail, (std::vector<std::string>{"CloseQuery 1", "FreeQuery 1"}));
  EXPECT_EQ(host.LiveQueries(), 0u);
}

}  // namespace
}  // namespace quillet

// The run report's calls: asked of a host that lacks the interface, one
// QueryInterface and nothing else; with one that has it, each call reaches
// it and a failure status raises like any host call's.
#include "hostcalls/import_report_calls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/exceptions.h"
#include "support/fake_host.h"

namespace quillet {
namespace {

using testing::FakeHost;

class CountingReport final : public IImportReport {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
  HRESULT QUILLET_STDCALL ReportCounts(std::int32_t found, std::int32_t, std::int32_t, std::int32_t,
                                       std::int32_t, std::int32_t, std::int32_t) override {
    calls.push_back("Counts " + std::to_string(found));
    return S_OK;
  }
  HRESULT QUILLET_STDCALL ReportIgnored(BSTR, Flag outOfDate, std::int32_t records) override {
    calls.push_back("Ignored " + std::to_string(outOfDate) + " " + std::to_string(records));
    return S_OK;
  }
  HRESULT QUILLET_STDCALL ReportFailure(std::int32_t record, BSTR) override {
    calls.push_back("Failure " + std::to_string(record));
    return S_OK;
  }
  HRESULT QUILLET_STDCALL ReportEnd(std::int32_t failures, BSTR) override {
    calls.push_back("End " + std::to_string(failures));
    return endStatus;
  }

  int refs = 0;
  HRESULT endStatus = S_OK;
  std::vector<std::string> calls;
};

TEST(ImportReportCalls, AHostWithoutTheInterfaceIsOnlyAsked) {
  FakeHost host;
  EXPECT_FALSE(host_calls::QueryImportReport(host.Kernel()));
  EXPECT_TRUE(host.Calls().empty());
  EXPECT_EQ(host.RefCount(), 0);
}

TEST(ImportReportCalls, EachCallReachesTheHostAndAFailureRaises) {
  CountingReport report;
  {
    FakeHost host;
    host.AddInterface(IID_IImportReport, &report);
    const ComPtr<IImportReport> sink = host_calls::QueryImportReport(host.Kernel());
    ASSERT_TRUE(sink);
    host_calls::ReportCounts(sink.get(), 3, 1, 0, 0, 0, 1, 1);
    host_calls::ReportIgnored(sink.get(), u"W1XYZ", true, 1);
    host_calls::ReportFailure(sink.get(), 2, u"bad");
    host_calls::ReportEnd(sink.get(), 1, u"/tmp/a.err");
    EXPECT_EQ(report.calls, (std::vector<std::string>{"Counts 3", "Ignored -1 1", "Failure 2", "End 1"}));
    report.endStatus = E_FAIL;
    EXPECT_THROW(host_calls::ReportEnd(sink.get(), 1, u""), Exception);
  }
  EXPECT_EQ(report.refs, 0);
}

}  // namespace
}  // namespace quillet

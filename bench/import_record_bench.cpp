// A record's work in a run, short of executing its statement: its plan and
// the existence query, on typical ~300-character records in correction
// mode 1, with a host that answers counts at once: with the record's field
// index against the per-field search of the whole record.
#include <benchmark/benchmark.h>

#include <quillet/plugin_api.h>

#include <string>
#include <vector>

#include "engine/qso_plan.h"
#include "engine/sql_text.h"
#include "hostcalls/host_calls.h"
#include "logmodel/log_table.h"
#include "refdata/dictionaries.h"
#include "runtime/date_time.h"

namespace quillet {
namespace {

// Answers every count with 0 (so every record becomes an INSERT) and
// nothing else.
class CountingServer final : public IHostServer {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT QUILLET_STDCALL GetRecordCount(BSTR, std::int32_t*) override { return E_NOTIMPL; }
  HRESULT QUILLET_STDCALL GetRecordCountWhere(BSTR, BSTR, std::int32_t* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT QUILLET_STDCALL CreateQuery(QueryHandle*) override { return E_NOTIMPL; }
  HRESULT QUILLET_STDCALL SetQuerySQL(QueryHandle, BSTR) override { return E_NOTIMPL; }
  HRESULT QUILLET_STDCALL OpenQuery(QueryHandle, std::int32_t*) override { return E_NOTIMPL; }
  HRESULT QUILLET_STDCALL QueryFirst(QueryHandle) override { return E_NOTIMPL; }
  HRESULT QUILLET_STDCALL QueryNext(QueryHandle) override { return E_NOTIMPL; }
  HRESULT QUILLET_STDCALL QueryEof(QueryHandle, Flag*) override { return E_NOTIMPL; }
  HRESULT QUILLET_STDCALL GetFieldString(QueryHandle, BSTR, BSTR*, Flag*) override { return E_NOTIMPL; }
  HRESULT QUILLET_STDCALL GetFieldInteger(QueryHandle, BSTR, std::int32_t*, Flag*) override {
    return E_NOTIMPL;
  }
  HRESULT QUILLET_STDCALL GetFieldDateTime(QueryHandle, BSTR, std::uint16_t*, std::uint16_t*, std::uint16_t*,
                                           std::uint16_t*, std::uint16_t*, std::uint16_t*, Flag*) override {
    return E_NOTIMPL;
  }
  HRESULT QUILLET_STDCALL CloseQuery(QueryHandle) override { return E_NOTIMPL; }
  HRESULT QUILLET_STDCALL FreeQuery(QueryHandle) override { return E_NOTIMPL; }
  HRESULT QUILLET_STDCALL ExecuteSQL(BSTR, std::int32_t*) override { return E_NOTIMPL; }
};

// Records as logging programs write them, about 300 characters each.
std::vector<std::u16string> Records() {
  return {
      u"<CALL:5>k2cnn<QSO_DATE:8>20200519<TIME_ON:6>182000<BAND:3>20m<MODE:3>SSB<FREQ:7>14.2520"
      u"<RST_SENT:2>59<RST_RCVD:2>59<NAME:10>John Smith<QTH:9>Nashville<GRIDSQUARE:6>em63bf<CQZ:1>4"
      u"<ITUZ:1>7<DXCC:3>291<CONT:2>na<STATE:2>tn<QSL_RCVD:1>Y<QSLRDATE:8>20200611<OPERATOR:4>KI2D"
      u"<STATION_CALLSIGN:4>KI2D<COMMENT:21>Nice signal, see you!<EOR>",
      u"<call:7>OL90ROH<qso_date:8>20200519<time_on:4>1938<band:3>20M<mode:3>FT8<freq:7>14.0740"
      u"<rst_sent:3>-10<rst_rcvd:3>-07<name:5>Pavel<qth:6>Prague<gridsquare:4>JO70<cqz:2>15<ituz:2>28"
      u"<dxcc:3>503<cont:2>EU<pfx:3>OL9<qsl_sent:1>N<lotw_qsl_sent:1>Y<eqsl_qsl_rcvd:1>N<operator:4>ki2d"
      u"<comment:25>Special event station QSO<eor>",
      u"<CALL:5>F5RAG<QSO_DATE:8>20200519<TIME_ON:6>232700<BAND:3>40M<MODE:2>CW<FREQ:7>7.02300"
      u"<RST_SENT:3>599<RST_RCVD:3>579<NAME:6>Pierre<QTH:5>Lille<GRIDSQUARE:6>IN93UH<CQZ:2>14<ITUZ:2>27"
      u"<DXCC:3>227<CONT:2>EU<IOTA:6>EU-064<QSL_VIA:6>bureau<QSL_STATUS:1>Y<OPERATOR:4>KI2D"
      u"<COMMENT:16>First QSO on 40m<EOR>",
  };
}

void ImportRecords(benchmark::State& state, FieldLookup lookup) {
  CountingServer server;
  const Dictionaries dictionaries;
  const TLogStruct fields = BuildLogStruct(LogTable);
  QsoPlanner planner(fields);
  const TargetLog log{u"Main log", EncodeDate(2030, 1, 1), u"KI2D"};
  const PlanSettings settings{log, CorrectionMode::Format, 0, AdifLengths::Utf16Units, lookup};
  const std::u16string quotedLogName = QuoteSqlString(log.name);
  const std::vector<std::u16string> records = Records();
  QsoPlan plan;
  std::u16string condition;
  std::size_t next = 0;
  for (auto _ : state) {
    planner.Plan(records[next], settings, dictionaries, plan);
    // The run's existence query, as the run words it.
    condition.assign(u"LOGNAME=").append(quotedLogName).append(u" AND ").append(plan.keyCondition);
    benchmark::DoNotOptimize(host_calls::GetRecordCountWhere(&server, u"LOGS", condition));
    benchmark::DoNotOptimize(plan.insert.data());
    next = (next + 1) % records.size();
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_ImportRecordIndexed(benchmark::State& state) { ImportRecords(state, FieldLookup::Indexed); }
void BM_ImportRecordPerFieldSearch(benchmark::State& state) {
  ImportRecords(state, FieldLookup::PerFieldSearch);
}

BENCHMARK(BM_ImportRecordIndexed)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_ImportRecordPerFieldSearch)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace quillet

// What the chart adds to one cast: the same casts as engine_bench, alone
// and followed by the chart, at an ordinary moment and a few minutes from a
// 节 (where the month needs the full solar theory).
#include <benchmark/benchmark.h>

#include "engine/Chart.h"
#include "engine/Dispatch.h"
#include "engine/Report.h"
#include "engine/SolarTerms.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"

using namespace rg_com_ptl_xyh;

namespace {

void NumberCast(benchmark::State& state, double when, bool chart) {
  FixedClock clock(when);
  rg_GuaReport report;
  rg_CastDispatch dispatch(clock, report);
  rg_QiGuaModel request;
  request.method = CastMethod::Number;
  request.numberText = u"1234567";
  request.zodiac = 5;
  for (auto _ : state) {
    dispatch.Dispatch(1, 1, u"按卦主生肖与数字测算", request);
    benchmark::DoNotOptimize(report.Reading().data());
    if (chart) {
      const rg_ChartModel c = BuildChart(report.Analysis(), clock.BiasMinutes());
      benchmark::DoNotOptimize(c.monthPillar.data());
    }
  }
}

// 2024-06-01 10:00: mid-month.
const double kMidMonth = MakeDate(2024, 6, 1, 10, 0, 0, 5);
// 2024-06-05 12:05, five minutes before 芒种.
const double kNearJie = MakeDate(2024, 6, 5, 12, 5, 0, 5);

void BM_Cast(benchmark::State& state) { NumberCast(state, kMidMonth, false); }
void BM_CastAndChart(benchmark::State& state) { NumberCast(state, kMidMonth, true); }
void BM_CastAndChartNearJie(benchmark::State& state) { NumberCast(state, kNearJie, true); }
BENCHMARK(BM_Cast);
BENCHMARK(BM_CastAndChart);
BENCHMARK(BM_CastAndChartNearJie);

void BM_ApparentSolarLongitude(benchmark::State& state) {
  double jde = 2460462.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(astro::ApparentSolarLongitude(jde));
    jde += 0.001;
  }
}
BENCHMARK(BM_ApparentSolarLongitude);

void BM_ChartTextOfACast(benchmark::State& state) {
  FixedClock clock(kMidMonth);
  rg_GuaReport report;
  rg_CastDispatch dispatch(clock, report);
  rg_QiGuaModel request;
  request.method = CastMethod::Number;
  request.numberText = u"1234567";
  request.zodiac = 5;
  dispatch.Dispatch(1, 1, u"按卦主生肖与数字测算", request);
  for (auto _ : state) {
    const rg_ChartModel c = BuildChart(report.Analysis(), -480);
    benchmark::DoNotOptimize(ChartText(MakeChartSheet(c, report, -480)).data());
  }
}
BENCHMARK(BM_ChartTextOfACast);

}  // namespace

namespace {

// The chart alone, on the record of a finished cast.
void BM_ChartOnly(benchmark::State& state) {
  FixedClock clock(state.range(0) == 0 ? kMidMonth : kNearJie);
  rg_GuaReport report;
  rg_CastDispatch dispatch(clock, report);
  rg_QiGuaModel request;
  request.method = CastMethod::Number;
  request.numberText = u"1234567";
  request.zodiac = 5;
  dispatch.Dispatch(1, 1, u"按卦主生肖与数字测算", request);
  for (auto _ : state) {
    const rg_ChartModel c = BuildChart(report.Analysis(), -480);
    benchmark::DoNotOptimize(c.monthPillar.data());
  }
}
BENCHMARK(BM_ChartOnly)->Arg(0)->Arg(1);

}  // namespace

// One cast from the casting panel's event to the finished reading text.
#include <benchmark/benchmark.h>

#include "engine/Dispatch.h"
#include "engine/Report.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"

using namespace rg_com_ptl_xyh;

namespace {

void BM_NumberCast(benchmark::State& state) {
  FixedClock clock(MakeDate(2024, 6, 1, 10, 0, 0, 5));
  rg_GuaReport report;
  rg_CastDispatch dispatch(clock, report);
  rg_QiGuaModel request;
  request.method = CastMethod::Number;
  request.numberText = u"1234567";
  request.zodiac = 5;
  for (auto _ : state) {
    dispatch.Dispatch(1, 1, u"按卦主生肖与数字测算", request);
    benchmark::DoNotOptimize(report.Reading().data());
  }
}
BENCHMARK(BM_NumberCast);

void BM_TimeCast(benchmark::State& state) {
  FixedClock clock(MakeDate(2024, 6, 6, 22, 5, 17, 250));
  rg_GuaReport report;
  rg_CastDispatch dispatch(clock, report);
  rg_QiGuaModel request;
  request.method = CastMethod::Time;
  request.timeChoice = TimeChoice::NextDraw;
  request.zodiac = 5;
  for (auto _ : state) {
    dispatch.Dispatch(1, 3, u"按卦主生肖与超时空毫秒数测算", request);
    benchmark::DoNotOptimize(report.Reading().data());
  }
}
BENCHMARK(BM_TimeCast);

void BM_HandCast(benchmark::State& state) {
  FixedClock clock(MakeDate(2024, 6, 1, 10));
  rg_GuaReport report;
  rg_CastDispatch dispatch(clock, report);
  rg_QiGuaModel request;
  request.method = CastMethod::HandLines;
  request.upstr = u"010";
  request.downstr = u"101";
  request.dong = {1, 0, 0, -1, 0, 0};
  request.castTime = MakeDate(2024, 6, 1, 10);
  request.zodiac = 5;
  for (auto _ : state) {
    dispatch.Dispatch(1, 2, u"按卦主生肖与自己装载线下卦测算", request);
    benchmark::DoNotOptimize(report.Reading().data());
  }
}
BENCHMARK(BM_HandCast);

}  // namespace

// The derivation alone, and a whole cast through to the result text.
#include <benchmark/benchmark.h>

#include "derive/Derive.h"
#include "derive/ResultText.h"
#include "engine/Dispatch.h"
#include "engine/Report.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"

using namespace rg_com_ptl_xyh;

namespace {

struct Fixture {
  FixedClock clock{MakeDate(2024, 6, 1, 10, 0, 0, 5)};
  rg_GuaReport report;
  rg_CastDispatch dispatch{clock, report};
  rg_QiGuaModel request;

  explicit Fixture(const char16_t* number) {
    report.SetReadyHandler([](rg_GuaAnalysis& a) { BuildNumberProfile(a); });
    request.method = CastMethod::Number;
    request.numberText = number;
    request.zodiac = 5;
  }
  void Cast() { dispatch.Dispatch(1, 1, u"按卦主生肖与数字测算", request); }
};

void BM_DeriveNumbers(benchmark::State& state) {
  Fixture f(state.range(0) == 0 ? u"58" : u"1234567");
  f.Cast();
  for (auto _ : state) {
    benchmark::DoNotOptimize(DeriveNumbers(f.report.Analysis().profile));
  }
}
BENCHMARK(BM_DeriveNumbers)->Arg(0)->Arg(1);

void BM_CastToResultText(benchmark::State& state) {
  Fixture f(u"1234567");
  for (auto _ : state) {
    f.Cast();
    benchmark::DoNotOptimize(ResultTextFor(f.report.Analysis()));
  }
}
BENCHMARK(BM_CastToResultText);

}  // namespace

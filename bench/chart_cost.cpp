// Instructions per cast, for callgrind (bench/chart_cost.sh): N number casts
// as the window and xyh-cli make them (the cast and its reading, the
// numbers and the result text), with or without the whole chart after each.
//   bench_chart_cost N cast|chart
#include <cstdio>
#include <cstdlib>
#include <string>

#include "derive/Derive.h"
#include "derive/ResultText.h"
#include "engine/Chart.h"
#include "engine/Dispatch.h"
#include "engine/Report.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_chart_cost N cast|chart\n");
    return 2;
  }
  const int n = std::atoi(argv[1]);
  const bool chart = std::string(argv[2]) == "chart";
  FixedClock clock(MakeDate(2024, 6, 1, 10, 0, 0, 5), -480);
  size_t sink = 0;
  for (int i = 0; i < n; ++i) {
    rg_GuaReport report;
    report.SetReadyHandler([](rg_GuaAnalysis& analysis) { BuildNumberProfile(analysis); });
    rg_CastDispatch dispatch(clock, report);
    rg_QiGuaModel request;
    request.method = CastMethod::Number;
    request.numberText = DecimalText(1000 + i);
    request.zodiac = i % 12 + 1;
    dispatch.Dispatch(rg_CastDispatch::kEngineTag, 1, u"按卦主生肖与数字测算", request);
    sink += FillResultText(DeriveNumbers(report.Analysis().profile)).size();
    if (chart) {
      const rg_ChartModel c = BuildChart(report.Analysis(), clock.BiasMinutes());
      sink += c.lines.size() + c.monthPillar.size();
    }
  }
  std::printf("%zu\n", sink);
  return 0;
}

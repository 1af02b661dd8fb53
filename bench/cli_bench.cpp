// What one cast of xyh-cli cast --batch costs inside the process: the cast,
// the derivation, the result text and its line of JSON, without the reading
// and splitting of the input line. bench/startup.sh sets the batch's cost per
// cast against it; both cast the same numbers (1000 + i, zodiac i % 12 + 1).
#include <benchmark/benchmark.h>
#include <json/json.h>

#include <cstdio>
#include <string>

#include "derive/Derive.h"
#include "derive/ResultText.h"
#include "engine/Dispatch.h"
#include "engine/Report.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

namespace {

std::string JsonLine(const rg_QiGuaModel& request, const rg_GuaReport& report) {
  const DerivedNumbers numbers = DeriveNumbers(report.Analysis().profile);
  Json::Value out(Json::objectValue);
  const DateParts p = SplitDate(request.castTime);
  char time[40];
  std::snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d:%02d.%03d", p.year, p.month, p.day,
                p.hour, p.minute, p.second, p.millisecond);
  out["castTime"] = time;
  out["numberText"] = ToUtf8(request.numberText);
  out["header"] = ToUtf8(report.Header());
  out["primaryTitle"] = ToUtf8(report.PrimaryTitle());
  out["changedTitle"] = ToUtf8(report.ChangedTitle());
  Json::Value grid(Json::arrayValue);
  for (const auto& row : report.Cells()) {
    Json::Value cells(Json::arrayValue);
    for (const auto& cell : row) cells.append(ToUtf8(cell));
    grid.append(cells);
  }
  out["grid"] = grid;
  out["reading"] = ToUtf8(report.Reading());
  Json::Value list(Json::arrayValue);
  for (const auto& text : numbers) list.append(ToUtf8(text));
  out["numbers"] = list;
  out["result"] = ToUtf8(FillResultText(numbers));
  Json::StreamWriterBuilder builder;
  builder["emitUTF8"] = true;
  builder["indentation"] = "";
  return Json::writeString(builder, out);
}

void BM_CastToJsonLine(benchmark::State& state) {
  const FixedClock clock(MakeDate(2024, 6, 1, 10, 0, 0, 0));
  long i = 0;
  for (auto _ : state) {
    rg_GuaReport report;
    report.SetReadyHandler([](rg_GuaAnalysis& a) { BuildNumberProfile(a); });
    rg_CastDispatch dispatch(clock, report);
    rg_QiGuaModel request;
    request.method = CastMethod::Number;
    // Spread over the batch's 100 000 casts whatever the iteration count.
    const long k = i++ * 7919 % 100000;
    request.numberText = FromUtf8(std::to_string(1000 + k));
    request.zodiac = static_cast<int>(k % 12) + 1;
    dispatch.Dispatch(1, 1, u"按卦主生肖与数字测算", request);
    benchmark::DoNotOptimize(JsonLine(request, report));
  }
}
BENCHMARK(BM_CastToJsonLine)->Unit(benchmark::kMicrosecond);

}  // namespace

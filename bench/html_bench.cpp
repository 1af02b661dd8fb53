// Parsing and querying a 300 KB results page, against Gumbo's parse alone
// on the same bytes.
#include <benchmark/benchmark.h>
#include <gumbo.h>

#include <fstream>
#include <iterator>
#include <string>

#include "draws/DrawScraper.h"
#include "net/GumboShim.h"
#include "net/HtmlQuery.h"

using namespace rg_com_ptl_xyh;

namespace {

// The realistic page with 300 KB of other tables before its draws.
const std::string& Page() {
  static const std::string page = [] {
    std::ifstream in(XYH_BENCH_DATA "/results_home.html", std::ios::binary);
    std::string home((std::istreambuf_iterator<char>(in)), {});
    std::string filler;
    int row = 0;
    while (filler.size() < 300'000) {
      filler += "<table class=\"history\"><tbody>";
      for (int i = 0; i < 20; ++i, ++row) {
        filler +=
            "<tr><td class=\"name\"><a href=\"/h/" + std::to_string(row) +
            "\">历史开奖</a></td><td>" + std::to_string(2024000 + row) +
            "</td><td>2024-01-01</td><td class=\"ball\"><span class=\"red\">01</span><span class=\"red\">"
            "12</span><span class=\"blue\">07</span></td></tr>";
      }
      filler += "</tbody></table>";
    }
    home.insert(home.find("<div class=\"main\">"), filler);
    return home;
  }();
  return page;
}

void BM_GumboParseOnly(benchmark::State& state) {
  const std::string& page = Page();
  const GumboOptions* options = rg_com_ptl_xyh::GumboDefaultOptions();
  for (auto _ : state) {
    GumboOutput* output = gumbo_parse_with_options(options, page.data(), page.size());
    benchmark::DoNotOptimize(output);
    gumbo_destroy_output(options, output);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_GumboParseOnly)->Unit(benchmark::kMillisecond);

void BM_ParseAndQueryDraw(benchmark::State& state) {
  const std::string& page = Page();
  for (auto _ : state) {
    const rg_DrawRecord r = parseDrawTableRow(1, 3, u"双色球", u"red", &page);
    if (r.status != 200 || r.numbers.size() != 12) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(r.numbers.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_ParseAndQueryDraw)->Unit(benchmark::kMillisecond);

}  // namespace

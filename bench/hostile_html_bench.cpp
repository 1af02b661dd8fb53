// The cost of a results page built to hurt: for every page up to the size
// bound, one parse and the queries of every lottery, against Gumbo's own
// parse where that applies. Each case also reports the peak resident memory
// of a fresh process doing the same work once (counter peak_MB).
//
//   bench_hostile_html                     the benchmarks
//   bench_hostile_html --once CASE         one parse and query, then exit
#include <benchmark/benchmark.h>
#include <gumbo.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include "draws/DrawScraper.h"
#include "net/GumboShim.h"
#include "net/HtmlBounds.h"
#include "net/HtmlQuery.h"

using namespace rg_com_ptl_xyh;

namespace {

constexpr size_t kPage = static_cast<size_t>(kMaxPageBytes);

std::string Repeat(std::string_view piece, size_t n) {
  std::string out;
  out.reserve(piece.size() * n);
  for (size_t i = 0; i < n; ++i) out += piece;
  return out;
}

// Text up to the page bound after the markup.
std::string Filled(std::string page) {
  if (page.size() < kPage) page += std::string(kPage - page.size(), 'x');
  return page;
}

const std::map<std::string, std::function<std::string()>>& Cases() {
  static const std::map<std::string, std::function<std::string()>> cases = {
      // The 4.7 MB table of 250 000 rows.
      {"table250k",
       [] {
         return "<table class=\"kjtable\"><tbody>" + Repeat("<tr><td>1</td></tr>", 250'000) +
                "</tbody></table>";
       }},
      // As many elements as the bound lets through, then text.
      {"elements",
       [] { return Filled(Repeat("<i></i>", kMaxHtmlTreeBytes / kElementBytes - 10)); }},
      // Nesting at the bound, each paragraph closing the last one through it.
      {"deep_paragraphs",
       [] {
         return Filled(
             Repeat("<div>", kMaxHtmlDepth - 2) +
             Repeat("<p>x", kMaxHtmlTreeBytes / (kElementBytes + kTextBytes) - kMaxHtmlDepth));
       }},
      // The most attributes on each tag, as many tags as fit.
      {"attributes",
       [] {
         std::string tag = "<span";
         for (int i = 0; i < kMaxHtmlAttributes; ++i) tag += " a" + std::to_string(i);
         tag += "></span>";
         return Filled(Repeat(
             tag, kMaxHtmlTreeBytes / (kElementBytes + kMaxHtmlAttributes * kAttributeBytes) - 1));
       }},
      {"comments",
       [] { return Filled(Repeat("<!--x-->", kMaxHtmlTreeBytes / kCommentBytes - 10)); }},
      // Elements and text in turn.
      {"text_runs",
       [] {
         return Filled(Repeat("<i>x</i>", kMaxHtmlTreeBytes / (kElementBytes + kTextBytes) - 10));
       }},
      {"entities", [] { return Filled(Repeat("&amp;&#x4e00;&lt;&nbsp;", kPage / 24)); }},
      // Refused by the scan before the parser sees them.
      {"nested_divs", [] { return Filled(Repeat("<div>", 100'000)); }},
      {"unclosed_b", [] { return Filled(Repeat("<b>", kPage / 3)); }},
      {"many_attributes", [] { return Filled("<div" + Repeat(" a", kPage / 2 - 4) + ">"); }},
  };
  return cases;
}

// One parse, then what every lottery's parser asks of the page.
int ParseAndQueryAll(const std::string& page) {
  rg_GaoJiWangYeJieXiQi document;
  if (!document.Parse(page)) return -1;
  int found = 0;
  for (int code = 101; code <= 106; ++code) {
    const rg_Lottery* lottery = FindLottery(*LotteryCodeOf(code));
    rg_WangYeYuanSuLei cells;
    document.Find(".kjtable > tbody:nth-child(" + std::to_string(lottery->section) +
                      ") > tr:nth-child(" + std::to_string(lottery->row) + ") > td",
                  cells);
    rg_WangYeJieDianLei cell;
    if (cells.Count() >= 5 && cells.NodeAt(4, cell)) {
      rg_WangYeYuanSuLei spans;
      cell.Find("span", spans);
      found += static_cast<int>(spans.Count());
    }
  }
  rg_WangYeYuanSuLei divs;
  document.Find("div", divs);
  for (size_t i = 0; i < divs.Count(); ++i) {
    rg_WangYeJieDianLei div;
    divs.NodeAt(i, div);
    if (div.Attribute("class") == u"more-time-cont") ++found;
  }
  return found;
}

// The process's own peak resident memory (VmHWM), in KiB.
long PeakKib() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// Peak resident memory of a fresh process doing ParseAndQueryAll once. The
// child reports its own peak: the rusage of a spawned child also counts the
// parent's memory it started from.
double PeakMegabytes(const std::string& name) {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return -1;
  self[n] = '\0';
  FILE* child = popen((std::string(self) + " --once " + name).c_str(), "r");
  if (child == nullptr) return -1;
  long kib = -1;
  if (std::fscanf(child, "%ld", &kib) != 1) kib = -1;
  pclose(child);
  return static_cast<double>(kib) / 1024.0;
}

void BM_ParseAndQueryAll(benchmark::State& state, const std::string& name) {
  const std::string page = Cases().at(name)();
  int found = 0;
  for (auto _ : state) {
    found = ParseAndQueryAll(page);
    benchmark::DoNotOptimize(found);
  }
  state.counters["page_MB"] = static_cast<double>(page.size()) / (1024.0 * 1024.0);
  state.counters["parsed"] = found >= 0 ? 1 : 0;
  state.counters["peak_MB"] = PeakMegabytes(name);
}

void BM_GumboParseOnly(benchmark::State& state, const std::string& name) {
  const std::string page = Cases().at(name)();
  const GumboOptions* options = rg_com_ptl_xyh::GumboDefaultOptions();
  for (auto _ : state) {
    GumboOutput* output = gumbo_parse_with_options(options, page.data(), page.size());
    benchmark::DoNotOptimize(output);
    gumbo_destroy_output(options, output);
  }
}

// The table as the strip reads it: parse and the 双色球 row.
void BM_DrawTableRow(benchmark::State& state) {
  const std::string page = Cases().at("table250k")();
  for (auto _ : state) {
    const rg_DrawRecord r = parseDrawTableRow(1, 3, u"双色球", u"red", &page);
    benchmark::DoNotOptimize(r.status);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--once") == 0) {
    const auto it = Cases().find(argv[2]);
    if (it == Cases().end()) return 2;
    const int found = ParseAndQueryAll(it->second());
    std::printf("%ld\n", PeakKib());
    return found >= -1 ? 0 : 1;
  }
  benchmark::RegisterBenchmark("GumboParseOnly/table250k", BM_GumboParseOnly,
                               std::string("table250k"))
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("DrawTableRow/table250k", BM_DrawTableRow)
      ->Unit(benchmark::kMillisecond);
  for (const auto& [name, make] : Cases()) {
    benchmark::RegisterBenchmark(("ParseAndQueryAll/" + name).c_str(), BM_ParseAndQueryAll, name)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

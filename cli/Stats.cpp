#include "cli/Stats.h"

#include <json/json.h>

#include <cstdio>
#include <iostream>

#include "cli/Args.h"
#include "cli/Common.h"
#include "history/DrawArchive.h"
#include "history/DrawStats.h"
#include "history/EasyDb.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

namespace xyh_cli {

namespace {

// More draws than 双色球 will hold in ten thousand years; beyond this a
// number is a typing slip, not a window.
constexpr long kMaxLast = 1'000'000;

std::size_t ParseLast(const std::optional<std::string>& text) {
  if (!text) return 0;
  if (text->empty() || text->size() > 7 ||
      text->find_first_not_of("0123456789") != std::string::npos || std::stol(*text) < 1 ||
      std::stol(*text) > kMaxLast) {
    throw UsageError{"--last takes a whole number of draws from 1 to 1000000; not \"" + *text +
                     "\""};
  }
  return static_cast<std::size_t>(std::stol(*text));
}

template <std::size_t N>
Json::Value NumberList(const std::array<rg_NumberStat, N>& stats) {
  Json::Value list(Json::arrayValue);
  for (const rg_NumberStat& s : stats) {
    Json::Value v(Json::objectValue);
    v["number"] = s.number;
    v["count"] = s.count;
    v["omission"] = s.omission;
    v["maxOmission"] = s.maxOmission;
    list.append(v);
  }
  return list;
}

Json::Value StatsJson(const rg_DrawStats& stats) {
  Json::Value v(Json::objectValue);
  v["draws"] = stats.draws;
  v["first"] = ToUtf8(stats.FirstIssue());
  v["last"] = ToUtf8(stats.LastIssue());
  v["red"] = NumberList(stats.red);
  v["blue"] = NumberList(stats.blue);
  Json::Value perDraw(Json::arrayValue);
  for (const rg_DrawShape& d : stats.perDraw) {
    Json::Value row(Json::objectValue);
    row["issue"] = ToUtf8(d.issue);
    row["sum"] = d.sum;
    row["span"] = d.span;
    row["odd"] = d.odd;
    row["big"] = d.big;
    row["consecutive"] = d.consecutive;
    perDraw.append(row);
  }
  v["perDraw"] = perDraw;
  v["hot"] = JsonNumbers(stats.hot);
  v["cold"] = JsonNumbers(stats.cold);
  Json::Value missing(Json::arrayValue);
  for (const std::u16string& issue : stats.missingIssues) missing.append(ToUtf8(issue));
  v["missingIssues"] = missing;
  return v;
}

std::string Two(int n) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

template <std::size_t N>
void PrintNumbers(const char* title, const std::array<rg_NumberStat, N>& stats) {
  std::cout << title << "\tcount\tomission\tmaxOmission\n";
  for (const rg_NumberStat& s : stats) {
    std::cout << Two(s.number) << "\t" << s.count << "\t" << s.omission << "\t" << s.maxOmission
              << "\n";
  }
}

void PrintText(const rg_DrawStats& stats) {
  std::cout << "双色球: " << stats.draws << " draws, " << ToUtf8(stats.FirstIssue()) << " to "
            << ToUtf8(stats.LastIssue()) << "\n";
  // Said before the figures: an omission counted over a hole is short.
  if (!stats.missingIssues.empty()) {
    std::cout << "缺" << stats.missingIssues.size() << "期 (not stored, figures count the stored "
              << "draws only):";
    for (const std::u16string& issue : stats.missingIssues) std::cout << " " << ToUtf8(issue);
    std::cout << "\n";
  }
  std::cout << "\n";
  PrintNumbers("red", stats.red);
  std::cout << "\n";
  PrintNumbers("blue", stats.blue);
  std::cout << "\nissue\tdate\t\tred\t\t\tblue\tsum\tspan\todd\tbig\tconsecutive\n";
  for (const rg_DrawShape& d : stats.perDraw) {
    std::cout << ToUtf8(d.issue) << "\t" << ToUtf8(DrawDateText(d.date)) << "\t"
              << NumbersText(std::vector<int>(d.red.begin(), d.red.end())) << "\t" << Two(d.blue)
              << "\t" << d.sum << "\t" << d.span << "\t" << d.odd << "\t" << d.big << "\t"
              << d.consecutive << "\n";
  }
  const auto list = [](const std::array<int, kHotColdSize>& numbers) {
    return NumbersText(std::vector<int>(numbers.begin(), numbers.end()));
  };
  std::cout << "\nhot:  " << list(stats.hot) << "\ncold: " << list(stats.cold) << "\n";
}

}  // namespace

int RunStats(const std::vector<std::string>& argv) {
  const Args args(argv, {"last", "home"}, {"json"});
  if (!args.Positional().empty())
    throw UsageError{"stats takes no words, only --last N and --json"};
  const std::size_t last = ParseLast(args.Get("last"));
  if (!OpenStore(args.Get("home"))) return 1;

  const rg_DrawStats stats =
      ComputeDrawStats(rg_DrawArchive(rg_EasyDb::Process()).DoubleColorDraws(), last);
  if (stats.Empty()) {
    std::cerr
        << "xyh-cli: no 双色球 draw is stored; read draws first (xyh-cli draw, or the window's refresh) "
           "or import them (xyh-cli draws import FILE)\n";
    return 1;
  }
  if (args.Has("json")) {
    std::cout << JsonText(StatsJson(stats)) << "\n";
  } else {
    PrintText(stats);
  }
  return std::cout.good() ? 0 : 1;
}

}  // namespace xyh_cli

#include "cli/Stats.h"

#include <json/json.h>

#include <functional>
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

// A JSON text placed at an indentation: its later lines move in with it.
std::string Indented(const std::string& text) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '\n') out += "  ";
  }
  return out;
}

// One draw's shape as a line of JSON, written by hand: it holds only
// numbers and the issue's digits, and a long window has hundreds of
// thousands of them.
void WriteShapeJson(std::ostream& out, const rg_DrawShape& d) {
  out << "{\"big\":" << d.big << ",\"consecutive\":" << d.consecutive << ",\"issue\":\""
      << ToUtf8(d.issue) << "\",\"odd\":" << d.odd << ",\"span\":" << d.span << ",\"sum\":" << d.sum
      << "}";
}

template <std::size_t N>
void PrintNumbers(const char* title, const std::array<rg_NumberStat, N>& stats) {
  std::cout << title << "\tcount\tomission\tmaxOmission\n";
  for (const rg_NumberStat& s : stats) {
    std::cout << Two(s.number) << "\t" << s.count << "\t" << s.omission << "\t" << s.maxOmission
              << "\n";
  }
}

void PrintShapeText(const rg_DrawShape& d) {
  std::cout << ToUtf8(d.issue) << "\t" << ToUtf8(DrawDateText(d.date)) << "\t"
            << NumbersText(std::vector<int>(d.red.begin(), d.red.end())) << "\t" << Two(d.blue)
            << "\t" << d.sum << "\t" << d.span << "\t" << d.odd << "\t" << d.big << "\t"
            << d.consecutive << "\n";
}

}  // namespace

void CheckLast(const std::string& last, std::string_view /*option*/) { ParseLast(last); }

int RunStats(const std::vector<std::string>& argv) {
  const Args args(argv, *FindCommand("stats"));
  if (!args.Positional().empty())
    throw UsageError{"stats takes no words, only --last N and --json"};
  const std::size_t last = ParseLast(args.Get("last"));
  if (!OpenStore(args.Get("home"), true)) return 1;

  // Three passes over the archive, none holding the draws: how many there
  // are, the figures over the window, then its draws one by one as they
  // are printed. An archive of hundreds of thousands of draws stays small.
  const rg_DrawArchive archive(rg_EasyDb::Process());
  std::size_t total = 0;
  archive.VisitDraws(LotteryCode::DoubleColor, false, [&total](const rg_DrawEntry& d) {
    if (IsDoubleColorDraw(d)) ++total;
  });
  // Figures over part of the draws would be wrong without a word; a lock or
  // a damaged file is said as every other command says it.
  if (archive.LastStatus() != rg_StoreStatus::Ok)
    return ArchiveFailure(archive, "the draws could not be read: ");
  if (total == 0) {
    std::cerr
        << "xyh-cli: no 双色球 draw is stored; read draws first (xyh-cli draw, or the window's refresh) "
           "or import them (xyh-cli draws import FILE)\n";
    return 1;
  }
  const std::size_t skip = last == 0 || last >= total ? 0 : total - last;
  const auto visitWindow = [&archive, skip](const std::function<void(const rg_DrawShape&)>& f) {
    std::size_t i = 0;
    return archive.VisitDraws(LotteryCode::DoubleColor, false, [&](const rg_DrawEntry& d) {
      if (IsDoubleColorDraw(d) && i++ >= skip) f(DrawShapeOf(d));
    });
  };
  rg_DrawTally tally;
  std::u16string first, newest;
  const auto tallied = visitWindow([&](const rg_DrawShape& d) {
    if (first.empty()) first = d.issue;
    newest = d.issue;
    tally.Add(d);
  });
  if (tallied != rg_StoreStatus::Ok)
    return ArchiveFailure(archive, "the draws could not be read: ");
  const rg_DrawStats stats = tally.Finish();

  const bool json = args.Has("json");
  Json::Value missing(Json::arrayValue);
  for (const std::u16string& issue : stats.missingIssues) missing.append(ToUtf8(issue));
  bool firstRow = true;
  if (json) {
    // The keys in the order jsoncpp writes them, perDraw streamed.
    std::cout << "{\n  \"blue\" : " << Indented(JsonText(NumberList(stats.blue)))
              << ",\n  \"cold\" : " << Indented(JsonText(JsonNumbers(stats.cold)))
              << ",\n  \"draws\" : " << stats.draws << ",\n  \"first\" : \"" << ToUtf8(first)
              << "\",\n  \"hot\" : " << Indented(JsonText(JsonNumbers(stats.hot)))
              << ",\n  \"last\" : \"" << ToUtf8(newest)
              << "\",\n  \"missingIssues\" : " << Indented(JsonText(missing))
              << ",\n  \"perDraw\" : [";
  } else {
    std::cout << "双色球: " << stats.draws << " draws, " << ToUtf8(first) << " to "
              << ToUtf8(newest) << "\n";
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
  }
  const auto printed = visitWindow([&](const rg_DrawShape& d) {
    if (!json) return PrintShapeText(d);
    std::cout << (firstRow ? "\n    " : ",\n    ");
    firstRow = false;
    WriteShapeJson(std::cout, d);
  });
  if (json) {
    std::cout << "\n  ],\n  \"red\" : " << Indented(JsonText(NumberList(stats.red))) << "\n}\n";
  } else {
    const auto list = [](const std::array<int, kHotColdSize>& numbers) {
      return NumbersText(std::vector<int>(numbers.begin(), numbers.end()));
    };
    std::cout << "\nhot:  " << list(stats.hot) << "\ncold: " << list(stats.cold) << "\n";
  }
  if (printed != rg_StoreStatus::Ok)
    return ArchiveFailure(archive, "the draws could not be read to their end: ");
  return 0;
}

}  // namespace xyh_cli

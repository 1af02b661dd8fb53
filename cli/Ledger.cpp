#include "cli/Ledger.h"

#include <json/json.h>

#include <cstdio>
#include <iostream>

#include "cli/Args.h"
#include "cli/Common.h"
#include "cli/Terminal.h"
#include "history/EasyDb.h"
#include "history/Ledger.h"
#include "platform/Folders.h"
#include "platform/Settings.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

namespace xyh_cli {

namespace {

rg_LedgerBy ParseBy(const std::string& by) {
  if (by == "draw") return rg_LedgerBy::Draw;
  if (by == "month") return rg_LedgerBy::Month;
  if (by == "year") return rg_LedgerBy::Year;
  throw UsageError{"--by takes draw, month or year"};
}

double ParseDay(const std::string& date, std::string_view option) {
  const auto day = ParseDrawDate(date);
  if (!day) throw UsageError{std::string(option) + " takes a real date written YYYY-MM-DD"};
  return *day;
}

std::string Yuan(std::int64_t value) { return GroupedYuan(value); }

// Columns on a terminal: a CJK character takes two.
std::size_t Width(std::string_view text) {
  std::size_t width = 0;
  for (const unsigned char c : text) {
    if ((c & 0xC0) != 0x80) width += c >= 0xE0 ? 2 : 1;
  }
  return width;
}

Json::Value FiguresJson(const rg_LedgerFigures& f) {
  Json::Value v(Json::objectValue);
  v["plays"] = Json::Int64(f.plays);
  v["bets"] = Json::Int64(f.bets);
  v["spent"] = Json::Int64(f.spent);
  v["won"] = Json::Int64(f.won);
  v["floatingUnknown"] = Json::Int64(f.floatingUnknown);
  v["net"] = Json::Int64(f.Net());
  v["bestTier"] = f.bestTier > 0 ? Json::Value(f.bestTier) : Json::Value();
  return v;
}

Json::Value LedgerJson(const rg_Ledger& ledger, const std::optional<std::int64_t>& budget) {
  Json::Value periods(Json::arrayValue);
  for (const rg_LedgerPeriod& p : ledger.periods) {
    Json::Value v = FiguresJson(p.figures);
    v["period"] = ToUtf8(p.key);
    if (budget) v["overBudget"] = p.overBudget;
    periods.append(v);
  }
  Json::Value totals = FiguresJson(ledger.totals.figures);
  totals["pendingSpent"] = Json::Int64(ledger.totals.pendingSpent);
  totals["missingSpent"] = Json::Int64(ledger.totals.missingSpent);
  totals["returnRate"] =
      ledger.totals.returnRate ? Json::Value(*ledger.totals.returnRate) : Json::Value();
  if (budget) totals["budget"] = Json::Int64(*budget);
  Json::Value out(Json::objectValue);
  out["periods"] = periods;
  out["totals"] = totals;
  return out;
}

std::vector<std::string> Row(const std::string& period, const rg_LedgerFigures& f) {
  return {period,
          std::to_string(f.plays),
          std::to_string(f.bets),
          Yuan(f.spent),
          Yuan(f.won),
          Yuan(f.Net()),
          f.bestTier > 0 ? ToUtf8(TierName(f.bestTier)) : "-",
          f.floatingUnknown > 0 ? std::to_string(f.floatingUnknown) + "注" : "-"};
}

void PrintLedger(const rg_Ledger& ledger, const std::optional<std::int64_t>& budget,
                 rg_LedgerBy by) {
  std::vector<std::string> header = {"期间",     "注单",     "注数",     "投入(元)",
                                     "中奖(元)", "盈亏(元)", "最高奖级", "浮动奖未录入"};
  const bool marks = budget && by == rg_LedgerBy::Month;
  if (marks) header.push_back("预算");
  std::vector<std::vector<std::string>> rows{header};
  for (const rg_LedgerPeriod& p : ledger.periods) {
    rows.push_back(Row(ToUtf8(p.key), p.figures));
    if (marks) rows.back().push_back(p.overBudget ? "超预算" : "");
  }
  rows.push_back(Row("合计", ledger.totals.figures));
  if (marks) rows.back().push_back("");
  std::vector<std::size_t> widths(header.size(), 0);
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], Width(row[i]));
  }
  const auto print = [&](const std::vector<std::string>& row) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      const std::string pad(widths[i] - Width(row[i]), ' ');
      // The period and the words read from the left, the figures from the right.
      const bool left = i == 0 || i >= 6;
      if (i > 0) line += "  ";
      line += left ? row[i] + pad : pad + row[i];
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::cout << line << "\n";
  };
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (r + 1 == rows.size()) {
      std::size_t total = 0;
      for (std::size_t w : widths) total += w + 2;
      std::cout << std::string(total - 2, '-') << "\n";
    }
    print(rows[r]);
  }
  const rg_LedgerTotals& t = ledger.totals;
  std::cout << "待开奖投入 " << Yuan(t.pendingSpent) << "元, 未对奖投入 " << Yuan(t.missingSpent)
            << "元, 回报率 ";
  if (t.returnRate) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f%%", *t.returnRate * 100.0);
    std::cout << text;
  } else {
    std::cout << "-";
  }
  std::cout << "\n";
  if (t.figures.floatingUnknown > 0) {
    std::cout << "一等奖/二等奖 " << t.figures.floatingUnknown
              << "注, 奖金未录入 (xyh-cli draws prize ISSUE --first YUAN --second YUAN)\n";
  }
  if (budget) std::cout << "每月预算 " << Yuan(*budget) << "元\n";
}

// [sys] budget, when config.ini sets one; a value that is no budget is
// said on standard error and no month is marked.
std::optional<std::int64_t> ReadBudget(const std::optional<std::string>& home) {
  const rg_Settings settings(HomeFor(home) / "config.ini");
  if (const std::string why = settings.Problem(); !why.empty()) {
    std::cerr << "xyh-cli: " << PathToUtf8(settings.File()) << " is not read (" << why
              << "); no budget is marked\n";
    return std::nullopt;
  }
  const std::u16string text = settings.Read(u"sys", kBudgetKey);
  if (text.empty()) return std::nullopt;
  const auto budget = ParseBudget(text);
  if (!budget) {
    std::cerr << "xyh-cli: config.ini: [sys] budget=" << TerminalSafe(ToUtf8(text))
              << " is no whole number of yuan from 1 to 100000000; no budget is marked\n";
  }
  return budget;
}

}  // namespace

void CheckLedgerBy(const std::string& by, std::string_view /*option*/) { ParseBy(by); }

void CheckLedgerDate(const std::string& date, std::string_view option) { ParseDay(date, option); }

int RunLedger(const std::vector<std::string>& argv) {
  const Args args(argv, *FindCommand("ledger"));
  if (!args.Positional().empty())
    throw UsageError{"unexpected word \"" + args.Positional()[0] + "\""};
  rg_LedgerOptions options;
  options.by = ParseBy(args.Get("by").value_or("month"));
  if (const auto from = args.Get("from")) options.from = ParseDay(*from, "--from");
  if (const auto to = args.Get("to")) options.to = ParseDay(*to, "--to");
  if (options.from && options.to && *options.from > *options.to)
    throw UsageError{"--from is after --to"};
  options.budget = ReadBudget(args.Get("home"));

  if (!OpenStore(args.Get("home"), true)) return 1;
  const auto plays = ReadLedgerPlays(rg_EasyDb::Process());
  if (!plays) {
    if (!plays.error().message.empty()) {
      std::cerr << "xyh-cli: the ledger cannot be made: " << TerminalSafe(plays.error().message)
                << "\n";
      return 1;
    }
    return StoreFailure("the ledger cannot be made: ");
  }
  const rg_Ledger ledger = BuildLedger(*plays, options);
  if (args.Has("json")) {
    // Fifteen digits: the rate's four decimals print as they were rounded
    // (0.6857, not 0.68569999999999998). The ledger holds no text but its
    // period keys, which are digits and dashes.
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "  ";
    builder["precision"] = 15;
    std::cout << Json::writeString(builder, LedgerJson(ledger, options.budget)) << "\n";
  } else {
    PrintLedger(ledger, options.budget, options.by);
  }
  return std::cout.good() ? 0 : 1;
}

}  // namespace xyh_cli

#pragma once
// 账本: what the plays bought with saved casts cost and what came back, by
// draw, month or year. A play belongs to the draw its cast is checked
// against (LocateCast): a scored play to that draw, a pending or missing
// one to the day its draw is expected.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "history/DrawPrizes.h"
#include "history/Plays.h"
#include "history/SavedCast.h"

namespace rg_com_ptl_xyh {

enum class rg_LedgerBy { Draw, Month, Year };

// One play placed on its draw and priced.
struct rg_LedgerPlay {
  std::int64_t playId = 0;
  std::int64_t castId = 0;
  rg_CastStatus status = rg_CastStatus::Pending;
  double date = 0.0;     // the draw's date, or the day it is expected
  std::u16string issue;  // Scored only
  std::int64_t bets = 0;
  std::int64_t spent = 0;  // bets × 2 元 × 倍数, paid whether decided or not
  std::int64_t won = 0;    // fixed prizes and the floating ones with an amount
  std::int64_t floatingUnknown = 0;
  int bestTier = 0;  // 0: nothing won (or not decided)
};

struct rg_LedgerFigures {
  std::int64_t plays = 0;
  std::int64_t bets = 0;
  std::int64_t spent = 0;
  std::int64_t won = 0;
  std::int64_t floatingUnknown = 0;
  int bestTier = 0;
  std::int64_t Net() const { return won - spent; }
  void Add(const rg_LedgerPlay& play);
};

struct rg_LedgerPeriod {
  std::u16string key;  // issue, YYYY-MM-DD (a draw not decided), YYYY-MM or YYYY
  double date = 0.0;   // for the order: the draw's date, or the month's or year's first day
  rg_LedgerFigures figures;
  bool overBudget = false;  // a month whose spent is above the budget
};

struct rg_LedgerTotals {
  rg_LedgerFigures figures;
  std::int64_t pendingSpent = 0;
  std::int64_t missingSpent = 0;
  // won ÷ decided spent, to 4 decimals; nullopt when nothing is decided.
  std::optional<double> returnRate;
};

struct rg_Ledger {
  std::vector<rg_LedgerPeriod> periods;  // ascending by date; none without plays
  rg_LedgerTotals totals;
};

struct rg_LedgerOptions {
  rg_LedgerBy by = rg_LedgerBy::Month;
  std::optional<double> from = std::nullopt;  // day counts of dates, both ends included
  std::optional<double> to = std::nullopt;
  std::optional<std::int64_t> budget = std::nullopt;  // 元 a month
};

// The plays placed and priced, in play id order. A failure (Damaged, the row
// named) for a damaged play, or one whose cast is damaged or not there: its
// money or its draw cannot be known, and a ledger without it would be wrong
// without a word.
Result<std::vector<rg_LedgerPlay>> PlaceLedgerPlays(const std::vector<rg_YsModel>& casts,
                                                    const std::vector<rg_StoredPlay>& plays,
                                                    const rg_DrawIndex& index,
                                                    const rg_PrizeAmounts& amounts);

rg_Ledger BuildLedger(const std::vector<rg_LedgerPlay>& plays, const rg_LedgerOptions& options);

// The period key of a play: its issue, YYYY-MM-DD, YYYY-MM or YYYY.
std::u16string LedgerPeriodKey(const rg_LedgerPlay& play, rg_LedgerBy by);

// The whole of it from the store: draws, amounts, casts and plays read,
// nothing partial. A failure carries the store's status (Damaged with the
// row named for a row that does not read back), or is refused for a play
// that cannot be placed.
Result<std::vector<rg_LedgerPlay>> ReadLedgerPlays(rg_EasyDb& store);

// [sys] budget in config.ini: 元 a month, a whole number from 1 to
// 100 000 000 written in plain digits; nullopt for anything else.
inline constexpr std::u16string_view kBudgetKey = u"budget";
inline constexpr std::int64_t kBudgetMax = 100'000'000;
std::optional<std::int64_t> ParseBudget(std::u16string_view text);

// "5,019,200", "-32": whole yuan with thousands separators.
std::string GroupedYuan(std::int64_t yuan);

// The table as CSV: the header period,plays,bets,spent,won,floatingUnknown,
// net,bestTier (and overBudget with a budget), one period a line, then the
// line of the totals, period "total".
std::string LedgerCsv(const rg_Ledger& ledger, bool withBudget);

// The month a new play of cast counts in (the date the ledger places it
// on) and what the month's plays spend with it: what the 投注 dialog weighs
// against the budget before saving.
struct rg_MonthSpent {
  double day = 0.0;
  std::int64_t spent = 0;
};
Result<rg_MonthSpent> MonthWithNewPlay(rg_EasyDb& store, const rg_YsModel& cast,
                                       const rg_Play& play);

// What the plays of the month of day (YYYY-MM of a ledger date) have spent.
std::int64_t MonthSpent(const std::vector<rg_LedgerPlay>& plays, double day);

}  // namespace rg_com_ptl_xyh

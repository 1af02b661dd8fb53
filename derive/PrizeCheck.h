#pragma once
// 对奖: scoring a cast's 双色球 tickets against a draw, and which draw a cast
// was made for.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "derive/Derive.h"
#include "engine/Choices.h"

namespace rg_com_ptl_xyh {

// One row of the prize table: reds matched, blue matched, tier.
struct rg_PrizeRow {
  int reds;
  int blue;
  int tier;
};
inline constexpr std::array<rg_PrizeRow, 10> kPrizeTable = {{
    {6, 1, 1},
    {6, 0, 2},
    {5, 1, 3},
    {5, 0, 4},
    {4, 1, 4},
    {4, 0, 5},
    {3, 1, 5},
    {2, 1, 6},
    {1, 1, 6},
    {0, 1, 6},
}};
// Fixed prize of tiers 0..6 in 元; tiers 1 and 2 float and count 0 here.
inline constexpr std::array<int, 7> kFixedPrize = {0, 0, 0, 3000, 200, 10, 5};
inline constexpr int kTierCount = 6;

// 0 when the pair wins nothing.
int PrizeTier(int redsMatched, bool blueMatched);
// "一等奖" .. "六等奖"; "未中奖" for 0.
std::u16string TierName(int tier);

// The red ticket and what it met.
struct rg_TicketCheck {
  std::vector<int> red;   // six numbers, ascending
  std::vector<int> hits;  // the matched reds, ascending
  bool blueHit = false;   // the drawn blue is in the blue list
  int bets = 1;           // one per blue of the list, one when the list is empty
  int tier = 0;           // best tier of its bets
  int winningBets = 0;
  std::int64_t fixedPrize = 0;
};

struct rg_DrawNumbers {
  std::array<int, 6> red{};
  int blue = 0;
};

struct rg_CastCheck {
  bool pending = true;
  std::vector<rg_TicketCheck> tickets;
  int bestTier = 0;
  std::int64_t fixedPrize = 0;
};

// Parses the comma-joined lists of DeriveNumbers: the five tickets (the
// formed ones) and the blue list.
struct rg_PlayedNumbers {
  std::vector<std::vector<int>> tickets;
  std::vector<int> blues;
};
rg_PlayedNumbers PlayedNumbers(const DerivedNumbers& numbers);
// The numbers of one of those lists ("3,5,12").
std::vector<int> DerivedList(const std::u16string& text);

// draw nullptr: the cast is pending and its tickets carry no result.
rg_CastCheck ScoreTickets(const rg_PlayedNumbers& played, const rg_DrawNumbers* draw);

// Sales for a draw close at 20:00:00.000 local time on its date.
inline constexpr std::int64_t kSalesCloseMs = 20LL * 3600 * 1000;

// The index of the draw a cast meets in dates (draw dates, ascending):
// a draw-time cast the first draw on or after its cast date, any other
// cast the first draw whose sales close after the cast time. nullopt while
// no such draw is known.
std::optional<std::size_t> TargetDraw(std::span<const double> drawDatesAscending, double castTime,
                                      bool drawTimeCast);
// True for a cast made with 超时空起卦 and 开奖时间.
inline bool IsDrawTimeCast(CastMethod method, TimeChoice timeChoice) {
  return method == CastMethod::Time && timeChoice == TimeChoice::NextDraw;
}

// The date a pending cast will be checked on: the next 双色球 draw day
// (Sunday, Tuesday, Thursday) on or after its date, or after it when its
// sales have closed.
double ExpectedDrawDate(double castTime, bool drawTimeCast);
// The day a cast counts for: its date, or the next day for a cast other
// than a draw-time cast made at or after the sales close.
double CountedDay(double castTime, bool drawTimeCast);
// The first draw day (Sunday, Tuesday, Thursday) on or after day.
double DrawDayFrom(double day);
// Whether a draw expected on that date is overdue at now: its 21:15 draw
// is more than 12 hours ago, so a refresh would have seen it.
bool DrawOverdue(double expectedDrawDate, double now);

}  // namespace rg_com_ptl_xyh

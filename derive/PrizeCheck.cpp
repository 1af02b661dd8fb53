#include "derive/PrizeCheck.h"

#include <algorithm>

#include "platform/DateTime.h"

namespace rg_com_ptl_xyh {

namespace {

// Numbers of a finished list ("3,5,12"); pieces that are no number are left
// out, as the derivation never writes them.
std::vector<int> ParseList(const std::u16string& text) {
  std::vector<int> out;
  int value = 0;
  bool inNumber = false;
  for (char16_t c : text) {
    if (c >= u'0' && c <= u'9') {
      if (value < 1000) value = value * 10 + (c - u'0');
      inNumber = true;
    } else {
      if (inNumber) out.push_back(value);
      value = 0;
      inNumber = false;
    }
  }
  if (inNumber) out.push_back(value);
  return out;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

}  // namespace

int PrizeTier(int redsMatched, bool blueMatched) {
  const int blue = blueMatched ? 1 : 0;
  for (const rg_PrizeRow& row : kPrizeTable) {
    if (row.reds == redsMatched && row.blue == blue) return row.tier;
  }
  return 0;
}

std::u16string TierName(int tier) {
  static constexpr std::u16string_view kNames[] = {u"未中奖", u"一等奖", u"二等奖", u"三等奖",
                                                   u"四等奖", u"五等奖", u"六等奖"};
  return std::u16string(tier >= 0 && tier <= kTierCount ? kNames[tier] : kNames[0]);
}

std::vector<int> DerivedList(const std::u16string& text) { return ParseList(text); }

rg_PlayedNumbers PlayedNumbers(const DerivedNumbers& numbers) {
  rg_PlayedNumbers p;
  for (std::size_t t = 0; t < 5; ++t) {
    if (numbers[t].empty()) continue;
    p.tickets.push_back(ParseList(numbers[t]));
  }
  p.blues = ParseList(numbers[6]);
  return p;
}

rg_CastCheck ScoreTickets(const rg_PlayedNumbers& played, const rg_DrawNumbers* draw) {
  rg_CastCheck check;
  check.pending = draw == nullptr;
  const int bets = std::max<int>(1, static_cast<int>(played.blues.size()));
  const bool blueHit = draw != nullptr && std::find(played.blues.begin(), played.blues.end(),
                                                    draw->blue) != played.blues.end();
  for (const std::vector<int>& red : played.tickets) {
    rg_TicketCheck t;
    t.red = red;
    std::sort(t.red.begin(), t.red.end());
    t.bets = bets;
    if (draw != nullptr) {
      for (int n : t.red) {
        if (std::find(draw->red.begin(), draw->red.end(), n) != draw->red.end())
          t.hits.push_back(n);
      }
      t.blueHit = blueHit;
      const int r = static_cast<int>(t.hits.size());
      // The bet on the drawn blue (if the list holds it) and the others.
      const int withBlue = blueHit ? 1 : 0;
      const int tierWith = blueHit ? PrizeTier(r, true) : 0;
      const int tierWithout = PrizeTier(r, false);
      const int without = bets - withBlue;
      if (tierWith > 0) {
        t.winningBets += withBlue;
        t.fixedPrize += std::int64_t{kFixedPrize[static_cast<std::size_t>(tierWith)]} * withBlue;
      }
      if (tierWithout > 0) {
        t.winningBets += without;
        t.fixedPrize += std::int64_t{kFixedPrize[static_cast<std::size_t>(tierWithout)]} * without;
      }
      const auto better = [](int a, int b) {
        if (a == 0) return b;
        if (b == 0) return a;
        return std::min(a, b);
      };
      t.tier = better(tierWith, without > 0 ? tierWithout : 0);
      check.bestTier = better(check.bestTier, t.tier);
      check.fixedPrize += t.fixedPrize;
    }
    check.tickets.push_back(std::move(t));
  }
  return check;
}

std::optional<std::size_t> TargetDraw(std::span<const double> dates, double castTime,
                                      bool drawTimeCast) {
  const std::int64_t cast = DateToMs(castTime);
  // Either rule is "the draw's day start is at or after a bound".
  const std::int64_t bound =
      drawTimeCast ? FloorDiv(cast, kMsPerDay) * kMsPerDay : cast - kSalesCloseMs + 1;
  const auto it = std::partition_point(dates.begin(), dates.end(),
                                       [bound](double d) { return DateToMs(d) < bound; });
  if (it == dates.end()) return std::nullopt;
  return static_cast<std::size_t>(it - dates.begin());
}

double CountedDay(double castTime, bool drawTimeCast) {
  const std::int64_t cast = DateToMs(castTime);
  std::int64_t day = FloorDiv(cast, kMsPerDay);
  if (!drawTimeCast && cast - day * kMsPerDay >= kSalesCloseMs) ++day;
  return MsToDate(day * kMsPerDay);
}

double DrawDayFrom(double date) {
  std::int64_t day = FloorDiv(DateToMs(date), kMsPerDay);
  for (int i = 0; i < 7; ++i, ++day) {
    const int weekday = SplitDate(MsToDate(day * kMsPerDay)).weekday;
    if (weekday == 1 || weekday == 3 || weekday == 5) break;
  }
  return MsToDate(day * kMsPerDay);
}

double ExpectedDrawDate(double castTime, bool drawTimeCast) {
  return DrawDayFrom(CountedDay(castTime, drawTimeCast));
}

bool DrawOverdue(double expectedDrawDate, double now) {
  // 21:15 on the draw day, and twelve hours more for the results page.
  constexpr std::int64_t kDrawTime = (21LL * 60 + 15) * 60 * 1000;
  constexpr std::int64_t kGrace = 12LL * 3600 * 1000;
  return DateToMs(now) > DateToMs(expectedDrawDate) + kDrawTime + kGrace;
}

}  // namespace rg_com_ptl_xyh

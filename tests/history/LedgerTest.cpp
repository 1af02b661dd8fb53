// 账本 worked by hand: a few plays against three stored draws, one with a
// 一等奖 amount stored, and the periods they fall into.
#include "history/Ledger.h"

#include <gtest/gtest.h>

#include "platform/DateTime.h"
#include "platform/Utf.h"
#include "support/Records.h"

namespace {

using namespace rg_com_ptl_xyh;
using test_support::NumberCast;
using test_support::SsqDraw;

rg_YsModel CastAt(std::int64_t id, double when) {
  rg_YsModel c = NumberCast();
  c._id = id;
  c.ysday = when;
  return c;
}

rg_StoredPlay PlayOf(std::int64_t id, std::int64_t cast, rg_Play play) {
  SortPlay(play);
  return {id, cast, std::move(play), {}};
}

// 2026139 (12-01) has no draw before it stored, so a cast made for it is
// missing; 2026140 (12-03) and 2026141 (12-06) are vouched for.
struct Worked {
  rg_DrawIndex index{{SsqDraw(u"2026139", MakeDate(2026, 12, 1), {20, 21, 22, 23, 24, 25}, 1),
                      SsqDraw(u"2026140", MakeDate(2026, 12, 3), {1, 2, 3, 4, 5, 6}, 7),
                      SsqDraw(u"2026141", MakeDate(2026, 12, 6), {10, 11, 12, 13, 14, 15}, 16)}};
  rg_PrizeAmounts amounts{{u"2026140", {5'000'000, std::nullopt}}};
  std::vector<rg_YsModel> casts{
      CastAt(1, MakeDate(2026, 12, 2, 10, 0, 0)),    // for 2026140
      CastAt(2, MakeDate(2026, 12, 4, 10, 0, 0)),    // for 2026141
      CastAt(3, MakeDate(2026, 12, 7, 10, 0, 0)),    // pending, 12-08 expected
      CastAt(4, MakeDate(2026, 11, 28, 10, 0, 0))};  // missing, 11-29 expected
  std::vector<rg_StoredPlay> plays{
      // 复式 7 reds × blues 7, 8 on 1..6 + 7: 6+blue 1 bet (一等, 5 000 000
      // stored), 6 reds 1 bet (二等, no amount), 5+blue 6 bets (3 000),
      // 5 reds 6 bets (200): 5 019 200 won, 1 bet unknown, 14 bets 28 元.
      PlayOf(1, 1, {{}, {1, 2, 3, 4, 5, 6, 7}, {7, 8}, 1}),
      // 胆拖 10 11 / 12 13 20 21 22 + 16, 3倍, on 10..15 + 16: 5 bets (30 元);
      // 3 meet 4 reds + blue (四等 200), 2 meet 3 + blue (五等 10): 620 × 3.
      PlayOf(2, 2, {{10, 11}, {12, 13, 20, 21, 22}, {16}, 3}),
      PlayOf(3, 3, {{}, {1, 2, 3, 4, 5, 6}, {1}, 2}),          // pending, 4 元
      PlayOf(4, 4, {{}, {1, 2, 3, 4, 5, 6}, {1}, 1}),          // missing, 2 元
      PlayOf(5, 2, {{}, {10, 11, 12, 13, 14, 15}, {16}, 1})};  // 一等, no amount
};

struct Figures {
  const char* period;
  std::int64_t plays, bets, spent, won, floatingUnknown;
  int bestTier;
};

TEST(Ledger, PlaysWorkedByHand) {
  const Worked w;
  const auto placed = PlaceLedgerPlays(w.casts, w.plays, w.index, w.amounts);
  ASSERT_TRUE(placed);
  const struct {
    rg_LedgerBy by;
    std::vector<Figures> periods;
  } cases[] = {
      {rg_LedgerBy::Month,
       {{"2026-11", 1, 1, 2, 0, 0, 0}, {"2026-12", 4, 21, 64, 5'021'060, 2, 1}}},
      {rg_LedgerBy::Year, {{"2026", 5, 22, 66, 5'021'060, 2, 1}}},
      {rg_LedgerBy::Draw,
       {{"2026-11-29", 1, 1, 2, 0, 0, 0},
        {"2026140", 1, 14, 28, 5'019'200, 1, 1},
        {"2026141", 2, 6, 32, 1'860, 1, 1},
        {"2026-12-08", 1, 1, 4, 0, 0, 0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.by));
    const rg_Ledger ledger = BuildLedger(*placed, {.by = c.by});
    ASSERT_EQ(ledger.periods.size(), c.periods.size());
    for (std::size_t i = 0; i < c.periods.size(); ++i) {
      const Figures& want = c.periods[i];
      const rg_LedgerPeriod& got = ledger.periods[i];
      SCOPED_TRACE(want.period);
      EXPECT_EQ(got.key, FromUtf8(want.period));
      EXPECT_EQ(got.figures.plays, want.plays);
      EXPECT_EQ(got.figures.bets, want.bets);
      EXPECT_EQ(got.figures.spent, want.spent);
      EXPECT_EQ(got.figures.won, want.won);
      EXPECT_EQ(got.figures.Net(), want.won - want.spent);
      EXPECT_EQ(got.figures.floatingUnknown, want.floatingUnknown);
      EXPECT_EQ(got.figures.bestTier, want.bestTier);
    }
    const rg_LedgerTotals& t = ledger.totals;
    EXPECT_EQ(t.figures.spent, 66);
    EXPECT_EQ(t.figures.won, 5'021'060);
    EXPECT_EQ(t.pendingSpent, 4);
    EXPECT_EQ(t.missingSpent, 2);
    ASSERT_TRUE(t.returnRate);
    EXPECT_DOUBLE_EQ(*t.returnRate, 83684.3333);  // 5 021 060 ÷ 60
  }
}

TEST(Ledger, RefusesAPlayItCannotPlace) {
  Worked w;
  w.casts[1].damage = "gzsxid";
  const auto damaged = PlaceLedgerPlays(w.casts, w.plays, w.index, w.amounts);
  ASSERT_FALSE(damaged);
  EXPECT_NE(damaged.error().message.find("play 2 belongs to the saved cast 2"), std::string::npos)
      << damaged.error().message;
  w.casts.pop_back();
  EXPECT_FALSE(PlaceLedgerPlays(w.casts, {w.plays[3]}, w.index, w.amounts));
  rg_StoredPlay unreadable = w.plays[0];
  unreadable.damage = "multiple: 2.5";
  const auto unread = PlaceLedgerPlays(w.casts, {unreadable}, w.index, w.amounts);
  ASSERT_FALSE(unread);
  EXPECT_EQ(unread.error().status, rg_StoreStatus::Damaged);
  EXPECT_NE(unread.error().message.find("multiple: 2.5"), std::string::npos);
}

// A play as placed: only its date and money matter to the periods.
rg_LedgerPlay On(double date, std::int64_t spent, rg_CastStatus status = rg_CastStatus::Scored) {
  rg_LedgerPlay p;
  p.status = status;
  p.date = date;
  p.issue = u"x";
  p.bets = 1;
  p.spent = spent;
  return p;
}

TEST(Ledger, PeriodBoundariesSelectionAndBudget) {
  // 2026-03-31 (a Tuesday) is a month's last draw day, 2026-12-31 (a
  // Thursday) a year's.
  const std::vector<rg_LedgerPlay> plays = {
      On(MakeDate(2026, 3, 31), 10), On(MakeDate(2026, 4, 2), 20), On(MakeDate(2026, 12, 31), 40),
      On(MakeDate(2027, 1, 3), 80, rg_CastStatus::Pending)};
  const struct {
    const char* name;
    rg_LedgerOptions options;
    std::vector<std::pair<const char*, std::int64_t>> periods;  // key, spent
    std::vector<bool> over;
  } cases[] = {
      {"months",
       {.by = rg_LedgerBy::Month},
       {{"2026-03", 10}, {"2026-04", 20}, {"2026-12", 40}, {"2027-01", 80}},
       {}},
      {"years", {.by = rg_LedgerBy::Year}, {{"2026", 70}, {"2027", 80}}, {}},
      {"both ends included",
       {.by = rg_LedgerBy::Month, .from = MakeDate(2026, 3, 31), .to = MakeDate(2026, 12, 31)},
       {{"2026-03", 10}, {"2026-04", 20}, {"2026-12", 40}},
       {}},
      {"a day past each end",
       {.by = rg_LedgerBy::Year, .from = MakeDate(2026, 4, 1), .to = MakeDate(2027, 1, 2)},
       {{"2026", 60}},
       {}},
      // Spending the budget exactly is not over it.
      {"budget 20",
       {.by = rg_LedgerBy::Month, .budget = 20},
       {{"2026-03", 10}, {"2026-04", 20}, {"2026-12", 40}, {"2027-01", 80}},
       {false, false, true, true}},
      {"no marks but by month",
       {.by = rg_LedgerBy::Year, .budget = 1},
       {{"2026", 70}, {"2027", 80}},
       {false, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const rg_Ledger ledger = BuildLedger(plays, c.options);
    ASSERT_EQ(ledger.periods.size(), c.periods.size());
    for (std::size_t i = 0; i < c.periods.size(); ++i) {
      EXPECT_EQ(ledger.periods[i].key, FromUtf8(c.periods[i].first));
      EXPECT_EQ(ledger.periods[i].figures.spent, c.periods[i].second);
      if (!c.over.empty()) {
        EXPECT_EQ(ledger.periods[i].overBudget, c.over[i]) << i;
      }
    }
  }
  // Nothing decided: no rate, never a division by nothing.
  EXPECT_FALSE(BuildLedger({plays[3]}, {}).totals.returnRate);
  EXPECT_EQ(MonthSpent(plays, MakeDate(2026, 4, 30)), 20);
}

TEST(Ledger, BudgetSettingIsPlainWholeYuan) {
  const struct {
    std::u16string_view text;
    std::optional<std::int64_t> budget;
  } cases[] = {{u"500", 500},          {u"100000000", 100'000'000}, {u"100000001", std::nullopt},
               {u"0", std::nullopt},   {u"0500", std::nullopt},     {u"-5", std::nullopt},
               {u"5.5", std::nullopt}, {u" 5", std::nullopt},       {u"", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(ParseBudget(c.text), c.budget) << ToUtf8(c.text);
}

}  // namespace

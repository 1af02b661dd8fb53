#include <gtest/gtest.h>

#include "derive/Derive.h"
#include "derive/PrizeCheck.h"
#include "engine/Dispatch.h"
#include "engine/Report.h"
#include "history/SavedCast.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"

using namespace rg_com_ptl_xyh;

namespace {

TEST(PrizeTier, EveryPairOfMatches) {
  // Rows: reds matched 0..6; columns: blue missed, blue matched.
  constexpr int kExpected[7][2] = {{0, 6}, {0, 6}, {0, 6}, {0, 5}, {5, 4}, {4, 3}, {2, 1}};
  constexpr int kPrize[7] = {0, 0, 0, 3000, 200, 10, 5};
  for (int r = 0; r <= 6; ++r) {
    for (int b = 0; b <= 1; ++b) {
      SCOPED_TRACE(testing::Message() << r << "+" << b);
      const int tier = PrizeTier(r, b == 1);
      EXPECT_EQ(tier, kExpected[r][b]);
      EXPECT_EQ(kFixedPrize[static_cast<std::size_t>(tier)], kPrize[tier]);
    }
  }
  EXPECT_EQ(TierName(3), u"三等奖");
  EXPECT_EQ(TierName(0), u"未中奖");
}

DerivedNumbers Numbers(const std::vector<std::u16string>& tickets, const std::u16string& blues) {
  DerivedNumbers n{};
  for (std::size_t i = 0; i < tickets.size(); ++i) n[i] = tickets[i];
  n[6] = blues;
  return n;
}

TEST(ScoreTickets, EachBlueOfTheListIsABet) {
  const rg_DrawNumbers draw{{3, 9, 14, 20, 27, 31}, 9};
  const auto played =
      PlayedNumbers(Numbers({u"3,9,14,20,5,6", u"1,2,4,5,6,7", u"", u"3,9,14,20,27,31"}, u"7,9"));
  ASSERT_EQ(played.tickets.size(), 3u);  // the unformed ticket is no ticket
  const rg_CastCheck c = ScoreTickets(played, &draw);
  EXPECT_FALSE(c.pending);
  // 4 reds: with the drawn blue 4+1 (tier 4, 200), with 7 4+0 (tier 5, 10).
  const rg_TicketCheck& t = c.tickets[0];
  EXPECT_EQ(t.hits, (std::vector<int>{3, 9, 14, 20}));
  EXPECT_TRUE(t.blueHit);
  EXPECT_EQ(t.bets, 2);
  EXPECT_EQ(t.tier, 4);
  EXPECT_EQ(t.winningBets, 2);
  EXPECT_EQ(t.fixedPrize, 210);
  // No red at all, the blue still wins 0+1 once.
  EXPECT_EQ(c.tickets[1].tier, 6);
  EXPECT_EQ(c.tickets[1].winningBets, 1);
  EXPECT_EQ(c.tickets[1].fixedPrize, 5);
  // 6+1 and 6+0: the floating tiers add nothing to the fixed sum.
  EXPECT_EQ(c.tickets[2].tier, 1);
  EXPECT_EQ(c.tickets[2].winningBets, 2);
  EXPECT_EQ(c.tickets[2].fixedPrize, 0);
  EXPECT_EQ(c.bestTier, 1);
  EXPECT_EQ(c.fixedPrize, 215);
}

TEST(ScoreTickets, EmptyBlueListAndPendingCasts) {
  const rg_DrawNumbers draw{{3, 9, 14, 20, 27, 31}, 9};
  const auto noBlue = ScoreTickets(PlayedNumbers(Numbers({u"3,9,14,20,27,1"}, u"")), &draw);
  EXPECT_EQ(noBlue.tickets[0].bets, 1);
  EXPECT_FALSE(noBlue.tickets[0].blueHit);
  EXPECT_EQ(noBlue.tickets[0].tier, 4);  // 5+0
  EXPECT_EQ(noBlue.fixedPrize, 200);

  const auto missBlue = ScoreTickets(PlayedNumbers(Numbers({u"1,2,4,5,6,7"}, u"1,2,3")), &draw);
  EXPECT_EQ(missBlue.tickets[0].tier, 0);
  EXPECT_EQ(missBlue.tickets[0].winningBets, 0);
  EXPECT_EQ(missBlue.bestTier, 0);

  const auto pending =
      ScoreTickets(PlayedNumbers(Numbers({u"3,9,14,20,27,31"}, u"9,10,11")), nullptr);
  EXPECT_TRUE(pending.pending);
  ASSERT_EQ(pending.tickets.size(), 1u);
  EXPECT_EQ(pending.tickets[0].bets, 3);
  EXPECT_TRUE(pending.tickets[0].hits.empty());
  EXPECT_FALSE(pending.tickets[0].blueHit);
  EXPECT_EQ(pending.tickets[0].tier, 0);
  EXPECT_EQ(pending.bestTier, 0);
  EXPECT_EQ(pending.fixedPrize, 0);
}

// Sunday 6, Tuesday 8 and Thursday 10 December 2026.
std::vector<double> Week() {
  return {MakeDate(2026, 12, 6), MakeDate(2026, 12, 8), MakeDate(2026, 12, 10)};
}

TEST(TargetDraw, SalesCloseAtEightOnTheDrawDay) {
  EXPECT_EQ(TargetDraw(Week(), MakeDate(2026, 12, 8, 19, 59, 59, 999), false), 1u);
  EXPECT_EQ(TargetDraw(Week(), MakeDate(2026, 12, 8, 20, 0, 0, 0), false), 2u);
  EXPECT_EQ(TargetDraw(Week(), MakeDate(2026, 12, 8, 20, 0, 0, 1), false), 2u);
  EXPECT_EQ(TargetDraw(Week(), MakeDate(2026, 12, 7, 9, 0, 0), false), 1u);  // Monday
  EXPECT_EQ(TargetDraw(Week(), MakeDate(2026, 12, 1, 9, 0, 0), false), 0u);  // long before
  EXPECT_EQ(TargetDraw(Week(), MakeDate(2026, 12, 10, 20, 0, 0), false), std::nullopt);
  EXPECT_EQ(TargetDraw({}, MakeDate(2026, 12, 7), false), std::nullopt);
}

TEST(TargetDraw, DrawTimeCastsMeetTheirOwnDay) {
  for (int second = 0; second < 60; ++second) {
    SCOPED_TRACE(second);
    EXPECT_EQ(TargetDraw(Week(), MakeDate(2026, 12, 8, 21, 15, second), true), 1u);
    // Made at the same moment without the draw-time choice it is too late.
    EXPECT_EQ(TargetDraw(Week(), MakeDate(2026, 12, 8, 21, 15, second), false), 2u);
  }
  EXPECT_EQ(TargetDraw(Week(), MakeDate(2026, 12, 10, 21, 15, 59), true), 2u);
  EXPECT_EQ(TargetDraw(Week(), MakeDate(2026, 12, 13, 21, 15, 0), true), std::nullopt);
}

TEST(TargetDraw, MissingDrawsPassToTheNextStoredOne) {
  // Tuesday's draw never made it into the archive.
  const std::vector<double> gaps = {MakeDate(2026, 12, 6), MakeDate(2026, 12, 10),
                                    MakeDate(2026, 12, 15)};
  EXPECT_EQ(TargetDraw(gaps, MakeDate(2026, 12, 7, 12, 0, 0), false), 1u);
  EXPECT_EQ(TargetDraw(gaps, MakeDate(2026, 12, 8, 21, 15, 30), true), 1u);
  EXPECT_EQ(TargetDraw(gaps, MakeDate(2026, 12, 10, 20, 0, 0), false), 2u);  // Saturday's gap too
  EXPECT_EQ(TargetDraw(gaps, MakeDate(2026, 12, 12, 21, 15, 30), true), 2u);
}

TEST(ExpectedDrawDate, NextDrawDayOfThePendingCast) {
  EXPECT_EQ(ExpectedDrawDate(MakeDate(2026, 12, 7, 10, 0, 0), false), MakeDate(2026, 12, 8));
  EXPECT_EQ(ExpectedDrawDate(MakeDate(2026, 12, 8, 19, 59, 59, 999), false), MakeDate(2026, 12, 8));
  EXPECT_EQ(ExpectedDrawDate(MakeDate(2026, 12, 8, 20, 0, 0), false), MakeDate(2026, 12, 10));
  EXPECT_EQ(ExpectedDrawDate(MakeDate(2026, 12, 8, 21, 15, 7), true), MakeDate(2026, 12, 8));
  EXPECT_EQ(ExpectedDrawDate(MakeDate(2026, 12, 10, 22, 0, 0), false), MakeDate(2026, 12, 13));
}

// What the window derives for a number cast at a given moment.
DerivedNumbers CastAt(double when, const char16_t* number, int zodiac) {
  FixedClock clock(when);
  rg_GuaReport report;
  report.SetReadyHandler([](rg_GuaAnalysis& a) { BuildNumberProfile(a); });
  rg_CastDispatch dispatch(clock, report);
  rg_QiGuaModel request;
  request.method = CastMethod::Number;
  request.numberText = number;
  request.zodiac = zodiac;
  dispatch.Dispatch(1, 1, u"", request);
  return DeriveNumbers(report.Analysis().profile);
}

TEST(SavedCastDeriver, DerivesAtTheStoredTime) {
  const double at = MakeDate(2026, 12, 8, 23, 30, 0);  // an hour whose pillar differs from now's
  rg_YsModel saved;
  saved._id = 5;
  saved.ysindex = 1;
  saved.ysnumber = u"1234567";
  saved.ysday = at;
  saved.gzsxid = 4;
  saved.dong = {0, 0, 0, 0, 0, 0};
  rg_SavedCastDeriver deriver;
  const auto numbers = deriver.Derive(saved);
  ASSERT_TRUE(numbers);
  EXPECT_EQ(*numbers, CastAt(at, u"1234567", 4));
  EXPECT_NE(*numbers, CastAt(MakeDate(2026, 12, 8, 9, 0, 0), u"1234567", 4));

  rg_YsModel broken = saved;
  broken.gzsxid = 0;  // a row no cast can be made from
  EXPECT_FALSE(deriver.Derive(broken));
  const rg_DrawIndex index;
  const rg_CastResult r = deriver.Check(broken, index);
  EXPECT_TRUE(r.check.pending);
  EXPECT_TRUE(r.check.tickets.empty());
}

TEST(SavedCastDeriver, ChecksAgainstTheTargetDrawOfTheIndex) {
  rg_YsModel saved;
  saved._id = 1;
  saved.ysindex = 1;
  saved.ysnumber = u"58";
  saved.ysday = MakeDate(2026, 12, 8, 12, 0, 0);
  saved.gzsxid = 1;
  rg_SavedCastDeriver deriver;
  const DerivedNumbers numbers = *deriver.Derive(saved);
  const auto played = PlayedNumbers(numbers);
  ASSERT_FALSE(played.tickets.empty());

  // A draw made of the first ticket and the first blue: tier 1 on that day.
  rg_DrawEntry hit;
  hit.issue = u"2026142";
  hit.date = MakeDate(2026, 12, 8);
  hit.numbers = played.tickets[0];
  hit.extra = {played.blues.empty() ? 1 : played.blues[0]};
  rg_DrawEntry earlier = hit;
  earlier.issue = u"2026141";
  earlier.date = MakeDate(2026, 12, 6);
  earlier.numbers = {1, 2, 3, 4, 5, 6};
  const rg_DrawIndex index({earlier, hit});
  const rg_CastResult r = deriver.Check(saved, index);
  ASSERT_NE(r.draw, nullptr);
  EXPECT_EQ(r.draw->issue, u"2026142");
  EXPECT_EQ(r.check.tickets[0].tier, played.blues.empty() ? 2 : 1);
  EXPECT_EQ(r.check.tickets[0].hits.size(), 6u);

  saved.ysday = MakeDate(2026, 12, 8, 20, 0, 0);
  const rg_CastResult later = deriver.Check(saved, index);
  EXPECT_EQ(later.draw, nullptr);
  EXPECT_EQ(later.expectedDrawDate, MakeDate(2026, 12, 10));
  EXPECT_EQ(index.Find(u"")->issue, u"2026142");
  EXPECT_EQ(index.Find(u"2026141")->issue, u"2026141");
  EXPECT_EQ(index.Find(u"1"), nullptr);
}

}  // namespace

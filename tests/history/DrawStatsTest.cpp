#include <gtest/gtest.h>

#include "history/DrawStats.h"
#include "platform/DateTime.h"
#include "support/Records.h"

using namespace rg_com_ptl_xyh;
using test_support::SsqDraw;

namespace {

// Five draws, oldest first:
//   D1 2026001 01-01  01 02 03 10 20 33 + 01
//   D2 2026002 01-04  02 03 04 17 18 30 + 05
//   D3 2026003 01-06  01 05 09 17 25 33 + 01
//   D4 2026004 01-08  06 07 08 09 10 11 + 16
//   D5 2026005 01-11  17 02 31 22 01 29 + 05   (reds as drawn, not sorted)
// handed over as D3, D5, D1, D4, D2 so that only the dates give the order.
std::vector<rg_DrawEntry> FiveDraws() {
  return {SsqDraw(u"2026003", 2026, 1, 6, {1, 5, 9, 17, 25, 33}, 1),
          SsqDraw(u"2026005", 2026, 1, 11, {17, 2, 31, 22, 1, 29}, 5),
          SsqDraw(u"2026001", 2026, 1, 1, {1, 2, 3, 10, 20, 33}, 1),
          SsqDraw(u"2026004", 2026, 1, 8, {6, 7, 8, 9, 10, 11}, 16),
          SsqDraw(u"2026002", 2026, 1, 4, {2, 3, 4, 17, 18, 30}, 5)};
}

struct Expect {
  int number, count, omission, maxOmission;
};

void Check(const rg_NumberStat& got, const Expect& want) {
  SCOPED_TRACE(want.number);
  EXPECT_EQ(got.number, want.number);
  EXPECT_EQ(got.count, want.count);
  EXPECT_EQ(got.omission, want.omission);
  EXPECT_EQ(got.maxOmission, want.maxOmission);
}

TEST(DrawStats, FiguresOverAHandMadeArchive) {
  const rg_DrawStats s = ComputeDrawStats(FiveDraws());
  ASSERT_EQ(s.draws, 5);
  EXPECT_EQ(s.FirstIssue(), u"2026001");
  EXPECT_EQ(s.LastIssue(), u"2026005");

  // Drawn in D1, D3, D5: a one-draw gap twice, drawn in the newest.
  Check(s.red[0], {1, 3, 0, 1});
  // D1, D2, D5: the gap D3-D4 is the longest.
  Check(s.red[1], {2, 3, 0, 2});
  // D1, D2, then away for D3-D5.
  Check(s.red[2], {3, 2, 3, 3});
  // Only D2: one draw before, three after.
  Check(s.red[3], {4, 1, 3, 3});
  // Only D4: the three draws before it are the longest run.
  Check(s.red[5], {6, 1, 1, 3});
  // D3 and D4: two before, one after.
  Check(s.red[8], {9, 2, 1, 2});
  // D1 and D4: D2-D3 between.
  Check(s.red[9], {10, 2, 1, 2});
  // Never drawn: omission and longest run are the whole window.
  Check(s.red[11], {12, 0, 5, 5});
  // D2, D3, D5: one before (D1), one between (D4).
  Check(s.red[16], {17, 3, 0, 1});
  // Only D1: four after.
  Check(s.red[19], {20, 1, 4, 4});
  // Only D5 (the newest): four before.
  Check(s.red[21], {22, 1, 0, 4});
  // D1 and D3: one between, two after.
  Check(s.red[32], {33, 2, 2, 2});
  // Blue 01 in D1, D3; 05 in D2, D5; 16 in D4; 02 never.
  Check(s.blue[0], {1, 2, 2, 2});
  Check(s.blue[4], {5, 2, 0, 2});
  Check(s.blue[15], {16, 1, 1, 3});
  Check(s.blue[1], {2, 0, 5, 5});

  int reds = 0, blues = 0;
  for (const auto& r : s.red) reds += r.count;
  for (const auto& b : s.blue) blues += b.count;
  EXPECT_EQ(reds, 30);  // six a draw
  EXPECT_EQ(blues, 5);

  // Per draw, oldest first:
  //   D1 69 = 1+2+3+10+20+33, span 33-1, odd 1 3 33, big 20 33, pairs 1-2 2-3
  //   D2 74, span 30-2, odd 3 17, big 17 18 30, pairs 2-3 3-4 17-18
  //   D3 90, span 33-1, all odd, big 17 25 33, no pair
  //   D4 51, span 11-6, odd 7 9 11, none big, five pairs
  //   D5 102, span 31-1, odd 1 17 29 31, big 17 22 29 31, pair 1-2
  ASSERT_EQ(s.perDraw.size(), 5u);
  const std::array<std::array<int, 5>, 5> shapes = {{{69, 32, 3, 2, 2},
                                                     {74, 28, 2, 3, 3},
                                                     {90, 32, 6, 3, 0},
                                                     {51, 5, 3, 0, 5},
                                                     {102, 30, 4, 4, 1}}};
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    SCOPED_TRACE(i);
    const rg_DrawShape& d = s.perDraw[i];
    EXPECT_EQ(d.issue, u"202600" + std::u16string(1, static_cast<char16_t>(u'1' + i)));
    EXPECT_EQ((std::array<int, 5>{d.sum, d.span, d.odd, d.big, d.consecutive}), shapes[i]);
  }
  EXPECT_EQ(s.perDraw[4].red, (std::array<int, 6>{1, 2, 17, 22, 29, 31}));
  EXPECT_EQ(s.perDraw[4].blue, 5);

  // Count 3: 1, 2, 17 (all omission 0). Count 2: 9 and 10 (omission 1),
  // 33 (2), 3 (3). Hot takes the first six.
  EXPECT_EQ(s.hot, (std::array<int, 6>{1, 2, 17, 9, 10, 33}));
  // Never drawn, all omission 5, so by number: 12 13 14 15 16 19 21 23 24
  // 26 27 28 32; cold is the last six, the last of the ranking first.
  EXPECT_EQ(s.cold, (std::array<int, 6>{32, 28, 27, 26, 24, 23}));

  // The trend rows: red 01 drawn, away one, drawn, away one, drawn.
  for (int row = 0; row < 5; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(s.RedCell(row, 1), (std::array<int, 5>{0, 1, 0, 1, 0})[row]);
    EXPECT_EQ(s.RedCell(row, 20), row);      // drawn in D1, then away
    EXPECT_EQ(s.RedCell(row, 12), row + 1);  // counted from the window's start
    EXPECT_EQ(s.BlueCell(row, 16), (std::array<int, 5>{1, 2, 3, 0, 1})[row]);
  }
  // The newest row is the current omission, its maximum the longest run.
  for (int n = 1; n <= kRedCount; ++n) {
    EXPECT_EQ(s.RedCell(4, n), s.red[n - 1].omission) << n;
    int longest = 0;
    for (int row = 0; row < 5; ++row) longest = std::max(longest, s.RedCell(row, n));
    EXPECT_EQ(longest, s.red[n - 1].maxOmission) << n;
  }
}

TEST(DrawStats, TheNewestWindowOnly) {
  // The newest two: D4 and D5. Twelve reds drawn once each; D5's six have
  // omission 0 and lead, D4's have omission 1.
  const rg_DrawStats s = ComputeDrawStats(FiveDraws(), 2);
  ASSERT_EQ(s.draws, 2);
  EXPECT_EQ(s.FirstIssue(), u"2026004");
  EXPECT_EQ(s.LastIssue(), u"2026005");
  Check(s.red[0], {1, 1, 0, 1});  // away in D4
  Check(s.red[5], {6, 1, 1, 1});  // drawn in D4, away in D5
  Check(s.red[2], {3, 0, 2, 2});  // drawn in D1 and D2, outside the window
  Check(s.blue[4], {5, 1, 0, 1});
  EXPECT_EQ(s.hot, (std::array<int, 6>{1, 2, 17, 22, 29, 31}));
  // Not drawn, by number; the last six of them are 26 27 28 30 32 33.
  EXPECT_EQ(s.cold, (std::array<int, 6>{33, 32, 30, 28, 27, 26}));

  // More than there are is all of them; 0 is all of them.
  const rg_DrawStats all = ComputeDrawStats(FiveDraws(), 0);
  const rg_DrawStats many = ComputeDrawStats(FiveDraws(), 1000);
  EXPECT_EQ(many.draws, 5);
  EXPECT_EQ(many.hot, all.hot);
  EXPECT_EQ(many.redTrend, all.redTrend);
  for (int n = 0; n < kRedCount; ++n) EXPECT_EQ(many.red[n].maxOmission, all.red[n].maxOmission);
}

TEST(DrawStats, OneDrawAndNone) {
  const rg_DrawStats one =
      ComputeDrawStats({SsqDraw(u"2026140", 2026, 12, 6, {3, 9, 14, 20, 27, 31}, 8)});
  ASSERT_EQ(one.draws, 1);
  EXPECT_EQ(one.FirstIssue(), one.LastIssue());
  Check(one.red[2], {3, 1, 0, 0});  // drawn in the only draw: no run without it
  Check(one.red[0], {1, 0, 1, 1});  // never: the window of one
  Check(one.blue[7], {8, 1, 0, 0});
  // 3+9+14+20+27+31 = 104, span 28, odd 3 9 27 31, big 20 27 31, no pair.
  const rg_DrawShape& d = one.perDraw[0];
  EXPECT_EQ((std::array<int, 5>{d.sum, d.span, d.odd, d.big, d.consecutive}),
            (std::array<int, 5>{104, 28, 4, 3, 0}));
  EXPECT_EQ(one.hot, (std::array<int, 6>{3, 9, 14, 20, 27, 31}));
  EXPECT_EQ(one.cold, (std::array<int, 6>{33, 32, 30, 29, 28, 26}));

  const rg_DrawStats none = ComputeDrawStats({});
  EXPECT_TRUE(none.Empty());
  EXPECT_TRUE(none.perDraw.empty());
  EXPECT_TRUE(none.redTrend.empty());
}

TEST(DrawStats, OrderByDateThenIssueAsNumbers) {
  // Same day, issues of different length: 1000 is newer than 999.
  auto a = SsqDraw(u"999", 2026, 3, 1, {1, 2, 3, 4, 5, 6}, 1);
  auto b = SsqDraw(u"1000", 2026, 3, 1, {7, 8, 9, 10, 11, 12}, 2);
  // An older date wins over a larger issue.
  auto c = SsqDraw(u"5000", 2026, 2, 1, {13, 14, 15, 16, 18, 19}, 3);
  EXPECT_TRUE(DrawBefore(a, b));
  EXPECT_FALSE(DrawBefore(b, a));
  EXPECT_TRUE(DrawBefore(c, a));
  const rg_DrawStats s = ComputeDrawStats({b, a, c}, 1);
  EXPECT_EQ(s.LastIssue(), u"1000");
  EXPECT_EQ(s.perDraw[0].blue, 2);
  EXPECT_EQ(ComputeDrawStats({b, a, c}).FirstIssue(), u"5000");
}

TEST(DrawStats, PassesOverWhatIsNoDoubleColorDraw) {
  auto other = SsqDraw(u"2026002", 2026, 1, 2, {1, 2, 3, 4, 5, 6}, 7);
  other.lottery = LotteryCode::QiLeCai;
  auto five = SsqDraw(u"2026003", 2026, 1, 3, {1, 2, 3, 4, 5}, 1);
  auto twice = SsqDraw(u"2026004", 2026, 1, 4, {1, 1, 3, 4, 5, 6}, 1);
  auto blue17 = SsqDraw(u"2026005", 2026, 1, 5, {1, 2, 3, 4, 5, 6}, 17);
  const auto good = SsqDraw(u"2026001", 2026, 1, 1, {1, 2, 3, 4, 5, 6}, 1);
  const rg_DrawStats s = ComputeDrawStats({other, five, good, twice, blue17});
  EXPECT_EQ(s.draws, 1);
  EXPECT_EQ(s.LastIssue(), u"2026001");
}

}  // namespace

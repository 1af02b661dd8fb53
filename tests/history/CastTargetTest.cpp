// Which draw a cast was made for when the archive has holes: scored only
// against a draw the archive can vouch for, else the issue to add first.
#include <gtest/gtest.h>

#include <atomic>

#include "derive/PrizeCheck.h"
#include "history/DrawArchive.h"
#include "history/SavedCast.h"
#include "platform/DateTime.h"
#include "support/Records.h"

using namespace rg_com_ptl_xyh;

namespace {

rg_DrawEntry Draw(const char16_t* issue, int y, int m, int d) {
  return test_support::SsqDraw(issue, y, m, d, {1, 2, 3, 4, 5, 6}, 7);
}

struct Case {
  const char* name;
  std::vector<rg_DrawEntry> draws;
  double castTime;
  bool drawTime;
  rg_CastStatus status;
  const char16_t* issue;  // Scored: the draw met; Missing: the issue named
  bool uncertain;
};

TEST(LocateCast, TheArchiveVouchesForTheDrawOrNamesTheIssueToAdd) {
  using S = rg_CastStatus;
  // 2026050 Sunday 05-03, 2026051 Tuesday 05-05, 2026052 Thursday 05-07.
  const auto d050 = Draw(u"2026050", 2026, 5, 3);
  const auto d051 = Draw(u"2026051", 2026, 5, 5);
  const auto d052 = Draw(u"2026052", 2026, 5, 7);
  const auto d053 = Draw(u"2026053", 2026, 5, 10);
  const auto d047 = Draw(u"2026047", 2026, 4, 26);
  const auto d140 = Draw(u"2025140", 2025, 12, 18);
  const auto d150 = Draw(u"2025150", 2025, 12, 30);
  const auto n001 = Draw(u"2026001", 2026, 1, 1);
  const auto n003 = Draw(u"2026003", 2026, 1, 6);
  const auto monday = MakeDate(2026, 5, 4, 10, 0, 0);
  const Case cases[] = {
      {"consecutive issues", {d050, d051, d052}, monday, false, S::Scored, u"2026051", false},
      {"a hole of one", {d050, d052}, monday, false, S::Missing, u"2026051", false},
      {"a hole of several, lowest first",
       {d047, d052},
       monday,
       false,
       S::Missing,
       u"2026048",
       false},
      {"a cast after the hole's first draw, once it is added",
       {d050, d051, d053},
       MakeDate(2026, 5, 6, 9, 0, 0),
       false,
       S::Missing,
       u"2026052",
       false},
      {"no draw before it: the year's first is the lowest to add",
       {d052},
       monday,
       false,
       S::Missing,
       u"2026001",
       false},
      {"no draw at all", {}, monday, false, S::Pending, u"", false},
      {"after the newest draw",
       {d050, d051},
       MakeDate(2026, 5, 6, 9, 0, 0),
       false,
       S::Pending,
       u"",
       false},
      {"the year's first, cast in its year",
       {n001},
       MakeDate(2026, 1, 1, 8, 0, 0),
       false,
       S::Scored,
       u"2026001",
       false},
      {"the year's first, cast on the old year's last evening after sales close",
       {n001},
       MakeDate(2025, 12, 31, 20, 30, 0),
       false,
       S::Scored,
       u"2026001",
       false},
      {"the year's first, while the old year still had draw days",
       {d140, n001},
       MakeDate(2025, 12, 20, 9, 0, 0),
       false,
       S::Missing,
       u"2025141",
       true},
      {"the year's first, no draw of the cast's year stored",
       {n001},
       MakeDate(2025, 12, 20, 9, 0, 0),
       false,
       S::Missing,
       u"",
       false},
      {"the year's first after the old year's last stored draw",
       {d150, n001},
       MakeDate(2025, 12, 31, 9, 0, 0),
       false,
       S::Scored,
       u"2026001",
       false},
      {"a later draw of a year whose first is missing",
       {d150, n003},
       MakeDate(2026, 1, 2, 9, 0, 0),
       false,
       S::Missing,
       u"2026001",
       false},
      {"a draw-time cast after 21:00 meets its own day's draw",
       {d050, d051},
       MakeDate(2026, 5, 5, 21, 15, 0),
       true,
       S::Scored,
       u"2026051",
       false},
      {"the same moment as a plain cast passes to the next draw",
       {d050, d051, d053},
       MakeDate(2026, 5, 5, 21, 15, 0),
       false,
       S::Missing,
       u"2026052",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const rg_DrawIndex index(c.draws);
    const rg_CastTarget t = LocateCast(index, c.castTime, c.drawTime);
    EXPECT_EQ(t.status, c.status);
    EXPECT_EQ(t.status == S::Scored ? t.draw->issue : t.missingIssue, c.issue);
    EXPECT_EQ(t.draw != nullptr, c.status == S::Scored);
    EXPECT_EQ(t.missingUncertain, c.uncertain);
  }
}

TEST(LocateCast, TextsAndDates) {
  EXPECT_EQ(MissingDrawText(u"2026051", false), u"第2026051期未收录");
  EXPECT_EQ(MissingDrawText(u"2025151", true), u"第2025151期可能未收录");
  EXPECT_EQ(MissingDrawText(u"", false), u"无法确认对应期号: 缺少更早的开奖数据");
  // The missing issue's likely day: the draw day after the draw before it.
  const rg_DrawIndex index({Draw(u"2026050", 2026, 5, 3), Draw(u"2026052", 2026, 5, 7)});
  EXPECT_EQ(LocateCast(index, MakeDate(2026, 5, 4, 10, 0, 0), false).expectedDate,
            MakeDate(2026, 5, 5));
  // Due on Tuesday 2026-05-05 at 21:15: overdue twelve hours later.
  const double tuesday = MakeDate(2026, 5, 5);
  EXPECT_FALSE(DrawOverdue(tuesday, MakeDate(2026, 5, 6, 9, 15, 0)));
  EXPECT_TRUE(DrawOverdue(tuesday, MakeDate(2026, 5, 6, 9, 15, 1)));
}

TEST(CastTiers, AMissingCastNeverWins) {
  // A draw equal to the cast's own first ticket: a first prize if it
  // were scored against it.
  rg_YsModel cast = test_support::NumberCast();
  cast._id = 3;
  cast.ysday = MakeDate(2026, 5, 4, 10, 0, 0);
  rg_SavedCastDeriver deriver;
  const auto played = PlayedNumbers(*deriver.Derive(cast));
  auto d052 = Draw(u"2026052", 2026, 5, 7);
  d052.numbers = played.tickets[0];
  d052.extra = {played.blues.empty() ? 1 : played.blues[0]};
  auto d051 = Draw(u"2026051", 2026, 5, 5);
  d051.numbers = played.tickets[0];
  d051.extra = d052.extra;
  const auto d050 = Draw(u"2026050", 2026, 5, 3);

  const auto tiers = CastTiers({cast}, rg_DrawIndex({d050, d052}), deriver);
  ASSERT_EQ(tiers.size(), 1u);
  EXPECT_EQ(tiers[0].bestTier, 0);
  EXPECT_TRUE(tiers[0].issue.empty());
  const rg_CastResult missing = deriver.Check(cast, rg_DrawIndex({d050, d052}));
  EXPECT_EQ(missing.status, rg_CastStatus::Missing);
  EXPECT_TRUE(missing.check.pending);
  EXPECT_EQ(missing.check.bestTier, 0);
  EXPECT_FALSE(missing.check.tickets.empty());

  // Once the hole is filled the cast meets 2026051, its real draw.
  const auto filled = CastTiers({cast}, rg_DrawIndex({d050, d051, d052}), deriver);
  EXPECT_GT(filled[0].bestTier, 0);
  EXPECT_EQ(filled[0].issue, u"2026051");
}

TEST(MissingIssues, WithinAYearOnlyForBothIssueForms) {
  const std::vector<rg_DrawEntry> draws = {
      Draw(u"2025148", 2025, 12, 25), Draw(u"2025150", 2025, 12, 30), Draw(u"2026002", 2026, 1, 4),
      Draw(u"2026005", 2026, 1, 11),  Draw(u"2026006", 2026, 1, 13),  Draw(u"99", 2026, 1, 15),
      Draw(u"2026010", 2026, 1, 20)};
  EXPECT_EQ(MissingIssues(draws),
            (std::vector<std::u16string>{u"2025149", u"2026003", u"2026004"}));
  EXPECT_TRUE(MissingIssues({}).empty());
  // Five-digit issues carry the year's last two digits; 2005's begin with 0.
  const std::vector<rg_DrawEntry> five = {
      Draw(u"04150", 2004, 12, 29), Draw(u"05001", 2005, 1, 1), Draw(u"05004", 2005, 1, 8),
      Draw(u"26001", 2026, 1, 3),   Draw(u"26003", 2026, 1, 7), Draw(u"2026005", 2026, 1, 10)};
  EXPECT_EQ(MissingIssues(five), (std::vector<std::u16string>{u"05002", u"05003", u"26002"}));
}

}  // namespace

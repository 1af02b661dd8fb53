// Plays: bets and cost, the rules a play must keep, and the closed-form
// count of winning bets against every bet enumerated.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "derive/Play.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

namespace {

std::vector<int> Range(int from, int to) {
  std::vector<int> out;
  for (int n = from; n <= to; ++n) out.push_back(n);
  return out;
}

// Every bet of the play, one by one, scored with the prize table.
rg_PlayCheck Enumerate(const rg_Play& play, const rg_DrawNumbers& draw) {
  rg_PlayCheck check;
  const int pick = 6 - static_cast<int>(play.dan.size());
  std::vector<int> chosen;
  const std::function<void(std::size_t)> walk = [&](std::size_t from) {
    if (static_cast<int>(chosen.size()) == pick) {
      int reds = 0;
      for (int n : play.dan) reds += std::count(draw.red.begin(), draw.red.end(), n) > 0;
      for (int n : chosen) reds += std::count(draw.red.begin(), draw.red.end(), n) > 0;
      for (int blue : play.blue) {
        const int tier = PrizeTier(reds, blue == draw.blue);
        if (tier == 0) continue;
        ++check.winning[static_cast<std::size_t>(tier)];
        check.fixedPrize +=
            std::int64_t{kFixedPrize[static_cast<std::size_t>(tier)]} * play.multiple;
        check.bestTier = BetterTier(check.bestTier, tier);
      }
      return;
    }
    for (std::size_t i = from; i < play.red.size(); ++i) {
      chosen.push_back(play.red[i]);
      walk(i + 1);
      chosen.pop_back();
    }
  };
  walk(0);
  return check;
}

// A draw meeting danHits of the 胆, redHits of the other reds, and the
// first blue of the play or none of them.
rg_DrawNumbers DrawMeeting(const rg_Play& play, int danHits, int redHits, bool blueHit) {
  rg_DrawNumbers draw;
  std::size_t k = 0;
  for (int i = 0; i < danHits; ++i) draw.red[k++] = play.dan[static_cast<std::size_t>(i)];
  for (int i = 0; i < redHits; ++i) draw.red[k++] = play.red[static_cast<std::size_t>(i)];
  for (int n = 33; k < 6; --n) {
    const auto in = [n](const std::vector<int>& l) {
      return std::find(l.begin(), l.end(), n) != l.end();
    };
    if (!in(play.dan) && !in(play.red)) draw.red[k++] = n;
  }
  draw.blue = blueHit ? play.blue.front() : 16;
  return draw;
}

}  // namespace

TEST(Play, BetsCostAndKind) {
  struct Case {
    std::vector<int> dan, red, blue;
    int multiple;
    std::int64_t bets, cost;
    const char16_t* kind;
  } cases[] = {
      {{}, Range(1, 6), {1}, 1, 1, 2, u"单式"},
      {{}, Range(1, 6), {1, 2}, 1, 2, 4, u"复式"},
      {{}, Range(1, 7), {1}, 1, 7, 14, u"复式"},
      {{}, Range(1, 10), {1, 2, 3}, 2, 630, 2520, u"复式"},
      {{}, Range(1, 20), Range(1, 16), 1, 620160, 1240320, u"复式"},
      {{1, 2}, Range(3, 8), {1}, 1, 15, 30, u"胆拖"},
      {{1, 2}, Range(3, 9), {1, 2}, 3, 70, 420, u"胆拖"},
      {{1, 2, 3, 4, 5}, {6, 7}, {9}, 99, 2, 396, u"胆拖"},
      {{1}, Range(2, 33), {1, 2, 3, 4}, 1, 805504, 1611008, u"胆拖"},
  };
  for (const Case& c : cases) {
    const rg_Play play{c.dan, c.red, c.blue, c.multiple};
    SCOPED_TRACE(ToUtf8(c.kind) + " " + std::to_string(c.bets));
    EXPECT_EQ(PlayBets(play), c.bets);
    EXPECT_EQ(PlayCost(play), c.cost);
    EXPECT_EQ(KindName(KindOf(play)), c.kind);
    EXPECT_EQ(PlayRefusal(play), u"");
  }
}

TEST(Play, EveryRuleIsRefusedByName) {
  struct Case {
    rg_Play play;
    const char16_t* says;
  } cases[] = {
      {{{}, Range(1, 5), {1}, 1}, u"红球应选 6 至 20 个,实选 5 个"},
      {{{}, Range(1, 21), {1}, 1}, u"红球应选 6 至 20 个,实选 21 个"},
      {{{}, {1, 2, 3, 4, 5, 34}, {1}, 1}, u"红球号码 34 不在 1 至 33 之间"},
      {{{}, {1, 2, 3, 4, 5, 0}, {1}, 1}, u"红球号码 0 不在 1 至 33 之间"},
      {{{}, {1, 2, 3, 4, 5, 5}, {1}, 1}, u"红球号码 5 重复"},
      {{{}, Range(1, 6), {}, 1}, u"蓝球应选 1 至 16 个,实选 0 个"},
      {{{}, Range(1, 6), {17}, 1}, u"蓝球号码 17 不在 1 至 16 之间"},
      {{{}, Range(1, 6), {3, 3}, 1}, u"蓝球号码 3 重复"},
      {{Range(1, 6), Range(7, 9), {1}, 1}, u"胆码应选 1 至 5 个,实选 6 个"},
      {{{1, 1}, Range(7, 12), {1}, 1}, u"胆码号码 1 重复"},
      {{{1, 2}, {2, 3, 4, 5, 6}, {1}, 1}, u"号码 2 既是胆码又是拖码"},
      {{{1, 2}, {3, 4, 5, 6}, {1}, 1}, u"胆码与拖码合计应至少 7 个,实有 6 个"},
      {{{1}, {}, {1}, 1}, u"拖码应选 1 至 32 个,实选 0 个"},
      {{{}, Range(1, 6), {1}, 0}, u"倍数应为 1 至 99,不能是 0"},
      {{{}, Range(1, 6), {1}, 100}, u"倍数应为 1 至 99,不能是 100"},
      {{{}, Range(1, 20), Range(1, 16), 2}, u"共 620160 注 × 2 倍,超过 1000000 注的上限"},
      {{{1}, Range(2, 33), Range(1, 5), 1}, u"共 1006880 注 × 1 倍,超过 1000000 注的上限"},
  };
  for (const Case& c : cases) EXPECT_EQ(PlayRefusal(c.play), c.says);
}

// Every (hits, blue hit) of a 10-red 3-blue 复式 and of a 2-胆 7-拖 2-blue
// 胆拖: the closed form counts what enumerating every bet counts.
TEST(Play, ClosedFormCountsMatchEveryBetEnumerated) {
  const rg_Play plays[] = {{{}, {2, 5, 8, 11, 14, 17, 20, 23, 26, 29}, {3, 7, 12}, 2},
                           {{4, 9}, {1, 6, 13, 18, 22, 27, 31}, {5, 15}, 3}};
  int compared = 0;
  for (const rg_Play& play : plays) {
    for (int dan = 0; dan <= static_cast<int>(play.dan.size()); ++dan) {
      for (int red = 0; red <= std::min<int>(6 - dan, static_cast<int>(play.red.size())); ++red) {
        for (bool blue : {false, true}) {
          SCOPED_TRACE(testing::Message()
                       << play.dan.size() << "胆 " << dan << "+" << red << (blue ? "+蓝" : ""));
          const rg_DrawNumbers draw = DrawMeeting(play, dan, red, blue);
          const rg_PlayCheck closed = ScorePlay(play, &draw);
          const rg_PlayCheck each = Enumerate(play, draw);
          EXPECT_EQ(closed.winning, each.winning);
          EXPECT_EQ(closed.fixedPrize, each.fixedPrize);
          EXPECT_EQ(closed.bestTier, each.bestTier);
          EXPECT_EQ(closed.blueHit, blue);
          EXPECT_EQ(static_cast<int>(closed.redHits.size()), red);
          EXPECT_EQ(static_cast<int>(closed.danHits.size()), dan);
          ++compared;
        }
      }
    }
  }
  EXPECT_EQ(compared, 7 * 2 + (7 + 6 + 5) * 2);
}

TEST(Play, APlayWithoutDrawIsNotScored) {
  const rg_PlayCheck check = ScorePlay({{}, Range(1, 8), {1, 2}, 1}, nullptr);
  EXPECT_FALSE(check.scored);
  EXPECT_TRUE(check.redHits.empty());
  EXPECT_FALSE(check.blueHit);
  EXPECT_EQ(check.fixedPrize, 0);
  EXPECT_EQ(check.winning, (std::array<std::int64_t, kTierCount + 1>{}));
}

// Tiers 1 and 2 are counted but float: they add nothing to the fixed prize.
TEST(Play, FloatingTiersAreCountedButAddNothing) {
  const rg_Play play{{}, Range(1, 7), {1, 2}, 1};
  const rg_DrawNumbers draw{{1, 2, 3, 4, 5, 6}, 1};
  const rg_PlayCheck check = ScorePlay(play, &draw);
  EXPECT_EQ(check.winning[1], 1);  // 6+1
  EXPECT_EQ(check.winning[2], 1);  // 6+0
  EXPECT_EQ(check.winning[3], 6);  // 5+1
  EXPECT_EQ(check.winning[4], 6);  // 5+0
  EXPECT_EQ(check.bestTier, 1);
  EXPECT_EQ(check.fixedPrize, 6 * 3000 + 6 * 200);
}

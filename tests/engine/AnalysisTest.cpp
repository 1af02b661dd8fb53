#include <gtest/gtest.h>

#include "engine/Analysis.h"
#include "engine/Symbols.h"
#include "platform/DateTime.h"

using namespace rg_com_ptl_xyh;

namespace {
std::u16string DayAt(int y, int m, int d, int h = 12, int mi = 0, int s = 0, int ms = 0) {
  return DayPillar(MakeDate(y, m, d, h, mi, s, ms)).Text();
}
}  // namespace

TEST(Pillars, DayPillarExamples) {
  EXPECT_EQ(DayAt(2022, 11, 7), u"甲子");
  EXPECT_EQ(DayAt(2023, 1, 1, 10), u"己未");
  EXPECT_EQ(DayAt(2024, 6, 1, 10), u"丙申");
}

TEST(Pillars, TheNewDayBeginsHalfASecondAfterMidnight) {
  EXPECT_EQ(DayAt(2022, 11, 8, 0, 0, 0, 0), u"甲子");
  EXPECT_EQ(DayAt(2022, 11, 8, 0, 0, 0, 499), u"甲子");
  EXPECT_EQ(DayAt(2022, 11, 8, 0, 0, 0, 500), u"乙丑");
  EXPECT_EQ(DayAt(2022, 11, 7, 0, 0, 0, 0), u"癸亥");
  EXPECT_EQ(DayAt(2022, 11, 7, 0, 0, 0, 500), u"甲子");
}

TEST(Pillars, DatesBeforeTheReferenceDayKeepTheirPlaceInTheCycle) {
  EXPECT_EQ(DayAt(2022, 11, 6), u"癸亥");
  EXPECT_EQ(DayAt(2022, 9, 8), u"甲子");  // sixty days earlier
  EXPECT_EQ(DayAt(1949, 10, 1), u"甲子");
  EXPECT_EQ(DayAt(2000, 1, 1), u"戊午");
  EXPECT_EQ(DayAt(1899, 12, 29, 6), DayPillar(AddDays(MakeDate(1899, 12, 29, 6), 60)).Text());
  EXPECT_EQ(DayAt(100, 1, 1), DayPillar(AddDays(MakeDate(100, 1, 1, 12), 600)).Text());
}

TEST(Pillars, HourPillar) {
  // On a 甲 day both 23:30 and 00:30 are 甲子, 01:00 is 乙丑.
  EXPECT_EQ(HourPillar(23, 1).Text(), u"甲子");
  EXPECT_EQ(HourPillar(0, 1).Text(), u"甲子");
  EXPECT_EQ(HourPillar(1, 1).Text(), u"乙丑");
  EXPECT_EQ(HourPillar(8, 3).Text(), u"壬辰");
  EXPECT_EQ(HourPillar(21, 3).Text(), u"己亥");
  // 己 days start at 甲 like 甲 days, 癸 days at 壬.
  EXPECT_EQ(HourPillar(0, 6).Text(), u"甲子");
  EXPECT_EQ(HourPillar(0, 10).Text(), u"壬子");
  EXPECT_EQ(HourPillar(22, 5).Text(), u"癸亥");
}

namespace {
rg_GuaModel FromCodes(const char16_t* upper, const char16_t* lower) {
  rg_GuaModel m;
  BuildFromCodes(m, upper, lower);
  return m;
}
}  // namespace

TEST(Model, PureQian) {
  const rg_GuaModel m = FromCodes(u"111", u"111");
  EXPECT_EQ(m.world, 6);
  EXPECT_EQ(m.response, 3);
  EXPECT_EQ(m.palace, 1);
  EXPECT_EQ(m.rank, 1);
  EXPECT_EQ(m.najia,
            (std::vector<std::u16string>{u"甲子", u"甲寅", u"甲辰", u"壬午", u"壬申", u"壬戌"}));
  EXPECT_EQ(m.relatives,
            (std::vector<std::u16string>{u"子孙", u"妻财", u"父母", u"官鬼", u"兄弟", u"父母"}));
  EXPECT_EQ(m.lines, (std::vector<std::u16string>{u"1", u"1", u"1", u"1", u"1", u"1"}));
  EXPECT_TRUE(m.spirits.empty());  // a model from codes never has spirits
}

TEST(Model, WorldResponseAndPalaceExamples) {
  struct Case {
    const char16_t *up, *low;
    int world, response, soul, palace, rank;
    const char16_t* name;
  };
  const Case cases[] = {
      {u"111", u"011", 1, 4, 0, 1, 2, u"天风姤"},
      {u"101", u"000", 4, 1, 1, 1, 7, u"火地晋游魂"},
      {u"101", u"111", 3, 6, 2, 1, 8, u"火天大有归魂"},
      {u"001", u"000", 5, 2, 0, 1, 6, u"山地剥"},
      {u"000", u"000", 6, 3, 0, 8, 1, u"坤为地"},
  };
  for (const Case& c : cases) {
    const rg_GuaModel m = FromCodes(c.up, c.low);
    EXPECT_EQ(m.world, c.world);
    EXPECT_EQ(m.response, c.response);
    EXPECT_EQ(m.soulKind, c.soul);
    EXPECT_EQ(m.palace, c.palace);
    EXPECT_EQ(m.rank, c.rank);
    EXPECT_EQ(FullHexagramName(m.palace, m.rank, m.soulKind), c.name);
  }
}

TEST(Model, NumberAndHandBuildsCarrySpirits) {
  rg_GuaModel n;
  EXPECT_FALSE(BuildFromNumber(n, u"", u"甲子", 3));
  EXPECT_TRUE(n.lines.empty());
  EXPECT_TRUE(BuildFromNumber(n, u"58", u"丙申", 5));
  EXPECT_EQ(n.upper, 5);
  EXPECT_EQ(n.lower, 8);
  EXPECT_EQ(n.moving, 1);
  EXPECT_EQ(n.spirits[0], u"朱雀");

  rg_GuaModel h;
  BuildFromLines(h, u"010", u"101", u"庚午", {1, 0, 0, -1, 0, 0});
  EXPECT_EQ(h.upper, 6);
  EXPECT_EQ(h.lower, 3);
  EXPECT_EQ(h.moving, 0);
  EXPECT_EQ(h.movingFlags, (std::vector<int>{1, 0, 0, -1, 0, 0}));
  EXPECT_EQ(h.spirits[0], u"白虎");
  EXPECT_EQ(FullHexagramName(h.palace, h.rank, h.soulKind), u"水火既济");
}

TEST(Model, ChangedRelativesAreSeenFromTheirOwnPalace) {
  // 乾为天 changing at line 5 gives 火天大有 of the 乾 palace; at line 1 天风姤.
  const rg_GuaModel dayou = FromCodes(u"101", u"111");
  EXPECT_EQ(dayou.relatives[0], u"子孙");
  const rg_GuaModel tongren = FromCodes(u"111", u"101");  // 天火同人, 离 palace (火)
  EXPECT_EQ(tongren.palace, 3);
  EXPECT_EQ(tongren.najia[0], u"己卯");
  EXPECT_EQ(tongren.relatives[0], u"父母");  // 卯木 generates 火
}

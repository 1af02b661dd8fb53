#include <gtest/gtest.h>

#include "engine/Symbols.h"

using namespace rg_com_ptl_xyh;

TEST(Symbols, LookupsByNumberAreOneBasedAndEmptyOutside) {
  EXPECT_EQ(StemByNumber(1), u"甲");
  EXPECT_EQ(StemByNumber(10), u"癸");
  EXPECT_EQ(StemByNumber(0), u"");
  EXPECT_EQ(StemByNumber(11), u"");
  EXPECT_EQ(BranchByNumber(12), u"亥");
  EXPECT_EQ(TrigramByNumber(8), u"坤");
  EXPECT_EQ(TrigramByNumber(9), u"");
  EXPECT_EQ(StemNumber(u"子"), 0);
  EXPECT_EQ(StemNumber(u""), 0);
  EXPECT_EQ(StemNumber(u"甲乙"), 0);
  EXPECT_EQ(BranchNumber(u"亥"), 12);
  EXPECT_EQ(PhaseNumber(u"土"), 5);
}

TEST(Symbols, HeTuDigitsZeroMeansTen) {
  EXPECT_EQ(HeTuOfStem(u"己"), 0);
  EXPECT_EQ(HeTuOfStem(u"甲"), 3);
  EXPECT_EQ(HeTuOfStem(u"癸"), 6);
  EXPECT_EQ(HeTuOfBranch(u"丑"), 0);
  EXPECT_EQ(HeTuOfBranch(u"未"), 0);
  EXPECT_EQ(HeTuOfBranch(u"酉"), 9);
  EXPECT_EQ(HeTuOfBranch(u"甲"), 0);
  EXPECT_EQ(PhaseOfBranch(u"申"), u"金");
  EXPECT_EQ(PhaseOfBranch(u"甲"), u"");
}

TEST(Symbols, TrigramCodes) {
  EXPECT_EQ(TrigramCode(8), u"000");
  EXPECT_EQ(TrigramCode(0), u"000");
  EXPECT_EQ(TrigramCode(4), u"100");
  EXPECT_EQ(TrigramNumberOfCode(u"000"), 8);
  EXPECT_EQ(TrigramNumberOfCode(u"00"), 0);
  EXPECT_EQ(TrigramNumberOfCode(u"012"), 0);
  for (int n = 1; n <= 8; ++n) EXPECT_EQ(TrigramNumberOfCode(TrigramCode(n)), n);
  EXPECT_EQ(ComplementCode(u"110"), u"001");
  EXPECT_EQ(ComplementCode(u"1x0"), u"001");
}

TEST(Symbols, RelativesFollowGenerationAndControl) {
  EXPECT_EQ(RelativeOf(1, 1), 0);  // 兄弟
  EXPECT_EQ(RelativeOf(1, 3), 4);  // 金 generates 水: 子孙
  EXPECT_EQ(RelativeOf(1, 5), 1);  // 土 generates 金: 父母
  EXPECT_EQ(RelativeOf(1, 2), 2);  // 金 controls 木: 妻财
  EXPECT_EQ(RelativeOf(1, 4), 3);  // 火 controls 金: 官鬼
  EXPECT_EQ(RelativeOf(5, 1), 4);  // wraps in the generation order
  EXPECT_EQ(RelativeOf(3, 5), 3);  // 土 controls 水
  EXPECT_EQ(RelativeName(4), u"子孙");
  EXPECT_EQ(RelativeIndex(u"官鬼"), 3);
  EXPECT_EQ(SpiritIndex(u"勾陈"), 5);
  EXPECT_EQ(SpiritIndex(u"龙白"), -1);  // straddles two names
}

TEST(Symbols, NajiaWalksTheBranchCycles) {
  auto check = [](int trigram, bool upper, const char16_t* stem, std::array<const char16_t*, 3> b) {
    const TrigramNajia n = NajiaOf(trigram, upper);
    EXPECT_EQ(n.stem, stem);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(n.branches[i], b[i]);
  };
  check(1, false, u"甲", {u"子", u"寅", u"辰"});
  check(1, true, u"壬", {u"午", u"申", u"戌"});
  check(8, false, u"乙", {u"未", u"巳", u"卯"});
  check(8, true, u"癸", {u"丑", u"亥", u"酉"});  // the yin cycle wraps
  check(6, true, u"戊", {u"申", u"戌", u"子"});  // the yang cycle wraps
  check(0, false, u"", {u"", u"", u""});
}

TEST(Symbols, NamesAndSpirits) {
  EXPECT_EQ(FullHexagramName(1, 7, 1), u"火地晋游魂");
  EXPECT_EQ(FullHexagramName(1, 8, 2), u"火天大有归魂");
  EXPECT_EQ(FullHexagramName(8, 1, 0), u"坤为地");
  EXPECT_EQ(HexagramName(64), u"水地比");
  EXPECT_EQ(HexagramName(0), u"");
  EXPECT_EQ(HexagramName(65), u"");
  EXPECT_EQ(SoulKindText(3), u"");
  EXPECT_EQ(SpiritsOfDay(1)[0], u"青龙");
  EXPECT_EQ(SpiritsOfDay(6)[5], u"勾陈");
  EXPECT_EQ(SpiritsOfDay(0)[0], u"玄武");
  EXPECT_EQ(SpiritsOfDay(10)[5], u"白虎");
}

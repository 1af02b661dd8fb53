#include <gtest/gtest.h>

#include <set>

#include "derive/Derive.h"
#include "derive/ResultText.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;
using namespace rg_com_ptl_xyh::derive_detail;

TEST(DeriveHelpers, OneDecimalRoundingIsHalfAwayFromZero) {
  for (const auto& [v, rounded] : std::initializer_list<std::pair<double, double>>{
           {0.25, 0.3}, {-0.25, -0.3}, {0.24, 0.2}, {14.0 / 45, 0.3}})
    EXPECT_DOUBLE_EQ(RoundOneDecimal(v), rounded) << v;
  EXPECT_EQ(RoundOneDecimal(5e-7), 5e-7);  // near zero: unchanged
  EXPECT_EQ(RoundOneDecimal(0.0), 0.0);
}

TEST(DeriveHelpers, TruncationRules) {
  for (const auto& [product, n] : std::initializer_list<std::pair<double, long long>>{
           {9.9999995, 10}, {9.99999, 9}, {-2.9999995, -3}, {3 * 1.1, 3}})
    EXPECT_EQ(TruncateProduct(product), n) << product;
  // 3 / (0.2 + 0.1) is 9.999999999999998.
  for (const auto& [quotient, n] : std::initializer_list<std::pair<double, long long>>{
           {3 / (0.2 + 0.1), 9}, {0.0, 1}, {5e-7, 1}, {0.5, 0}})
    EXPECT_EQ(QuotientToNumber(quotient), n) << quotient;
  // Astronomical quotients saturate instead of overflowing.
  EXPECT_GT(QuotientToNumber(3 / 2.7755575615628914e-17), 32);
  EXPECT_GT(QuotientToNumber(1e300), 32);
  EXPECT_LT(QuotientToNumber(-1e300), 0);
}

TEST(DeriveHelpers, Tables) {
  for (int x = 0; x < 10; ++x) {
    EXPECT_EQ(Relation(x, x), 5);
    EXPECT_EQ(Relation(x, (x + 5) % 10), -5);  // same phase, other digit
  }
  EXPECT_EQ(Relation(0, 1), -2);
  EXPECT_EQ(Relation(1, 0), 1);  // not symmetric
  EXPECT_EQ(Relation(9, 8), 2);
  EXPECT_EQ(BlueBase(6, 6), 90);
  EXPECT_EQ(BlueBase(4, 9), 50);
  EXPECT_EQ(BlueBase(9, 9), 0);
  EXPECT_EQ(Weight(u"腾蛇", u"官鬼"), 0.2);
  EXPECT_EQ(Weight(u"白虎", u"妻财"), -0.2);
  EXPECT_EQ(Weight(u"青龙", u"子孙"), 0.1);
  EXPECT_EQ(Weight(u"青龙", u""), 0.0);
  EXPECT_EQ(Weight(u"麒麟", u"子孙"), 0.0);
}

namespace {
// A step that grows the pool: the pool before, and after.
struct Growth {
  std::string before, after;
};
}  // namespace

TEST(Chain, ExamplesTextSearchTrapAndDegenerateDivisors) {
  struct Case {
    int d;
    double passFactor, weight;
    Growth pool;
  };
  const Case cases[] = {
      {10, 1.0, 0.0, {"", "10,"}},      // e = 1: the start value alone
      {3, 0.4, 0.1, {"", "6,12,24,"}},  // e = 0.5
      {3, 0.2, 0.1, {"", "9,29,"}},     // e = 0.30000000000000004: 3 / e truncates to 9
      {2, 1.0, 0.0, {"12,", "12,"}},    // "2," is found inside "12,"
      {5, 0.1, -0.1, {"", "25,"}},      // e exactly 0 becomes |w| + f = 0.2
      // 1.0 - 0.9 + (-0.1) is about -2.8e-17, not 0: the quotient is
      // enormous and the chain yields nothing (and must not overflow).
      {3, 1.0 - 0.9, -0.1, {"", ""}},
      {7, 0.0, 0.0, {"", ""}},  // e = 0: nothing
  };
  for (const Case& c : cases) {
    std::string pool = c.pool.before;
    Chain(pool, c.d, c.passFactor, c.weight);
    EXPECT_EQ(pool, c.pool.after) << c.d << " " << c.passFactor << " " << c.weight;
  }
}

TEST(Steps, PairRulePrecedence) {
  const std::pair<const char*, Growth> cases[] = {
      {"3167", {"5,", "5,1,"}},  // 1 and 6 win over 2 and 7
      {"16", {"21,", "21,"}},    // "1" already stands in "21"
      {"27", {"5,", "5,33,"}},
      {"2", {"5,", "5,"}},
  };
  for (const auto& [digits, growth] : cases) {
    std::string pool = growth.before;
    PairRule(digits, pool);
    EXPECT_EQ(pool, growth.after) << digits;
  }
}

TEST(Steps, NeighboursUseTextSearchAndVisitOnlyTheOldNumbers) {
  const Growth cases[] = {
      // 13 is added; m = 12 - trunc(13 * 0.2) = 10, and "10" is not in "12,13,".
      {"12,", "12,13,10,"},
      {"12,5,", "12,5,13,10,6,4,"},  // for 5: 6 is added, m = 5 - 1 = 4; for 12: 13, m = 10
      {"33,", "33,27,"},             // 33 gets no upper neighbour; m = 33 - 6 = 27
      {"16,", "16,17,13,"},          // 17; m = 16 - 3 = 13
      {"5,16,", "5,16,4,17,13,"},    // for 5: neighbour 6 is found inside "16"
  };
  for (const Growth& c : cases) {
    std::string pool = c.before;
    Neighbours(pool);
    EXPECT_EQ(pool, c.after) << c.before;
  }
}

namespace {
Groups GroupsOf(std::initializer_list<long long> numbers) {
  std::string pool;
  for (long long n : numbers) pool += std::to_string(n) + ",";
  return SplitGroups(pool);
}
}  // namespace

TEST(Steps, TicketsShareCursorsAcrossGroups) {
  // 17 numbers: tickets 1 and 2 only.
  const Groups g = GroupsOf({1, 2, 3, 12, 13, 14, 15, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32});
  const auto t = Tickets(g);
  EXPECT_EQ(t[0], u"1,2,12,13,23,24");
  EXPECT_EQ(t[1], u"3,14,15,25,26,27");
  EXPECT_EQ(t[2], u"");
  EXPECT_EQ(t[4], u"");
  EXPECT_EQ(Tickets(GroupsOf({1, 2, 3, 4, 5}))[0], u"");
  // Pool order, not numeric order, decides who comes first.
  EXPECT_EQ(Tickets(GroupsOf({9, 1, 30, 23, 5, 7}))[0], u"1,5,7,9,23,30");
}

TEST(Steps, ReferenceListTrimsByParity) {
  // Low 1..6 (6), middle 12..17 (6), high 23..26 (4): 16 numbers.
  const Groups g = GroupsOf({1, 2, 3, 4, 5, 6, 12, 13, 14, 15, 16, 17, 23, 24, 25, 26});
  EXPECT_EQ(ReferenceList(g, 0), u"2,4,5,6,13,15,16,17,23,24,25,26");
  EXPECT_EQ(ReferenceList(g, 1), u"1,3,5,6,12,14,16,17,23,24,25,26");
  // A low group of 2 lets the middle group keep 6.
  const Groups few = GroupsOf({1, 2, 12, 13, 14, 15, 16, 17, 18, 19, 23, 24, 25, 26, 27});
  EXPECT_EQ(ReferenceList(few, 0), u"1,2,13,15,16,17,18,19,24,25,26,27");
  // A short middle group passes its shortfall on to the high group.
  const Groups shortMiddle = GroupsOf({1, 2, 3, 12, 13, 23, 24, 25, 26, 27, 28, 29, 30, 31});
  EXPECT_EQ(ReferenceList(shortMiddle, 1), u"1,2,3,12,13,23,25,27,28,29,30,31");
  // The cursor returns to the parity position at the end of the list.
  const Groups wrap = GroupsOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13, 14, 15, 23, 24, 25, 26});
  EXPECT_EQ(ReferenceList(wrap, 1), u"1,5,7,9,12,13,14,15,23,24,25,26");
}

TEST(Steps, ParityFromMovingLines) {
  rg_GuaNumProfile p;
  p.worldIndex = 3;
  EXPECT_EQ(Parity(p), 1);  // no moving line: world index
  p.moving = {0, 0, 0, 0, -1, 0};
  EXPECT_EQ(Parity(p), 0);  // one moving line: its index
  p.moving = {1, 0, 0, 0, -1, 1};
  EXPECT_EQ(Parity(p), 1);  // several: their count
}

TEST(Steps, DigitStringHoldsEachDigitOnceInOrder) {
  rg_GuaNumProfile p;
  p.zodiacDigit = 1;
  p.dayStemDigit = 2;
  p.dayBranchDigit = 1;
  p.hourStemDigit = 0;
  p.hourBranchDigit = 9;
  p.primaryDigits = {3, 1, 3, 4, 0, 0, 0, 0, 0, 0, 0, 5};
  p.changedDigits.fill(2);
  EXPECT_EQ(DigitString(p),
            "120934"
            "5");
}

TEST(Steps, BlueSpreadAndZeroDigits) {
  rg_GuaNumProfile p;
  // World 甲子 digits (3, 1), changed response digits (5, 9): B(3,5) = 2 and
  // B(1,9) = 4 give the text "24".
  p.worldDigits = {3, 1};
  p.changedResponseDigits = {5, 9};
  p.worldIndex = 0;
  p.changedResponseIndex = 0;
  p.spirits[0] = u"青龙";
  p.relatives[0] = u"妻财";  // w = +0.2
  // s = 1: c = 18, f = round(0.4) = 0.4; e = 0.6000000000000001.
  // d = 2: n = 3 -> k = 5,4,3,2 give 1, 1, 1, 2.
  // d = 4: n = 6 -> 2, 2, 2, 3.
  EXPECT_EQ(BlueList(p, 1.0), u"1,2,3");
  // A B value of 0 contributes the digit 0, which counts as 10: B(9,9) = 0
  // twice gives "00"; n = trunc(10 / e).
  p.worldDigits = {9, 9};
  p.changedResponseDigits = {9, 9};
  p.spirits[0] = u"";
  // c = 36, f = 0.8, w = 0: n = 12 -> 3, 3, 4, 6.
  EXPECT_EQ(BlueList(p, 1.0), u"3,4,6");
}

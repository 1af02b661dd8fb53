// The judgement tables, each checked whole against the rules written out
// here in the form the handbooks give them.
#include <gtest/gtest.h>

#include <map>

#include "engine/Chart.h"
#include "engine/Judgement.h"
#include "engine/Symbols.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;
using namespace rg_com_ptl_xyh::judgement;

namespace {

// Phase of each branch as the handbooks group them.
std::u16string PhaseOf(char16_t branch) {
  static const std::pair<std::u16string_view, char16_t> kGroups[] = {
      {u"子亥", u'水'}, {u"寅卯", u'木'}, {u"巳午", u'火'}, {u"申酉", u'金'}, {u"辰戌丑未", u'土'}};
  for (const auto& [branches, phase] : kGroups) {
    if (branches.find(branch) != std::u16string_view::npos) return std::u16string(1, phase);
  }
  return {};
}

// a generates b / a controls b, by the cycles written out.
bool Generates(const std::u16string& a, const std::u16string& b) {
  static constexpr std::u16string_view kCycle = u"木火土金水木";
  return kCycle.find(a + b) != std::u16string_view::npos;
}
bool Controls(const std::u16string& a, const std::u16string& b) {
  static constexpr std::u16string_view kCycle = u"木土水火金木";
  return kCycle.find(a + b) != std::u16string_view::npos;
}

bool PairIn(std::u16string_view pairs, char16_t a, char16_t b) {
  for (size_t i = 0; i < pairs.size(); i += 3) {
    if ((pairs[i] == a && pairs[i + 1] == b) || (pairs[i] == b && pairs[i + 1] == a)) return true;
  }
  return false;
}
constexpr std::u16string_view kHe = u"子丑 寅亥 卯戌 辰酉 巳申 午未";
constexpr std::u16string_view kChong = u"子午 丑未 寅申 卯酉 辰戌 巳亥";

std::u16string B(int n) { return BranchByNumber(n); }

}  // namespace

TEST(JudgementTables, StrengthOfEveryPhaseInEveryMonth) {
  // By the month's phase: 旺 the same, 相 what it generates, 休 what
  // generates it, 囚 what controls it, 死 what it controls. Lines 金木水火土.
  const std::map<char16_t, std::u16string_view> kByMonthPhase = {{u'木', u"囚旺休相死"},
                                                                 {u'火', u"死休囚旺相"},
                                                                 {u'土', u"相囚死休旺"},
                                                                 {u'金', u"旺死相囚休"},
                                                                 {u'水', u"休相旺死囚"}};
  static constexpr std::u16string_view kOneBranchPerPhase = u"申寅子午辰";  // 金木水火土
  for (int m = 1; m <= 12; ++m) {
    const std::u16string_view row = kByMonthPhase.at(PhaseOf(B(m)[0])[0]);
    for (size_t q = 0; q < 5; ++q) {
      for (int b = 1; b <= 12; ++b) {
        if (PhaseOf(B(b)[0]) != PhaseOf(kOneBranchPerPhase[q])) continue;
        SCOPED_TRACE(ToUtf8(B(m) + u"月 " + B(b)));
        const int s = StrengthIndex(m, b);
        ASSERT_GE(s, 0);
        EXPECT_EQ(kStrengthByRelation[static_cast<size_t>(s)], row.substr(q, 1));
      }
    }
  }
  EXPECT_EQ(StrengthIndex(0, 1), -1);
  EXPECT_EQ(StrengthIndex(1, 13), -1);
}

TEST(JudgementTables, MonthAndDayTestsOfAll144Pairs) {
  int combine = 0, clash = 0;
  for (int by = 1; by <= 12; ++by) {
    for (int b = 1; b <= 12; ++b) {
      const char16_t x = B(by)[0], y = B(b)[0];
      const std::u16string px = PhaseOf(x), py = PhaseOf(y);
      std::u16string month, day;
      const auto add = [&month, &day](bool holds, std::u16string_view m, std::u16string_view d) {
        if (!holds) return;
        month += (month.empty() ? u"" : u" ") + std::u16string(m);
        day += (day.empty() ? u"" : u" ") + std::u16string(d);
      };
      add(x == y, u"临月", u"临日");
      add(x != y && px == py, u"月扶", u"日扶");
      add(Generates(px, py), u"月生", u"日生");
      add(Controls(px, py), u"月克", u"日克");
      add(PairIn(kHe, x, y), u"月合", u"日合");
      add(PairIn(kChong, x, y), u"月破", u"日冲");
      SCOPED_TRACE(ToUtf8(B(by) + u" " + B(b)));
      EXPECT_EQ(NamesOf(TestsOf(by, b), kMonthTests, u" "), month);
      EXPECT_EQ(NamesOf(TestsOf(by, b), kDayTests, u" "), day);
      combine += (TestsOf(by, b) & kTestCombine) != 0;
      clash += (TestsOf(by, b) & kTestClash) != 0;
    }
  }
  EXPECT_EQ(combine, 12);
  EXPECT_EQ(clash, 12);
  EXPECT_EQ(TestsOf(0, 1), 0);
}

TEST(JudgementTables, TwelveStagesOfEveryPhase) {
  // 长生 of 金 木 水 火 土, and the 帝旺, 墓 and 绝 the handbooks list.
  struct Row {
    char16_t phase;
    std::u16string_view birth, peak, tomb, cut;
  };
  const Row kRows[] = {{u'金', u"巳", u"酉", u"丑", u"寅"},
                       {u'木', u"亥", u"卯", u"未", u"申"},
                       {u'水', u"申", u"子", u"辰", u"巳"},
                       {u'火', u"寅", u"午", u"戌", u"亥"},
                       {u'土', u"申", u"子", u"辰", u"巳"}};
  for (const Row& r : kRows) {
    const int phase = PhaseNumber(std::u16string(1, r.phase));
    const int birth = BranchNumber(r.birth);
    for (int k = 0; k < 12; ++k) {
      EXPECT_EQ(StageOf(phase, (birth - 1 + k) % 12 + 1), k) << ToUtf8(std::u16string(1, r.phase));
    }
    EXPECT_EQ(kStages[static_cast<size_t>(StageOf(phase, BranchNumber(r.peak)))], u"帝旺");
    EXPECT_EQ(kStages[static_cast<size_t>(StageOf(phase, BranchNumber(r.tomb)))], u"墓");
    EXPECT_EQ(kStages[static_cast<size_t>(StageOf(phase, BranchNumber(r.cut)))], u"绝");
  }
  // A 金 line on a 申 day.
  EXPECT_EQ(kStages[static_cast<size_t>(StageOf(1, BranchNumber(u"申")))], u"临官");
  EXPECT_EQ(StageOf(0, 1), -1);
}

TEST(JudgementTables, ChangesOfAll144Pairs) {
  // Month 午, void 戌亥 for every pair.
  const int month = BranchNumber(u"午"), v1 = BranchNumber(u"戌"), v2 = BranchNumber(u"亥");
  static constexpr std::u16string_view kTomb = u"木未火戌金丑水辰土辰";
  static constexpr std::u16string_view kCut = u"木申火亥金寅水巳土巳";
  static constexpr std::u16string_view kAdvance = u"寅卯 巳午 申酉 亥子 丑辰 辰未 未戌 戌丑";
  const auto ofPhase = [](std::u16string_view table, const std::u16string& phase) {
    return table[table.find(phase[0]) + 1];
  };
  for (int from = 1; from <= 12; ++from) {
    for (int to = 1; to <= 12; ++to) {
      const char16_t f = B(from)[0], t = B(to)[0];
      const std::u16string pf = PhaseOf(f), pt = PhaseOf(t);
      std::u16string expected;
      const auto add = [&expected](bool holds, std::u16string_view name) {
        if (holds) expected += (expected.empty() ? u"" : u" ") + std::u16string(name);
      };
      add(Generates(pt, pf), u"回头生");
      add(Controls(pt, pf), u"回头克");
      add(PairIn(kChong, f, t), u"回头冲");
      add(PairIn(kHe, f, t), u"回头合");
      bool forward = false, backward = false;
      for (size_t i = 0; i < kAdvance.size(); i += 3) {
        forward |= kAdvance[i] == f && kAdvance[i + 1] == t;
        backward |= kAdvance[i] == t && kAdvance[i + 1] == f;
      }
      add(forward, u"化进");
      add(backward, u"化退");
      add(to == v1 || to == v2, u"化空");
      add(PairIn(kChong, t, u'午'), u"化破");
      add(ofPhase(kTomb, pf) == t, u"化墓");
      add(ofPhase(kCut, pf) == t, u"化绝");
      SCOPED_TRACE(ToUtf8(B(from) + u"→" + B(to)));
      EXPECT_EQ(NamesOf(ChangeOf(from, to, month, v1, v2), kChangeRelations, u" "), expected);
    }
  }
}

TEST(JudgementTables, FanyinAndFuyinOfEveryChange) {
  // Trigram codes, bottom line first, of the pairs that face each other.
  const std::pair<std::u16string_view, std::u16string_view> kFan[] = {
      {u"111", u"011"}, {u"010", u"101"}, {u"100", u"110"}, {u"001", u"000"}};
  const std::pair<std::u16string_view, std::u16string_view> kFu[] = {{u"111", u"100"}};
  const auto in = [](const auto& pairs, std::u16string_view a, std::u16string_view b) {
    for (const auto& [x, y] : pairs) {
      if ((x == a && y == b) || (x == b && y == a)) return true;
    }
    return false;
  };
  const auto lines = [](int mask) {
    std::u16string s;
    for (int i = 0; i < 6; ++i) s += (mask >> i) & 1 ? u'1' : u'0';
    return s;
  };
  int fanInner = 0, fuOuter = 0;
  for (int p = 0; p < 64; ++p) {
    for (int c = 0; c < 64; ++c) {
      // The lines that differ are the moving ones.
      const unsigned moving = static_cast<unsigned>(p ^ c);
      const std::u16string pl = lines(p), cl = lines(c);
      rg_InnerOuter fan, fu;
      FanFuOf(pl, cl, moving, fan, fu);
      const std::u16string pi = pl.substr(0, 3), po = pl.substr(3), ci = cl.substr(0, 3),
                           co = cl.substr(3);
      ASSERT_EQ(fan.inner, (moving & 7) != 0 && in(kFan, pi, ci)) << p << " " << c;
      ASSERT_EQ(fan.outer, (moving & 56) != 0 && in(kFan, po, co)) << p << " " << c;
      ASSERT_EQ(fu.inner, (moving & 7) != 0 && in(kFu, pi, ci)) << p << " " << c;
      ASSERT_EQ(fu.outer, (moving & 56) != 0 && in(kFu, po, co)) << p << " " << c;
      fanInner += fan.inner;
      fuOuter += fu.outer;
    }
  }
  // Eight ordered trigram changes are 反吟 and two 伏吟, each with any of
  // the 8 × 8 trigrams of the other half before and after.
  EXPECT_EQ(fanInner, 8 * 64);
  EXPECT_EQ(fuOuter, 2 * 64);
}

TEST(JudgementTables, ReadingRuleForEveryCountOfMovingLines) {
  // P/C: primary or changed; J judgment, E 用九/用六, a digit a line; * main.
  struct Case {
    unsigned moving;
    std::u16string_view primary;
    std::u16string_view expected;
  };
  const Case kCases[] = {
      {0, u"101010", u"PJ"},
      {1U << 3, u"101010", u"P4"},
      {(1U << 1) | (1U << 4), u"101010", u"P2 P5*"},
      {0b010101, u"101010", u"PJ CJ"},
      {0b011011, u"101010", u"C3* C6"},
      {0b111011, u"101010", u"C3"},
      {0b111111, u"101010", u"CJ"},
      {0b111111, u"111111", u"PE"},
      {0b111111, u"000000", u"PE"},
      // Five moving in 乾 is no 用九.
      {0b111110, u"111111", u"C1"},
  };
  for (const Case& c : kCases) {
    std::u16string got;
    for (const rg_ReadText& r : ReadTexts(c.moving, c.primary)) {
      if (!got.empty()) got += u' ';
      got += r.changed ? u'C' : u'P';
      got += r.part == rg_ReadText::kJudgment ? u'J'
             : r.part == rg_ReadText::kExtra  ? u'E'
                                              : static_cast<char16_t>(u'0' + r.line);
      if (r.main) got += u'*';
    }
    EXPECT_EQ(got, c.expected) << c.moving;
  }
}

TEST(JudgementTables, BodyTopicsAndTheRelativesAroundTheUseGod) {
  // 阳世从子、阴世从午, counted to the world line.
  EXPECT_EQ(B(BodyBranch(1, true)), u"子");
  EXPECT_EQ(B(BodyBranch(4, true)), u"卯");
  EXPECT_EQ(B(BodyBranch(1, false)), u"午");
  EXPECT_EQ(B(BodyBranch(6, false)), u"亥");
  EXPECT_EQ(BodyBranch(0, true), 0);
  const std::pair<std::u16string_view, std::u16string_view> kTopicsAndRelatives[] = {
      {u"求财", u"妻财"},
      {u"功名", u"官鬼"},
      {u"文书", u"父母"},
      {u"子孙", u"子孙"},
      {u"兄弟", u"兄弟"}};
  for (const auto& [topic, relative] : kTopicsAndRelatives) {
    const int t = TopicIndex(topic);
    ASSERT_GE(t, 0);
    EXPECT_EQ(RelativeName(kTopicRelative[static_cast<size_t>(t)]), relative);
  }
  EXPECT_EQ(TopicIndex(u"求婚"), -1);
  EXPECT_EQ(TopicIndex(u"求财"), 0);
  // In every palace phase: 原神 generates the 用神, 忌神 controls it and
  // 仇神 controls the 原神.
  for (int palace = 1; palace <= 5; ++palace) {
    std::map<int, std::u16string> phaseOf;  // relative -> phase
    for (int q = 1; q <= 5; ++q) phaseOf[RelativeOf(palace, q)] = PhaseByNumber(q);
    for (int use = 0; use < 5; ++use) {
      const std::u16string u = phaseOf[use];
      const std::u16string origin = phaseOf[HelperRelative(use, 0)];
      EXPECT_TRUE(Generates(origin, u));
      EXPECT_TRUE(Controls(phaseOf[HelperRelative(use, 1)], u));
      EXPECT_TRUE(Controls(phaseOf[HelperRelative(use, 2)], origin));
    }
  }
}

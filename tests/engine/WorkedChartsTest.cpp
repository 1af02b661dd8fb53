// Charts worked by hand, one (or more) per palace: the lines checked by
// hand against the month, the day, the twelve stages and the change, and
// the whole hexagram's marks, 用神 and texts.
#include <gtest/gtest.h>

#include <map>

#include "engine/Canon.h"
#include "engine/Chart.h"
#include "engine/Symbols.h"
#include "platform/Utf.h"
#include "support/ReadingHelpers.h"

using namespace rg_com_ptl_xyh;
using namespace rg_com_ptl_xyh::judgement;
using namespace test_support;

namespace {

// "strength month…|day… stage [空] [暗动] [日破] [→branch phase relative/byPrimary relations…]"
std::u16string LineText(const rg_ChartLine& l) {
  std::u16string s =
      l.strength >= 0 ? std::u16string(kStrengthByRelation[static_cast<size_t>(l.strength)]) : u"";
  const std::u16string month = NamesOf(l.month, kMonthTests, u" ");
  s += (month.empty() ? u"" : u" ") + month + u"|" + NamesOf(l.day, kDayTests, u" ") + u" " +
       std::u16string(kStages[static_cast<size_t>(l.stage)]);
  if (l.isVoid) s += u" 空";
  if (l.dark) s += u" 暗动";
  if (l.dayBreak) s += u" 日破";
  if (l.changes) {
    s += u" →" + l.change.branch + l.change.phase + l.change.relative + u"/" +
         l.change.relativeByPrimary;
    const std::u16string relations = NamesOf(l.change.relations, kChangeRelations, u" ");
    if (!relations.empty()) s += u" " + relations;
  }
  return s;
}

std::u16string Lines(const std::vector<int>& lines) {
  std::u16string s;
  for (const int l : lines) s += static_cast<char16_t>(u'0' + l);
  return s;
}

// "反吟内 伏吟外 身巳: 用神妻财2 伏- 代- 原子孙1 忌兄弟5 仇父母36 读PE"
std::u16string WholeText(const rg_ChartModel& c) {
  std::u16string s;
  if (c.fanyin.inner) s += u"反吟内 ";
  if (c.fanyin.outer) s += u"反吟外 ";
  if (c.fuyin.inner) s += u"伏吟内 ";
  if (c.fuyin.outer) s += u"伏吟外 ";
  s += u"身" + BranchByNumber(c.bodyBranch) + Lines(c.bodyLines) + u": ";
  const rg_UseGod& u = c.useGod;
  s += u"用神" + RelativeName(u.use.relative) + Lines(u.use.lines) + u" 伏" + Lines(u.hidden) +
       u" 代" + (u.absent < 0 ? u"-" : std::u16string(kAbsent[static_cast<size_t>(u.absent)])) +
       u" 原" + RelativeName(u.origin.relative) + Lines(u.origin.lines) + u" 忌" +
       RelativeName(u.taboo.relative) + Lines(u.taboo.lines) + u" 仇" +
       RelativeName(u.enemy.relative) + Lines(u.enemy.lines) + u" 读";
  for (const rg_ReadText& r : c.texts.read) {
    s += r.changed ? u'C' : u'P';
    s += r.part == rg_ReadText::kJudgment ? u'J'
         : r.part == rg_ReadText::kExtra  ? u'E'
                                          : static_cast<char16_t>(u'0' + r.line);
    if (r.main) s += u'*';
  }
  return s;
}

}  // namespace

TEST(WorkedCharts, OnePerPalace) {
  struct Case {
    const char16_t* lines;  // bottom first: 1 0, O moving yang, X moving yin
    double when;
    int topic;
    const char16_t* name;
    std::map<int, std::u16string_view> checked;  // line -> LineText
    std::u16string_view whole;
  };
  const auto at = [](int y, int m, int d, int h) { return MakeDate(y, m, d, h, 0, 0, 0); };
  const Case kCases[] = {
      // 乾: month 己巳 (芒种 is 5 June), day 丙申, void 辰巳. All six move:
      // 用九.
      {u"OOOOOO",
       at(2024, 6, 1, 10),
       0,
       u"乾为天",
       {{1, u"囚|日生 长生 →未土兄弟/父母 回头克"},
        {2, u"休|日克 日冲 绝 →巳火父母/官鬼 化空"},
        {3, u"相 月生| 长生 空 →卯木官鬼/妻财 回头克"},
        {4, u"旺 月扶| 病 →丑土兄弟/父母"},
        {5, u"死 月克 月合|临日 临官 →亥水妻财/子孙 化破"},
        {6, u"相 月生| 长生 →酉金子孙/兄弟"}},
       u"身巳: 用神妻财2 伏 代- 原子孙1 忌兄弟5 仇父母36 读PE"},
      // 乾 again: month 癸未, day 壬午 clashes the still 子, which the month
      // does not break: weak, so 日破.
      {u"1111O1", at(2025, 7, 12, 9), 0, u"乾为天", {{1, u"死 月克|日冲 胎 日破"}}, u""},
      // Month 壬午, day 丙子 clashes the 午 line that rules the month: 暗动.
      {u"1111O1", at(2025, 7, 6, 9), 0, u"乾为天", {{4, u"旺 临月|日克 日冲 胎 暗动"}}, u""},
      // 兑: 泽水困, month 己卯, day 戊寅, void 申酉; 六合 turning 六冲.
      {u"X10110",
       at(2025, 3, 10, 9),
       0,
       u"泽水困",
       {{1, u"旺 月扶|临日 临官 →巳火官鬼/官鬼"}, {5, u"囚 月破| 绝 空"}},
       u"身午3: 用神妻财1 伏 代- 原子孙4 忌兄弟5 仇父母26 读P1"},
      // 离: 火山旅, month 甲申, day 辛酉, void 子丑.
      {u"001O01",
       at(2025, 8, 20, 15),
       0,
       u"火山旅",
       {{3, u"旺 临月|日扶 帝旺"},
        {4, u"旺 月扶|临日 帝旺 →戌土兄弟/子孙 回头生"},
        {6, u"囚 月合| 死"}},
       u"身午2: 用神妻财34 伏 代- 原子孙15 忌兄弟26 仇父母 读P4"},
      // 震: 雷风恒, month 戊寅, day 甲寅, void 子丑; 巽 turning 乾 below.
      {u"X11O00",
       at(2025, 2, 14, 10),
       0,
       u"雷风恒",
       {{1, u"死 月克|日克 病 空 →子水妻财/父母 回头合 化空"},
        {2, u"休 月合|日合 病"},
        {4, u"相 月生|日生 长生 →丑土兄弟/妻财 化空"},
        {5, u"囚 月破|日冲 绝"}},
       u"反吟内 身寅: 用神妻财16 伏 代- 原子孙4 忌兄弟 仇父母2 读P1P4*"},
      // 巽: 风天小畜 asked about 功名: no 官鬼 on a line. Month 丙戌, day
      // 辛亥: neither is 金, so the hidden 辛酉 stands in.
      {u"111X11",
       at(2025, 10, 9, 16),
       1,
       u"风天小畜",
       {{3, u"旺 月扶 月破| 临官"},
        {4, u"旺 月扶| 临官 →午火官鬼/子孙 回头生 回头合"},
        {5, u"休|日克 日冲 绝 日破"}},
       u"反吟外 身子1: 用神官鬼 伏3 代伏神 原妻财34 忌子孙5 仇兄弟26 读P4"},
      // The same in the month 甲申: the month is 金 and stands in.
      {u"111X11",
       at(2025, 9, 1, 10),
       1,
       u"风天小畜",
       {},
       u"反吟外 身子1: 用神官鬼 伏3 代月建 原妻财34 忌子孙5 仇兄弟26 读P4"},
      // And on a 庚申 day of the month 丙戌: the day stands in.
      {u"111X11",
       at(2025, 10, 18, 10),
       1,
       u"风天小畜",
       {},
       u"反吟外 身子1: 用神官鬼 伏3 代日辰 原妻财34 忌子孙5 仇兄弟26 读P4"},
      // 坎: 水火既济, four moving; month 壬辰, day 丙寅, void 戌亥. No 妻财
      // on a line and neither month nor day is 火: the hidden 戊午.
      {u"OX1X1X",
       at(2026, 4, 22, 6),
       0,
       u"水火既济",
       {{3, u"死 月克|日合 病 空"},
        {4, u"相 月生|日冲 绝 →午火官鬼/妻财 回头克"},
        {6, u"死 月克| 病 →戌土父母/官鬼 回头克 化空 化破"}},
       u"身寅: 用神妻财 伏3 代伏神 原子孙1 忌兄弟36 仇父母4 读C3*C5"},
      // 艮: 山泽损, five moving; month 壬申, day 甲辰, void 寅卯.
      {u"OO0XXO",
       at(2024, 8, 8, 13),
       0,
       u"山泽损",
       {{3, u"休|日扶 墓"},
        {5, u"相 月生|日克 墓 →酉金兄弟/子孙 回头生"},
        {6, u"死 月克 月破| 衰 空 →未土父母/兄弟 化墓"}},
       u"身申: 用神妻财5 伏 代- 原子孙 忌兄弟34 仇父母1 读C3"},
      // 坤: 地天泰 into 地雷复, 乾 turning 震 below; the branches stay.
      {u"1OO000",
       at(2024, 12, 25, 12),
       0,
       u"地天泰",
       {{1, u"旺 临月|日扶 临官 空"},
        {2, u"相 月生|日生 日合 长生 →寅木官鬼/官鬼"},
        {3, u"囚| 临官 →辰土兄弟/兄弟 化墓"}},
       u"伏吟内 身寅2: 用神妻财15 伏 代- 原子孙6 忌兄弟34 仇父母 读P2P3*"},
  };
  for (const Case& c : kCases) {
    const std::u16string_view text(c.lines);
    std::u16string up, down;
    std::vector<int> dong;
    for (size_t i = 0; i < 6; ++i) {
      const char16_t ch = text[i];
      (i < 3 ? down : up) += ch == u'1' || ch == u'O' ? u'1' : u'0';
      dong.push_back(ch == u'O' ? 1 : ch == u'X' ? -1 : 0);
    }
    rg_GuaReport report;
    BuildCast(report, HandRequest(up, down, dong, c.when));
    SCOPED_TRACE(ToUtf8(std::u16string(text)));
    ASSERT_EQ(report.Analysis().primaryName, c.name);
    const rg_ChartModel chart = BuildChart(report.Analysis(), -480, c.topic);
    ASSERT_EQ(chart.lines.size(), 6u);
    for (const auto& [line, expected] : c.checked) {
      EXPECT_EQ(LineText(chart.lines[static_cast<size_t>(line - 1)]), expected) << line;
    }
    if (!c.whole.empty()) {
      EXPECT_EQ(WholeText(chart), c.whole);
    }
  }
}

TEST(WorkedCharts, ChangedRelativesByEitherPalaceAndTheTexts) {
  // 58 on 2026-12-06 15:07: 风地观 (乾 金) into 风雷益 (巽 木).
  rg_GuaReport report;
  BuildCast(report, NumberRequest(u"58", MakeDate(2026, 12, 6, 15, 7, 3)));
  const rg_ChartModel c = BuildChart(report.Analysis(), -480);
  std::u16string byPrimary;
  for (const auto& r : c.changedByPrimary) byPrimary += r;
  EXPECT_EQ(byPrimary, u"子孙妻财父母父母官鬼妻财");
  // The grid keeps the changed palace's own count.
  std::u16string own;
  for (const auto& r : report.Analysis().changedRelatives) own += r;
  EXPECT_EQ(own, u"父母兄弟妻财妻财子孙兄弟");
  ASSERT_TRUE(ProgramCanon().Ok()) << ProgramCanon().error;
  ASSERT_NE(c.texts.primary, nullptr);
  ASSERT_NE(c.texts.changed, nullptr);
  EXPECT_EQ(c.texts.primary->name, u"观");
  EXPECT_EQ(c.texts.changed->name, u"益");
  // The chart points into the canon, one copy for every cast.
  EXPECT_EQ(c.texts.primary, ProgramCanon().OfLines(u"000011"));

  // A still cast has no changed text and reads the primary's judgment.
  rg_GuaReport still;
  BuildCast(still, HandRequest(u"000", u"111", {0, 0, 0, 0, 0, 0}, MakeDate(2024, 6, 1, 10)));
  const rg_ChartModel s = BuildChart(still.Analysis(), -480);
  EXPECT_EQ(s.texts.changed, nullptr);
  EXPECT_EQ(s.texts.primary->name, u"泰");
  std::u16string sameRelatives;
  for (size_t i = 0; i < 6; ++i)
    sameRelatives += s.changedByPrimary[i] == still.Analysis().relatives[i] ? u"=" : u"x";
  EXPECT_EQ(sameRelatives, u"======");
  // The sheet marks the 用神 of every question and shows both counts.
  const rg_ChartSheet sheet = MakeChartSheet(c, report, -480);
  EXPECT_EQ(sheet.rows[3].roles[0], u"用神");  // line 3, 妻财乙卯
  EXPECT_EQ(sheet.rows[5].roles[0], u"仇神");  // line 1, 父母乙未
  EXPECT_EQ(sheet.rows[5].changedByPrimary, u"子孙庚子水");
  EXPECT_EQ(sheet.rows[5].changed, u"父母庚子水");
  EXPECT_EQ(sheet.useGod[0].front(), u"用神(求财): 妻财 三爻、六爻");
  const std::u16string text = ChartText(sheet, {0, true});
  EXPECT_NE(
      text.find(
          u"初爻　父母未土　囚　　　　　　　　日克　　　　病　　　　　　　　仇神　化子孙庚子水 化空"),
      std::u16string::npos)
      << ToUtf8(text);
  EXPECT_NE(text.find(u"◎初六：童观，小人无咎，君子吝。"), std::u16string::npos);
  EXPECT_NE(ChartText(sheet, {0, false}).find(u"化父母庚子水 化空"), std::u16string::npos);
  EXPECT_NE(ChartText(sheet, {1, true}).find(u"用神(功名): 官鬼 二爻、五爻"), std::u16string::npos);
}

TEST(WorkedCharts, TheSheetNamesWhatStandsInForAnAbsentUseGod) {
  struct Case {
    std::u16string up, down;
    std::vector<int> dong;
    double when;
    size_t topic;
    std::u16string_view expected;
  };
  const Case kCases[] = {
      // 水火既济 asked about money: the hidden 戊午 under line 3.
      {u"010",
       u"101",
       {1, -1, 0, -1, 0, -1},
       MakeDate(2026, 4, 22, 6),
       0,
       u"用神(求财): 妻财不上卦，取伏神 三爻妻财戊午火(伏于己亥下)"},
      // 风天小畜 asked about 功名 in the month 甲申, and on a 庚申 day.
      {u"011",
       u"111",
       {0, 0, 0, -1, 0, 0},
       MakeDate(2025, 9, 1, 10),
       1,
       u"用神(功名): 官鬼不上卦，以月建为用神"},
      {u"011",
       u"111",
       {0, 0, 0, -1, 0, 0},
       MakeDate(2025, 10, 18, 10),
       1,
       u"用神(功名): 官鬼不上卦，以日辰为用神"},
  };
  for (const Case& c : kCases) {
    rg_GuaReport report;
    BuildCast(report, HandRequest(c.up, c.down, c.dong, c.when));
    const rg_ChartSheet sheet = MakeChartSheet(BuildChart(report.Analysis(), -480), report, -480);
    ASSERT_FALSE(sheet.useGod[c.topic].empty());
    EXPECT_EQ(sheet.useGod[c.topic].front(), c.expected);
  }
  // 泽水困 into 兑为泽, and 雷风恒 with 巽 turning 乾 below.
  const std::pair<std::array<std::u16string, 2>, std::u16string_view> kWhole[] = {
      {{u"110", u"010"}, u"六合变六冲  卦身: 午(三爻)"},
      {{u"100", u"011"}, u"反吟(内卦)  卦身: 寅(不上卦)"},
  };
  const std::vector<int> dongs[] = {{-1, 0, 0, 0, 0, 0}, {-1, 0, 0, 1, 0, 0}};
  for (size_t i = 0; i < 2; ++i) {
    rg_GuaReport report;
    BuildCast(report, HandRequest(kWhole[i].first[0], kWhole[i].first[1], dongs[i],
                                  MakeDate(2025, 3, 10, 9)));
    const rg_ChartSheet sheet = MakeChartSheet(BuildChart(report.Analysis(), -480), report, -480);
    ASSERT_EQ(sheet.whole.size(), 1u);
    EXPECT_EQ(sheet.whole[0], kWhole[i].second);
  }
}

TEST(WorkedCharts, TextThatIsNoCanonGivesNoTexts) {
  const rg_Canon broken = ParseCanon("not the canon");
  EXPECT_FALSE(broken.Ok());
  EXPECT_EQ(broken.OfLines(u"111111"), nullptr);
}

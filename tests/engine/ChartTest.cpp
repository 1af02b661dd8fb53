// The chart's tables, each checked whole, and the chart of real casts.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "engine/Chart.h"
#include "engine/Symbols.h"
#include "platform/Clock.h"
#include "platform/Utf.h"
#include "support/ReadingHelpers.h"

using namespace rg_com_ptl_xyh;
using namespace test_support;

namespace {

std::u16string Ch(std::u16string_view s, size_t i) { return std::u16string(s.substr(i, 1)); }

std::map<std::u16string, std::u16string> NameOfLinesTable() {
  std::map<std::u16string, std::u16string> out;
  for (int i = 1; i <= 64; ++i) out[LinesOfName(HexagramName(i))] = HexagramName(i);
  return out;
}

rg_GuaReport Cast(const rg_QiGuaModel& request) {
  rg_GuaReport report;
  BuildCast(report, request);
  return report;
}

}  // namespace

TEST(ChartTables, VoidAndStarsOfAllSixtyDayPillars) {
  // The ten-day weeks and what each leaves over, as the almanacs list them.
  const std::u16string_view kWeeks[] = {u"戌亥", u"申酉", u"午未", u"辰巳", u"寅卯", u"子丑"};
  const std::pair<std::u16string_view, std::u16string_view> kHorse[] = {
      {u"申子辰", u"寅"}, {u"寅午戌", u"申"}, {u"巳酉丑", u"亥"}, {u"亥卯未", u"巳"}};
  const std::pair<std::u16string_view, std::u16string_view> kPeach[] = {
      {u"申子辰", u"酉"}, {u"寅午戌", u"卯"}, {u"巳酉丑", u"午"}, {u"亥卯未", u"子"}};
  const std::pair<std::u16string_view, std::u16string_view> kNoble[] = {{u"甲戊庚", u"丑未"},
                                                                        {u"乙己", u"子申"},
                                                                        {u"丙丁", u"亥酉"},
                                                                        {u"壬癸", u"卯巳"},
                                                                        {u"辛", u"寅午"}};
  const std::u16string_view kSalary[] = {u"甲寅", u"乙卯", u"丙戊巳", u"丁己午",
                                         u"庚申", u"辛酉", u"壬亥",   u"癸子"};
  const std::u16string_view kScholar[] = {u"甲巳", u"乙午", u"丙申", u"丁酉", u"戊申",
                                          u"己酉", u"庚亥", u"辛子", u"壬寅", u"癸卯"};
  const auto byGroup = [](const auto& table, char16_t key) {
    for (const auto& [group, value] : table) {
      if (group.find(key) != std::u16string_view::npos) return std::u16string(value);
    }
    return std::u16string();
  };
  const auto byPrefix = [](const auto& table, char16_t stem) {
    for (const auto& entry : table) {
      if (entry.substr(0, entry.size() - 1).find(stem) != std::u16string_view::npos)
        return Ch(entry, entry.size() - 1);
    }
    return std::u16string();
  };
  std::set<std::u16string> pillars;
  for (int i = 0; i < 60; ++i) {
    const int stem = i % 10 + 1, branch = i % 12 + 1;
    const std::u16string s = StemByNumber(stem), b = BranchByNumber(branch);
    pillars.insert(s + b);
    SCOPED_TRACE(ToUtf8(s + b));
    const auto v = VoidBranches(stem, branch);
    EXPECT_EQ(v[0] + v[1], kWeeks[i / 10]);
    const rg_DayStars stars = StarsOfDay(stem, branch);
    EXPECT_EQ(stars.horse, byGroup(kHorse, b[0]));
    EXPECT_EQ(stars.peach, byGroup(kPeach, b[0]));
    EXPECT_EQ(stars.noble[0] + stars.noble[1], byGroup(kNoble, s[0]));
    EXPECT_EQ(stars.salary, byPrefix(kSalary, s[0]));
    EXPECT_EQ(stars.scholar, byPrefix(kScholar, s[0]));
  }
  EXPECT_EQ(pillars.size(), 60u);
  // Outside the tables nothing is made up.
  EXPECT_EQ(VoidBranches(0, 1)[0], u"");
  EXPECT_EQ(StarsOfDay(11, 1).horse, u"");
}

TEST(ChartTables, ClashAndRelatedHexagramsOfAllSixtyFour) {
  const auto names = NameOfLinesTable();
  ASSERT_EQ(names.size(), 64u);
  const std::set<std::u16string> clash = {u"乾为天",   u"兑为泽",  u"离为火", u"震为雷",
                                          u"巽为风",   u"坎为水",  u"艮为山", u"坤为地",
                                          u"天雷无妄", u"雷天大壮"};
  const std::set<std::u16string> harmony = {u"天地否", u"地天泰", u"地雷复", u"雷地豫",
                                            u"水泽节", u"泽水困", u"山火贲", u"火山旅"};
  std::set<std::u16string> nuclearOfNuclear;
  for (int palace = 1; palace <= 8; ++palace) {
    for (int rank = 1; rank <= 8; ++rank) {
      const std::u16string name = HexagramName((palace - 1) * 8 + rank);
      SCOPED_TRACE(ToUtf8(name));
      const std::u16string lines = HexagramLines(palace, rank);
      // The palace's generations give the lines the name pictures.
      ASSERT_EQ(lines, LinesOfName(name));
      EXPECT_EQ(HexagramNameOfLines(lines), name);
      EXPECT_EQ(ClashOf(name), clash.count(name) ? u"六冲" : harmony.count(name) ? u"六合" : u"");

      std::u16string flipped = lines, reversed(lines.rbegin(), lines.rend());
      for (char16_t& c : flipped) c = c == u'1' ? u'0' : u'1';
      const std::u16string nuclear = names.at(lines.substr(1, 3) + lines.substr(2, 3));
      rg_GuaAnalysis a;
      a.dayStem = u"甲";
      a.dayBranch = u"子";
      a.primaryPalaceName = TrigramByNumber(palace);
      a.primaryRank = rank;
      const rg_ChartModel c = BuildChart(a, -480);
      EXPECT_EQ(c.nuclear, nuclear);
      EXPECT_EQ(c.opposite, names.at(flipped));
      EXPECT_EQ(c.inverse, names.at(reversed));
      EXPECT_EQ(c.clashPrimary, ClashOf(name));
      nuclearOfNuclear.insert(
          names.at(LinesOfName(nuclear).substr(1, 3) + LinesOfName(nuclear).substr(2, 3)));
    }
  }
  // Taken twice, the nuclear hexagram always ends in one of four.
  EXPECT_EQ(nuclearOfNuclear,
            (std::set<std::u16string>{u"乾为天", u"坤为地", u"水火既济", u"火水未济"}));
  // Some the textbooks give.
  EXPECT_EQ(HexagramNameOfLines(u"000011"), u"风地观");
  EXPECT_EQ(HexagramNameOfLines(u"00011"), u"");
  EXPECT_EQ(HexagramLines(0, 1), u"");
}

// Hidden spirits, one worked chart per palace. Each palace's pure
// hexagram holds all five relatives; a hexagram lacking one borrows the
// pure hexagram's line of it.
TEST(ChartTables, HiddenSpiritsOfEveryPalace) {
  struct Case {
    std::u16string upper, lower;  // codes
    std::u16string expected;      // line, relative, stem-branch, phase / flying; ...
  };
  const Case cases[] = {
      // 乾 金: 风地观 lacks 子孙 and 兄弟; 乾为天 has 甲子 水 on line 1 under
      // 乙未, 壬申 金 on line 5 under 辛巳.
      {u"011", u"000", u"1子孙甲子水/乙未;5兄弟壬申金/辛巳;"},
      // 乾 金: 天风姤 lacks 妻财: 甲寅 木 of line 2, under 辛亥.
      {u"111", u"011", u"2妻财甲寅木/辛亥;"},
      // 兑 金: 水山蹇 lacks 妻财: 兑为泽's 丁卯 木 on line 2, under 丙午.
      {u"010", u"001", u"2妻财丁卯木/丙午;"},
      // 离 火: 火山旅 lacks 父母 (木) and 官鬼 (水): 己卯 line 1, 己亥 line 3.
      {u"101", u"001", u"1父母己卯木/丙辰;3官鬼己亥水/丙申;"},
      // 震 木: 雷地豫 lacks 父母 (水): 庚子 line 1 under 乙未.
      {u"100", u"000", u"1父母庚子水/乙未;"},
      // 巽 木: 风天小畜 lacks 官鬼 (金): 辛酉 line 3 under 甲辰.
      {u"011", u"111", u"3官鬼辛酉金/甲辰;"},
      // 坎 水: 水雷屯 lacks 妻财 (火): 戊午 line 3 under 庚辰.
      {u"010", u"100", u"3妻财戊午火/庚辰;"},
      // 艮 土: 山火贲 lacks 父母 (火) and 子孙 (金): 丙午 line 2, 丙申 line 3.
      {u"001", u"101", u"2父母丙午火/己丑;3子孙丙申金/己亥;"},
      // 坤 土: 地雷复 lacks 父母 (火): 乙巳 line 2 under 庚寅.
      {u"000", u"100", u"2父母乙巳火/庚寅;"},
      // A pure hexagram and one holding all five have none.
      {u"111", u"111", u""},
      {u"110", u"010", u""},
  };
  for (const Case& c : cases) {
    const rg_GuaReport report =
        Cast(HandRequest(c.upper, c.lower, {0, 0, 0, 0, 0, 0}, MakeDate(2024, 6, 1, 10)));
    SCOPED_TRACE(ToUtf8(report.Analysis().primaryName));
    std::u16string got;
    for (const auto& h : BuildChart(report.Analysis(), -480).hidden) {
      got += static_cast<char16_t>(u'0' + h.line) + h.relative + h.stemBranch + h.phase + u"/" +
             h.flying + u";";
    }
    EXPECT_EQ(got, c.expected);
  }
}

TEST(ChartTables, TurnsAndBackOfEveryPair) {
  int forward = 0, backward = 0;
  for (int from = 1; from <= 12; ++from) {
    for (int to = 1; to <= 12; ++to) {
      const std::u16string f = BranchByNumber(from), t = BranchByNumber(to);
      const std::u16string turn = TurnOf(f, t);
      if (turn == u"进神") {
        ++forward;
        // Forward stays within the phase.
        EXPECT_EQ(PhaseOfBranch(f), PhaseOfBranch(t));
        EXPECT_EQ(TurnOf(t, f), u"退神");
      }
      if (turn == u"退神") ++backward;
    }
  }
  EXPECT_EQ(forward, 8);
  EXPECT_EQ(backward, 8);
  for (const auto* pair :
       {u"寅卯", u"巳午", u"申酉", u"亥子", u"丑辰", u"辰未", u"未戌", u"戌丑"}) {
    const std::u16string_view p(pair);
    EXPECT_EQ(TurnOf(p.substr(0, 1), p.substr(1, 1)), u"进神") << ToUtf8(std::u16string(p));
  }
  EXPECT_EQ(TurnOf(u"辰", u"戌"), u"");
  EXPECT_EQ(TurnOf(u"丑", u"未"), u"");

  // The changed line's phase acting on the moving line's phase.
  EXPECT_EQ(BackOf(u"金", u"土"), u"回头生");
  EXPECT_EQ(BackOf(u"木", u"水"), u"回头生");
  EXPECT_EQ(BackOf(u"土", u"火"), u"回头生");
  EXPECT_EQ(BackOf(u"木", u"金"), u"回头克");
  EXPECT_EQ(BackOf(u"水", u"土"), u"回头克");
  EXPECT_EQ(BackOf(u"金", u"火"), u"回头克");
  EXPECT_EQ(BackOf(u"水", u"木"), u"");  // the moving line generates the changed one
  EXPECT_EQ(BackOf(u"火", u"火"), u"");
  int generate = 0, control = 0;
  for (int a = 1; a <= 5; ++a) {
    for (int b = 1; b <= 5; ++b) {
      const auto back = BackOf(PhaseByNumber(a), PhaseByNumber(b));
      generate += back == u"回头生";
      control += back == u"回头克";
    }
  }
  EXPECT_EQ(generate, 5);
  EXPECT_EQ(control, 5);
  EXPECT_EQ(ClashingBranch(u"子"), u"午");
  EXPECT_EQ(ClashingBranch(u"亥"), u"巳");
  EXPECT_EQ(ClashingBranch(u"x"), u"");
}

TEST(Chart, NumberCastOfAnAutumnAfternoon) {
  // 58 on 2026-12-06 15:07:03: 风地观 changing at line 1 into 风雷益, day
  // 甲寅; 大雪 comes a day later, so the month is still 己亥 of a 丙午 year.
  const rg_GuaReport report = Cast(NumberRequest(u"58", MakeDate(2026, 12, 6, 15, 7, 3)));
  const rg_ChartModel c = BuildChart(report.Analysis(), -480);
  EXPECT_EQ(c.monthPillar, u"己亥");
  EXPECT_EQ(c.monthBreak, u"巳");
  EXPECT_EQ(c.voidBranches[0] + c.voidBranches[1], u"子丑");
  EXPECT_EQ(c.clashPrimary, u"");
  EXPECT_EQ(c.nuclear, u"山地剥");
  EXPECT_EQ(c.opposite, u"雷天大壮");
  EXPECT_EQ(c.inverse, u"地泽临");
  ASSERT_EQ(c.moving.size(), 1u);
  EXPECT_EQ(c.moving[0].line, 1);
  EXPECT_EQ(c.moving[0].turn + c.moving[0].back, u"");
  EXPECT_EQ(c.horse + c.peach + c.noble[0] + c.noble[1] + c.salary + c.scholar, u"申卯丑未寅巳");

  const rg_ChartSheet sheet = MakeChartSheet(c, report, -480);
  EXPECT_EQ(ChartText(sheet),
            u"以数字58起卦,卦主生肖:子,日主:甲寅,时辰:壬申\n"
            u"时间: 2026年12月6日15时7分3秒  节令: 立冬(2026年11月7日17时52分起)\n"
            u"月建: 己亥  日辰: 甲寅  时辰: 壬申\n"
            u"月破: 巳  旬空: 子丑\n"
            u"神煞: 驿马-申  桃花-卯  贵人-丑未  禄神-寅  文昌-巳\n"
            u"\n"
            u"本卦: 风地观(乾宫)  →  变卦: 风雷益(巽宫)\n"
            u"玄武　　　　　　　妻财辛卯木　▅▅▅▅▅　　　　兄弟辛卯木　▅▅▅▅▅　应\n"
            u"白虎　兄弟壬申金　官鬼辛巳火　▅▅▅▅▅　　　　子孙辛巳火　▅▅▅▅▅　　　月破\n"
            u"腾蛇　　　　　　　父母辛未土　▅▅　▅▅　世　　妻财辛未土　▅▅　▅▅\n"
            u"勾陈　　　　　　　妻财乙卯木　▅▅　▅▅　　　　妻财庚辰土　▅▅　▅▅　世\n"
            u"朱雀　　　　　　　官鬼乙巳火　▅▅　▅▅　　　　兄弟庚寅木　▅▅　▅▅　　　月破\n"
            u"青龙　子孙甲子水　父母乙未土　▅▅　▅▅　应×　父母庚子水　▅▅▅▅▅\n"
            u"\n"
            u"互卦: 山地剥  错卦: 雷天大壮  综卦: 地泽临\n"
            u"伏神: 子孙甲子水伏于初爻乙未下\n"
            u"伏神: 兄弟壬申金伏于五爻辛巳下\n");
}

TEST(Chart, MovingLinesTurnAndActBack) {
  // 地泽临 moving at line 3: 丁丑 becomes 甲辰 of 地天泰, a step forward
  // within earth.
  const rg_GuaReport linChange =
      Cast(HandRequest(u"000", u"110", {0, 0, -1, 0, 0, 0}, MakeDate(2024, 6, 1, 10)));
  const rg_ChartModel c = BuildChart(linChange.Analysis(), -480);
  ASSERT_EQ(c.moving.size(), 1u);
  EXPECT_EQ(c.moving[0].line, 3);
  EXPECT_EQ(c.moving[0].turn, u"进神");
  EXPECT_EQ(c.moving[0].back, u"");
  EXPECT_EQ(c.clashChanged, u"六合");
  // 乾为天 moving at lines 1 and 6: 甲子 水 into 辛丑 土 is controlled back;
  // 壬戌 into 丁未 is a step back within earth.
  const rg_GuaReport qian =
      Cast(HandRequest(u"111", u"111", {1, 0, 0, 0, 0, 1}, MakeDate(2024, 6, 1, 10)));
  const rg_ChartModel q = BuildChart(qian.Analysis(), -480);
  ASSERT_EQ(q.moving.size(), 2u);
  EXPECT_EQ(q.moving[0].line, 1);
  EXPECT_EQ(q.moving[0].back, u"回头克");
  EXPECT_EQ(q.moving[1].line, 6);
  EXPECT_EQ(q.moving[1].turn, u"退神");
  EXPECT_EQ(q.clashPrimary, u"六冲");
  // A still cast: the changed hexagram is the primary, and so is its clash.
  const rg_GuaReport still =
      Cast(HandRequest(u"111", u"111", {0, 0, 0, 0, 0, 0}, MakeDate(2024, 6, 1, 10)));
  const rg_ChartModel s = BuildChart(still.Analysis(), -480);
  EXPECT_TRUE(s.moving.empty());
  EXPECT_EQ(s.clashChanged, u"六冲");
}

TEST(Chart, DrawTimeCastTakesTheMonthOfTheDraw) {
  // Thursday 2024-02-01 22:05 moves the cast to Sunday 4 February 21:15,
  // after 立春 at 16:27: the month is 丙寅 though "now" was still 乙丑.
  FixedClock clock(MakeDate(2024, 2, 1, 22, 5, 17, 250), -480);
  rg_QiGuaModel r;
  r.method = CastMethod::Time;
  r.timeChoice = TimeChoice::NextDraw;
  r.zodiac = 1;
  StampRequest(r, CastMethod::Time, clock, LotteryCode::DoubleColor);
  const rg_GuaReport report = Cast(r);
  EXPECT_EQ(BuildChart(report.Analysis(), -480).monthPillar, u"丙寅");
  // Eight hours west the same local draw time is a later instant; still 丙寅.
  EXPECT_EQ(BuildChart(report.Analysis(), 0).monthPillar, u"丙寅");
}

TEST(Chart, NothingCastNothingCharted) {
  const rg_GuaReport report;
  const rg_ChartModel c = BuildChart(report.Analysis(), -480);
  EXPECT_EQ(c.monthPillar, u"");
  EXPECT_TRUE(c.hidden.empty());
  EXPECT_EQ(ChartText(MakeChartSheet(c, report, -480)), u"");
}

#include <gtest/gtest.h>

#include "engine/Dispatch.h"
#include "platform/Clock.h"
#include "platform/Utf.h"
#include "support/ReadingHelpers.h"

using namespace rg_com_ptl_xyh;
using namespace test_support;

TEST(Report, HeaderNamesTheMethod) {
  rg_GuaReport report;
  BuildCast(report, NumberRequest(u"58", MakeDate(2024, 6, 1, 8, 30)));
  EXPECT_EQ(report.Header(), u"以数字58起卦,卦主生肖:子,日主:丙申,时辰:壬辰");

  rg_QiGuaModel t = NumberRequest(u"1717247707250", MakeDate(2024, 6, 1, 8, 30), 2);
  t.method = CastMethod::Time;
  BuildCast(report, t);
  EXPECT_EQ(report.Header(), u"以超时空毫秒起卦,卦主生肖:丑,日主:丙申,时辰:壬辰");

  BuildCast(report, HandRequest(u"010", u"101", {0, 0, 0, 0, 0, 0}, MakeDate(2024, 6, 1, 8, 30)));
  EXPECT_EQ(report.Header(), u"以自己装卦,卦主生肖:子,日主:丙申,时辰:壬辰");
}

TEST(Report, TitlesAndTheSecondReadingLine) {
  rg_GuaReport report;
  BuildCast(report, NumberRequest(u"384", MakeDate(2024, 6, 1, 21, 15, 7)));  // 火地晋, line 4
  EXPECT_EQ(report.PrimaryTitle(), u"本卦: 乾宫 (7) 火地晋 游魂");
  EXPECT_EQ(report.ChangedTitle(), u"变卦 乾宫 (6) 山地剥 ");
  const auto lines = SplitLines(report.Reading());
  EXPECT_EQ(lines[0],
            u"卦解:            在2024年6月1日21时15分7秒日主:丙申,时辰:己亥,属子的卦主测得:");
  EXPECT_EQ(lines[1], u"           (乾宫第7卦)火地晋游魂变卦为:(乾宫第6卦)山地剥");
  EXPECT_EQ(
      lines[2],
      u"----------以下各种名词为周易专业术语，请以代名词去理解，切勿以字面意义理解而迷信-----------");
  EXPECT_EQ(lines[3], u"");
  EXPECT_EQ(lines[4], u"卦基数:");
  EXPECT_EQ(lines[5], u"日主:丙->2,申->4");
  EXPECT_EQ(lines[6], u"卦主:子->1");
  EXPECT_EQ(lines[7], u"时辰:己->0,亥->6");
  EXPECT_EQ(lines[9], u"爻基数:");
  EXPECT_TRUE(EndsWith(report.Reading(), u"\r\n"));
}

TEST(Report, PureQianSentenceOrderAndAStillBottomLine) {
  rg_GuaReport report;
  // 乾为天 moving at line 5 on a 甲 day (2022-11-07).
  BuildCast(report, NumberRequest(u"115", MakeDate(2022, 11, 7, 12)));
  const auto s = LineSentences(report.Reading());
  ASSERT_EQ(s.size(), 6u);
  EXPECT_TRUE(Contains(s[0], u"持世,壬->1,戌->5"));  // line 6
  EXPECT_TRUE(Contains(s[1], u"应爻,甲->3,辰->5"));  // line 3
  EXPECT_EQ(s[2], u"初爻:青龙,子孙,五行属水,甲->3,子->1;不动而变>子孙,五行属水,甲->3,子->1");
  EXPECT_TRUE(s[3].starts_with(u"二爻:"));
  EXPECT_TRUE(s[4].starts_with(u"四爻:"));
  EXPECT_TRUE(s[5].starts_with(u"五爻:"));
  EXPECT_TRUE(Contains(s[5], u"发动而变>"));
  // 火天大有 has its world at line 3 and response at line 6: no endings on
  // the world and response sentences, none on lines 1, 2, 4, 5 either.
  for (const auto& sentence : s) {
    EXPECT_FALSE(EndsWith(sentence, u"化世"));
    EXPECT_FALSE(EndsWith(sentence, u"化应"));
  }
}

TEST(Report, GridRowsRunFromTheTopLine) {
  rg_GuaReport report;
  BuildCast(report, NumberRequest(u"58", MakeDate(2024, 6, 1, 10)));  // 风地观, line 1 moving
  const auto& g = report.Cells();
  EXPECT_EQ(g[0][2], u"辛卯");  // line 6
  EXPECT_EQ(g[5][2], u"乙未");  // line 1
  EXPECT_EQ(g[5][6], u"×");     // moving yin at the bottom
  EXPECT_EQ(g[5][rg_GuaReport::kPrimaryLineColumn], u"0");
  EXPECT_EQ(g[5][rg_GuaReport::kChangedLineColumn], u"1");
  EXPECT_EQ(g[2][5], u"世");  // world at line 4
  EXPECT_EQ(g[5][5], u"应");
  EXPECT_EQ(g[3][11], u"世");  // 风雷益: world at line 3
  EXPECT_EQ(g[0][11], u"应");
  for (int row = 0; row < 5; ++row) EXPECT_EQ(g[row][6], u"");
  EXPECT_EQ(rg_GuaReport::ColumnHeadings().size(), 12u);
  EXPECT_EQ(rg_GuaReport::ColumnHeadings()[6], u"动爻");
}

TEST(Report, HandCastMarksAndMovingSentences) {
  rg_GuaReport report;
  BuildCast(report, HandRequest(u"010", u"101", {1, 0, 0, 0, 0, -1}, MakeDate(2024, 6, 1, 10)));
  const auto& g = report.Cells();
  EXPECT_EQ(g[5][6], u"○");
  EXPECT_EQ(g[0][6], u"×");
  EXPECT_EQ(report.Analysis().moving, (std::vector<int>{1, 0, 0, 0, 0, -1}));
  int moving = 0;
  for (const auto& s : LineSentences(report.Reading())) moving += Contains(s, u"发动而变>");
  EXPECT_EQ(moving, 2);
}

TEST(Report, ReadyFiresOnceAfterTheTextAndResetClearsOnlyTheReading) {
  rg_GuaReport report;
  int calls = 0;
  report.SetReadyHandler([&](rg_GuaAnalysis& a) {
    ++calls;
    EXPECT_FALSE(report.Reading().empty());
    EXPECT_EQ(&a, &report.Analysis());
  });
  BuildCast(report, NumberRequest(u"58", MakeDate(2024, 6, 1, 10)));
  EXPECT_EQ(calls, 1);
  report.ClearReading();
  EXPECT_TRUE(report.Reading().empty());
  EXPECT_FALSE(report.Header().empty());
  EXPECT_FALSE(report.Cells()[0][0].empty());
}

TEST(Report, EveryCastRewritesTheRecord) {
  rg_GuaReport report;
  BuildCast(report, HandRequest(u"010", u"101", {1, 0, 0, 0, 0, -1}, MakeDate(2024, 6, 1, 10)));
  BuildCast(report, NumberRequest(u"58", MakeDate(2024, 6, 1, 10)));
  const rg_GuaAnalysis& a = report.Analysis();
  EXPECT_EQ(a.spirits.size(), 6u);
  EXPECT_EQ(a.changedPhases.size(), 6u);
  EXPECT_EQ(a.moving, (std::vector<int>{-1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(a.upperCode, u"");
  EXPECT_EQ(a.method, CastMethod::Number);
}

TEST(Dispatch, StatusFirstThenCastOnlyForValidCodes) {
  FixedClock clock(MakeDate(2024, 6, 1, 10, 0, 0, 5));
  rg_GuaReport report;
  rg_CastDispatch dispatch(clock, report);
  std::vector<std::u16string> status;
  dispatch.SetStatusHandler([&](const std::u16string& s) { status.push_back(s); });
  int ready = 0;
  report.SetReadyHandler([&](rg_GuaAnalysis&) { ++ready; });

  rg_QiGuaModel empty;
  empty.empty = true;
  EXPECT_EQ(dispatch.Dispatch(1, -2, u"未输入推算数字", empty), 0);
  EXPECT_EQ(dispatch.Dispatch(2, 1, u"ignored", empty), 0);
  rg_QiGuaModel flagged = NumberRequest(u"58", 0);
  flagged.empty = true;
  dispatch.Dispatch(1, 1, u"按卦主生肖与数字测算", flagged);
  EXPECT_EQ(ready, 0);

  rg_QiGuaModel r = NumberRequest(u"58", 0);
  dispatch.Dispatch(1, 1, u"按卦主生肖与数字测算", r);
  EXPECT_EQ(ready, 1);
  EXPECT_EQ(r.castTime, clock.Now());
  EXPECT_EQ(status, (std::vector<std::u16string>{u"未输入推算数字", u"按卦主生肖与数字测算",
                                                 u"按卦主生肖与数字测算"}));
}

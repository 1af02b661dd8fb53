#include <gtest/gtest.h>

#include "derive/ResultText.h"
#include "platform/Utf.h"
#include "support/ReadingHelpers.h"

using namespace rg_com_ptl_xyh;
using namespace test_support;

TEST(ResultText, TemplateDecodesToItsLines) {
  const std::u16string t = ResultTemplate();
  const auto lines = SplitLines(t);
  ASSERT_EQ(lines.size(), 19u);  // 18 lines and the empty rest after the last CR LF
  EXPECT_EQ(lines[0], u"推演五注红球号:");
  EXPECT_EQ(lines[1], u"");
  EXPECT_EQ(lines[2], u"一注:{1}");
  EXPECT_EQ(lines[6], u"五注:{5}");
  EXPECT_EQ(lines[8], u"卦像分析号:");
  EXPECT_EQ(lines[10], u"红球:");
  EXPECT_EQ(lines[11], u"{6}");
  EXPECT_EQ(lines[13], u"蓝球:");
  EXPECT_EQ(lines[16], u"推演结果红球参考号:");
  EXPECT_EQ(lines[17], u"{8}");
  EXPECT_EQ(lines[18], u"");
}

TEST(ResultText, FillsEveryPlaceholderAndKeepsEmptyTicketLines) {
  DerivedNumbers d;
  d[0] = u"3,5,12,15,25,28";
  d[1] = u"1,2,3,4,5,6";
  d[5] = u"1,2,3";
  d[6] = u"4,16";
  d[7] = u"7";
  const std::u16string text = FillResultText(d);
  EXPECT_EQ(text,
            u"推演五注红球号:\r\n\r\n一注:3,5,12,15,25,28\r\n二注:1,2,3,4,5,6\r\n三注:\r\n四注:\r\n"
            u"五注:\r\n\r\n卦像分析号:\r\n\r\n红球:\r\n1,2,3\r\n\r\n蓝球:\r\n4,16\r\n\r\n"
            u"推演结果红球参考号:\r\n7\r\n");
}

TEST(ResultText, TheSameCastGivesTheSameText) {
  rg_GuaReport a;
  rg_GuaReport b;
  for (rg_GuaReport* r : {&a, &b}) {
    r->SetReadyHandler([](rg_GuaAnalysis& x) { BuildNumberProfile(x); });
    BuildCast(*r, NumberRequest(u"2024060112", MakeDate(2024, 6, 1, 12)));
  }
  EXPECT_EQ(ResultTextFor(a.Analysis()), ResultTextFor(b.Analysis()));
  EXPECT_NE(ResultTextFor(a.Analysis()).find(u"一注:"), std::u16string::npos);
}

TEST(ResultText, ProfileReadsTheRecord) {
  rg_GuaReport r;
  r.SetReadyHandler([](rg_GuaAnalysis& x) { BuildNumberProfile(x); });
  // 风地观 moving at line 1 on 丙申 at 10:00 for 子.
  BuildCast(r, NumberRequest(u"58", MakeDate(2024, 6, 1, 10)));
  const rg_GuaNumProfile& p = r.Analysis().profile;
  EXPECT_EQ(p.zodiacDigit, 1);       // 子
  EXPECT_EQ(p.dayStemDigit, 2);      // 丙
  EXPECT_EQ(p.dayBranchDigit, 4);    // 申
  EXPECT_EQ(p.hourStemDigit, 6);     // 癸
  EXPECT_EQ(p.hourBranchDigit, 7);   // 巳
  EXPECT_EQ(p.primaryDigits[0], 8);  // 乙
  EXPECT_EQ(p.primaryDigits[1], 0);  // 未
  EXPECT_EQ(p.changedDigits[0], 4);  // 庚
  EXPECT_EQ(p.changedDigits[1], 1);  // 子
  EXPECT_EQ(p.zodiacRelations, (std::array<int32_t, 4>{2, 1, -5, -4}));
  EXPECT_EQ(p.worldIndex, 3);
  EXPECT_EQ(p.changedResponseIndex, 5);
  EXPECT_EQ(p.worldDigits, (std::array<int32_t, 2>{9, 0}));            // line 4: 辛未
  EXPECT_EQ(p.responseChangedDigits, (std::array<int32_t, 2>{4, 1}));  // line 1 of 风雷益: 庚子
  EXPECT_EQ(p.changedWorldDigits, (std::array<int32_t, 2>{4, 5}));     // line 3: 庚辰
  EXPECT_EQ(p.changedResponseDigits, (std::array<int32_t, 2>{9, 8}));  // line 6: 辛卯
  EXPECT_EQ(p.moving, (std::array<int32_t, 6>{-1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(p.spirits[0], u"朱雀");
  EXPECT_EQ(p.relatives[3], u"父母");
}

// Whole-space checks: every hexagram, every moving line, every hand cast.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "engine/Symbols.h"
#include "platform/Utf.h"
#include "support/ReadingHelpers.h"

using namespace rg_com_ptl_xyh;
using namespace test_support;

namespace {

// The trigram a hexagram name pictures: 天 乾, 泽 兑, 火 离, 雷 震, 风 巽,
// 水 坎, 山 艮, 地 坤.
int TrigramOfImage(char16_t c) {
  static const std::u16string_view kImages = u"天泽火雷风水山地";
  const size_t pos = kImages.find(c);
  return pos == std::u16string_view::npos ? 0 : static_cast<int>(pos) + 1;
}

std::u16string Flip(std::u16string lines, int index) {
  lines[static_cast<size_t>(index)] = lines[static_cast<size_t>(index)] == u'1' ? u'0' : u'1';
  return lines;
}

std::u16string LineString(const rg_GuaReport& report, int column) {
  std::u16string out;
  for (int row = 5; row >= 0; --row)
    out += report.Cells()[static_cast<size_t>(row)][static_cast<size_t>(column)];
  return out;
}

// Checks sentence order, moving markers and endings against the record.
void CheckSentences(const rg_GuaReport& report) {
  const rg_GuaAnalysis& a = report.Analysis();
  const auto s = LineSentences(report.Reading());
  ASSERT_EQ(s.size(), 6u);
  std::vector<int> order{a.worldIndex, a.responseIndex};
  for (int i = 0; i < 6; ++i) {
    if (i != a.worldIndex && i != a.responseIndex) order.push_back(i);
  }
  static const std::u16string kLabels[] = {u"初爻:", u"二爻:", u"三爻:",
                                           u"四爻:", u"五爻:", u"六爻:"};
  for (size_t n = 0; n < 6; ++n) {
    const int i = order[n];
    const std::u16string& sentence = s[n];
    if (n == 0) {
      EXPECT_TRUE(Contains(sentence, u"持世,"));
    } else if (n == 1) {
      EXPECT_TRUE(Contains(sentence, u"应爻,"));
    } else {
      EXPECT_TRUE(sentence.starts_with(kLabels[i])) << ToUtf8(sentence);
      const bool world = i == a.changedWorldIndex;
      const bool response = !world && i == a.changedResponseIndex;
      EXPECT_EQ(EndsWith(sentence, u"化世"), world) << ToUtf8(sentence);
      EXPECT_EQ(EndsWith(sentence, u"化应"), response) << ToUtf8(sentence);
    }
    if (n < 2) {
      EXPECT_FALSE(EndsWith(sentence, u"化世"));
      EXPECT_FALSE(EndsWith(sentence, u"化应"));
    }
    EXPECT_EQ(Contains(sentence, u"发动而变>"), a.moving[static_cast<size_t>(i)] != 0)
        << ToUtf8(sentence);
    EXPECT_TRUE(sentence.starts_with(kLabels[i]) == (n >= 2));
    EXPECT_TRUE(Contains(
        sentence, a.spirits[static_cast<size_t>(i)] + u"," + a.relatives[static_cast<size_t>(i)]));
  }
}

}  // namespace

TEST(Contract, AllSixtyFourHexagramsSitInTheirPalace) {
  std::set<std::pair<int, int>> seen;
  for (int palace = 1; palace <= 8; ++palace) {
    for (int rank = 1; rank <= 8; ++rank) {
      const std::u16string name = HexagramName((palace - 1) * 8 + rank);
      const bool pure = name[1] == u'为';
      const int upper = pure ? TrigramNumber(name.substr(0, 1)) : TrigramOfImage(name[0]);
      const int lower = pure ? upper : TrigramOfImage(name[1]);
      ASSERT_NE(upper, 0);
      ASSERT_NE(lower, 0);
      seen.insert({upper, lower});
      rg_GuaModel m;
      BuildFromCodes(m, TrigramCode(upper), TrigramCode(lower));
      EXPECT_EQ(m.palace, palace) << ToUtf8(name);
      EXPECT_EQ(m.rank, rank) << ToUtf8(name);
      EXPECT_EQ(m.soulKind, rank == 7 ? 1 : rank == 8 ? 2 : 0) << ToUtf8(name);
      EXPECT_EQ(FullHexagramName(m.palace, m.rank, m.soulKind), name + SoulKindText(m.soulKind));
      // Each trigram of the palace's phase gives 兄弟 on its own lines.
      EXPECT_NE(m.world, m.response);
      EXPECT_EQ(std::abs(m.world - m.response), 3);
    }
  }
  EXPECT_EQ(seen.size(), 64u);
}

TEST(Contract, EveryNumberCastMovingLineOfEveryHexagram) {
  rg_GuaReport report;
  const double when = MakeDate(2024, 6, 1, 10);
  for (int u = 1; u <= 8; ++u) {
    for (int l = 1; l <= 8; ++l) {
      for (int m = 1; m <= 6; ++m) {
        const std::u16string number{char16_t(u'0' + u), char16_t(u'0' + l), char16_t(u'0' + m)};
        BuildCast(report, NumberRequest(number, when));
        const std::u16string primary = TrigramCode(l) + TrigramCode(u);
        ASSERT_EQ(LineString(report, rg_GuaReport::kPrimaryLineColumn), primary);
        ASSERT_EQ(LineString(report, rg_GuaReport::kChangedLineColumn), Flip(primary, m - 1));
        std::vector<int> marks(6, 0);
        marks[static_cast<size_t>(m - 1)] = primary[static_cast<size_t>(m - 1)] == u'1' ? 1 : -1;
        ASSERT_EQ(report.Analysis().moving, marks);
        for (int row = 0; row < 6; ++row) {
          const std::u16string& cell = report.Cells()[static_cast<size_t>(row)][6];
          EXPECT_EQ(cell.empty(), row != 6 - m);
        }
        CheckSentences(report);
      }
    }
  }
}

TEST(Contract, AllHandCastCombinationsAgreeWithNumberCasts) {
  rg_GuaReport hand;
  rg_GuaReport number;
  const double when = MakeDate(2024, 6, 1, 10);
  int combinations = 0;
  for (int code = 0; code < 4096; ++code) {
    std::array<LineForm, 6> forms{};
    for (int i = 0; i < 6; ++i)
      forms[static_cast<size_t>(i)] = LineForm(((code >> (2 * i)) & 3) + 1);
    const HandLines lines = LinesFromForms(forms);
    ASSERT_EQ(lines.unsetLine, 0);
    BuildCast(hand, HandRequest(lines.upper, lines.lower, lines.dong, when));
    ++combinations;

    const std::u16string primary = lines.lower + lines.upper;
    std::u16string changed = primary;
    int moving = 0;
    int movingLine = 0;
    for (int i = 0; i < 6; ++i) {
      if (lines.dong[static_cast<size_t>(i)] != 0) {
        changed = Flip(changed, i);
        ++moving;
        movingLine = i + 1;
      }
    }
    ASSERT_EQ(LineString(hand, rg_GuaReport::kPrimaryLineColumn), primary);
    ASSERT_EQ(LineString(hand, rg_GuaReport::kChangedLineColumn), changed);
    ASSERT_EQ(hand.Analysis().moving, lines.dong);
    for (int i = 0; i < 6; ++i) {
      const int mark = lines.dong[static_cast<size_t>(i)];
      EXPECT_EQ(hand.Cells()[static_cast<size_t>(5 - i)][6], mark == 1    ? u"○"
                                                             : mark == -1 ? u"×"
                                                                          : u"");
    }
    CheckSentences(hand);

    if (moving == 1) {
      // The same hexagram and moving line cast by number reads the same.
      const int u = TrigramNumberOfCode(lines.upper);
      const int l = TrigramNumberOfCode(lines.lower);
      const std::u16string digits{char16_t(u'0' + u), char16_t(u'0' + l),
                                  char16_t(u'0' + movingLine)};
      BuildCast(number, NumberRequest(digits, when));
      EXPECT_EQ(LineSentences(number.Reading()), LineSentences(hand.Reading()));
      EXPECT_EQ(number.Cells(), hand.Cells());
      EXPECT_EQ(number.Analysis().worldIndex, hand.Analysis().worldIndex);
      EXPECT_EQ(number.Analysis().changedResponseIndex, hand.Analysis().changedResponseIndex);
    }
  }
  EXPECT_EQ(combinations, 4096);
}

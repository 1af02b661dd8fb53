// The 周易 text the program ships: the file itself checked line by line
// against the hexagrams, and the reader refusing a damaged copy.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "engine/Canon.h"
#include "engine/Symbols.h"
#include "platform/Folders.h"
#include "platform/Utf.h"
#include "support/ReadingHelpers.h"
#include "support/TempDir.h"

using namespace rg_com_ptl_xyh;
using test_support::LinesOfName;

namespace {

constexpr auto ReadAll = &test_support::FileBytes;

std::vector<std::u16string> Split(const std::u16string& text, char16_t sep) {
  return SplitText(text, sep);
}

// The canon's short name of one of our names.
std::u16string ShortName(const std::u16string& name) {
  if (name == u"天山遁") return u"遯";
  if (name[1] == u'为') return name.substr(0, 1);
  return name.substr(2);
}

}  // namespace

TEST(Canon, TheShippedFileAgreesWithTheSixtyFourHexagrams) {
  const std::string bytes = ReadAll(XYH_CANON_SOURCE);
  const std::vector<std::u16string> rows = Split(FromUtf8(bytes), u'\n');
  // 64 rows after the header, and the file ends in a line end.
  ASSERT_EQ(rows.size(), 66u);
  EXPECT_EQ(rows.back(), u"");
  std::map<std::u16string, std::u16string> shortOfLines;
  for (int i = 1; i <= 64; ++i)
    shortOfLines[LinesOfName(HexagramName(i))] = ShortName(HexagramName(i));
  ASSERT_EQ(shortOfLines.size(), 64u);
  std::set<std::u16string> seen;
  for (size_t r = 1; r <= 64; ++r) {
    const auto f = Split(rows[r], u'\t');
    ASSERT_EQ(f.size(), 11u) << r;
    SCOPED_TRACE(ToUtf8(f[1]));
    EXPECT_EQ(f[0], DecimalText(static_cast<long long>(r)));
    // The binary is the hexagram its name says.
    ASSERT_EQ(shortOfLines.count(f[2]), 1u);
    EXPECT_EQ(shortOfLines[f[2]], f[1]);
    seen.insert(f[2]);
    for (int line = 1; line <= 6; ++line) {
      const std::u16string& text = f[static_cast<size_t>(line) + 3];
      static constexpr std::u16string_view kPlaces = u"初二三四五上";
      const char16_t kind = f[2][static_cast<size_t>(line - 1)] == u'1' ? u'九' : u'六';
      const char16_t place = kPlaces[static_cast<size_t>(line - 1)];
      const std::u16string title =
          line == 1 || line == 6 ? std::u16string{place, kind} : std::u16string{kind, place};
      EXPECT_EQ(text.substr(0, 3), title + u"：") << line;
    }
    EXPECT_EQ(f[10].empty(), r > 2);
    // Han characters and the five marks, nothing else.
    for (size_t k = 3; k < f.size(); ++k) {
      for (const char16_t c : f[k]) {
        const bool han = c >= 0x4E00 && c <= 0x9FFF;
        EXPECT_TRUE(han || std::u16string_view(u"，。：；？").find(c) != std::u16string_view::npos)
            << r << ":" << k;
      }
    }
  }
  EXPECT_EQ(seen.size(), 64u);
  EXPECT_EQ(rows[1].substr(0, 17), u"1\t乾\t111111\t元亨，利贞。");
  // The copy beside the programs is the same text, and the reader takes it.
  EXPECT_EQ(ReadAll(ExecutableDirectory() / kCanonFileName), bytes);
  const rg_Canon& canon = ProgramCanon();
  ASSERT_TRUE(canon.Ok()) << canon.error;
  EXPECT_EQ(canon.OfLines(u"000011")->name, u"观");
  EXPECT_EQ(canon.OfLines(u"111111")->extra, u"用九：见群龙无首，吉。");
  EXPECT_EQ(canon.OfLines(u"001111")->name, u"遯");
  EXPECT_EQ(canon.OfLines(u"00111"), nullptr);
}

TEST(Canon, ADamagedCopyIsRefusedWhole) {
  const std::string good = ReadAll(XYH_CANON_SOURCE);
  ASSERT_TRUE(ParseCanon(good).Ok()) << ParseCanon(good).error;
  const auto replaced = [&good](std::string_view from, std::string_view to) {
    std::string s = good;
    const size_t at = s.find(from);
    if (at != std::string::npos) s.replace(at, from.size(), to);
    return s;
  };
  const auto lastRowDropped = [&good] {
    std::string s = good.substr(0, good.size() - 1);
    return s.substr(0, s.rfind('\n') + 1);
  };
  const std::pair<const char*, std::string> kDamaged[] = {
      {"empty", ""},
      {"another header", replaced("number\t", "no\t")},
      {"63 rows", lastRowDropped()},
      {"a wrong title", replaced("初九：潜龙勿用", "初六：潜龙勿用")},
      {"a line missing its title", replaced("初九：潜龙勿用。", "潜龙勿用。")},
      {"lines twice", replaced("\t000000\t", "\t111111\t")},
      {"not six lines", replaced("\t111111\t", "\t11111\t")},
      {"a field fewer", replaced("\t用六：利永贞。", "")},
      {"用九 on another row", replaced("。\t\n4\t", "。\t用九：吉。\n4\t")},
      {"not UTF-8", replaced("潜龙", "\xff\xfe")},
      {"numbered out of order", replaced("\n3\t", "\n4\t")},
      {"too large", good + std::string(kCanonMaxBytes, 'x')},
  };
  for (const auto& [what, text] : kDamaged) {
    EXPECT_FALSE(ParseCanon(text).Ok()) << what;
  }
  EXPECT_FALSE(ReadCanon("/nonexistent/zhouyi.tsv").Ok());
}

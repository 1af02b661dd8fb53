#include <gtest/gtest.h>

#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

TEST(Utf, RoundTripsChineseAndAstralText) {
  const std::u16string text = u"星衍推号 V1.0.0版 \U0001F600 ½";
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  EXPECT_EQ(ToUtf8(u"乾"), "\xE4\xB9\xBE");
}

TEST(Utf, MalformedInputBecomesReplacementCharacters) {
  EXPECT_EQ(FromUtf8("a\xFF"
                     "b"),
            u"a\uFFFDb");
  EXPECT_EQ(FromUtf8("\xE4\xB9"), u"\uFFFD");      // cut short
  EXPECT_EQ(FromUtf8("\xC0\xAF"), u"\uFFFD");      // overlong '/'
  EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD");  // encoded surrogate
  EXPECT_EQ(FromUtf8("\xE4\xB9x"), u"\uFFFDx");    // the 'x' is kept
  EXPECT_EQ(ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(Utf, DecimalText) {
  EXPECT_EQ(DecimalText(0), u"0");
  EXPECT_EQ(DecimalText(-12), u"-12");
  EXPECT_EQ(DecimalText(1717247707250LL), u"1717247707250");
}

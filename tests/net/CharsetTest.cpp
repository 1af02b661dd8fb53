#include <gtest/gtest.h>

#include "net/Charset.h"
#include "support/TempDir.h"

using namespace rg_com_ptl_xyh;

namespace {
std::string Data(const char* name) {
  return test_support::FileBytes(std::string(XYH_TEST_DATA) + "/" + name);
}
}  // namespace

TEST(Charset, ChinesePagesConvertToTheirSourceText) {
  EXPECT_EQ(ConvertToUtf8(Data("results_home.gb18030.html"), "GB18030"), Data("results_home.html"));
  EXPECT_EQ(ConvertToUtf8(Data("kl8.gb2312.html"), "GB2312"), Data("kl8.html"));
  EXPECT_EQ(ConvertToUtf8(std::string("\x48\x00\x69\x00\x2f\x59", 6), "UTF-16LE"),
            "Hi\xE5\xA4\xAF");
  EXPECT_EQ(ConvertToUtf8("abc", "UTF-8"), "abc");
}

TEST(Charset, InvalidOrIncompleteInputGivesNothing) {
  EXPECT_EQ(ConvertToUtf8("abc\x81", "GB18030"), "");              // cut short
  EXPECT_EQ(ConvertToUtf8("abc\xFF\xFF\xFF\xFF", "GB18030"), "");  // not GB18030
  EXPECT_EQ(ConvertToUtf8("\xD7\xFF", "GB2312"), "");              // outside GB2312
  EXPECT_EQ(ConvertToUtf8("abc", "NO-SUCH-CHARSET"), "");
  EXPECT_EQ(ConvertToUtf8("", "GB18030"), "");
}

TEST(Charset, LongInputGrowsTheOutput) {
  std::string page;
  for (int i = 0; i < 200000; ++i) page += "\xD6\xD0";  // 中
  const std::string utf8 = ConvertToUtf8(page, "GB2312");
  ASSERT_EQ(utf8.size(), 600000u);
  EXPECT_EQ(utf8.substr(0, 3), "\xE4\xB8\xAD");
  rg_BianMaZhuaiHuanFangShiLei converter("GB18030");
  EXPECT_EQ(converter.ToUtf8("\x81"), "");
  EXPECT_EQ(converter.ToUtf8("\xD6\xD0"), "\xE4\xB8\xAD");  // a failure leaves no state behind
}

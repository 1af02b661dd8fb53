#include "platform/WindowSize.h"

#include <gtest/gtest.h>

#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

TEST(WindowSize, OnlyAPlainSizeWithinTheBoundsIsRead) {
  const std::pair<std::u16string, std::optional<rg_WindowSize>> cases[] = {
      {u"1024x740", rg_WindowSize{1024, 740}},
      {u"400x300", rg_WindowSize{400, 300}},
      {u"16384x16384", rg_WindowSize{16384, 16384}},
      {u"399x740", std::nullopt},
      {u"1024x299", std::nullopt},
      {u"16385x740", std::nullopt},
      {u"99999999999999999999x740", std::nullopt},
      {u"-1024x740", std::nullopt},
      {u"+1024x740", std::nullopt},
      {u"01024x740", std::nullopt},
      {u"1024 x 740", std::nullopt},
      {u"1024X740", std::nullopt},
      {u"1024x740x2", std::nullopt},
      {u"1024x", std::nullopt},
      {u"x740", std::nullopt},
      {u"", std::nullopt},
      {u"１０２４x740", std::nullopt},
  };
  for (const auto& [text, size] : cases) {
    EXPECT_EQ(ParseWindowSize(text), size) << ToUtf8(text);
  }
  EXPECT_EQ(WindowSizeText({1280, 800}), u"1280x800");
  EXPECT_EQ(ParseWindowSize(WindowSizeText({1280, 800})), (rg_WindowSize{1280, 800}));
}

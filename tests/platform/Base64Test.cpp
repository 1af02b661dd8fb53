#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/Base64.h"

using namespace rg_com_ptl_xyh;

namespace {

// The plain textbook encoder, to check the decoder against.
std::string Encode(const std::u16string& text) {
  static const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes;
  for (char16_t c : text) bytes += {static_cast<char>(c & 0xff), static_cast<char>(c >> 8)};
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t n = std::min<size_t>(3, bytes.size() - i);
    unsigned v = 0;
    for (size_t k = 0; k < 3; ++k)
      v = v << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (size_t k = 0; k < 4; ++k) out += k <= n ? kAlphabet[v >> (18 - 6 * k) & 63] : '=';
  }
  return out;
}

}  // namespace

TEST(Base64, StoredTextsDecode) {
  EXPECT_EQ(DecodeUtf16Base64("H2ZNiKhj91M="), u"星衍推号");
  EXPECT_EQ(DecodeUtf16Base64("VgAxAC4AMAAuADAASHI="), u"V1.0.0版");
  EXPECT_EQ(DecodeUtf16Base64("aABlAGwAcAAuAGMAaABtAA=="), u"help.chm");
  EXPECT_EQ(DecodeUtf16Base64("aABlAGwAcAAuAGgAdABtAGwA"), u"help.html");
}

TEST(Base64, AnyTextSurvivesTheRoundTrip) {
  std::mt19937 random(16);
  for (int round = 0; round < 500; ++round) {
    std::u16string text(random() % 40, u'\0');
    for (auto& c : text) c = static_cast<char16_t>(random());
    EXPECT_EQ(DecodeUtf16Base64(Encode(text)), text) << Encode(text);
  }
}

TEST(Base64, WhatIsNotWholeBase64OfWholeUnitsIsEmpty) {
  for (const char* bad :
       {"", "aGk", "aGk=a", "aG=k", "a===", "====", "=aGk", "aGk*", "aGk=aGk=", " aGk=",
        "YQ==",   // one byte: half a unit
        "YWJj"})  // three bytes
  {
    EXPECT_EQ(DecodeUtf16Base64(bad), u"") << bad;
  }
}

// The "chart" object of `xyh-cli cast --json`: exactly its keys, beside the
// keys that were there before it.
#include <gtest/gtest.h>
#include <json/json.h>

#include <sys/wait.h>
#include <array>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>

namespace {

Json::Value CastJson(const std::string& args) {
  const std::string command = std::string(XYH_CLI_PATH) + " cast " + args + " --json 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  std::array<char, 4096> buf{};
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) out.append(buf.data(), n);
  EXPECT_EQ(pclose(pipe), 0) << out;
  Json::Value v;
  Json::CharReaderBuilder b;
  std::string errors;
  std::istringstream in(out);
  EXPECT_TRUE(Json::parseFromStream(b, in, &v, &errors)) << errors << out;
  return v;
}

std::set<std::string> Keys(const Json::Value& object) {
  const auto names = object.getMemberNames();
  return {names.begin(), names.end()};
}

}  // namespace

TEST(CliChart, KeysAndValuesOfANumberCast) {
  const Json::Value v = CastJson("--number 58 --zodiac 1 --now '2026-12-06 15:07:03.250'");
  EXPECT_EQ(Keys(v), (std::set<std::string>{"castTime", "numberText", "header", "primaryTitle",
                                            "changedTitle", "grid", "reading", "numbers", "result",
                                            "chart"}));
  const Json::Value& c = v["chart"];
  EXPECT_EQ(Keys(c), (std::set<std::string>{"monthPillar", "monthBreak", "void", "clash", "hidden",
                                            "nuclear", "opposite", "inverse", "moving", "stars"}));
  EXPECT_EQ(c["monthPillar"].asString(), "己亥");
  EXPECT_EQ(c["monthBreak"].asString(), "巳");
  ASSERT_EQ(c["void"].size(), 2u);
  EXPECT_EQ(c["void"][0].asString(), "子");
  EXPECT_EQ(c["void"][1].asString(), "丑");
  EXPECT_EQ(Keys(c["clash"]), (std::set<std::string>{"primary", "changed"}));
  EXPECT_EQ(c["clash"]["primary"].asString(), "");
  ASSERT_EQ(c["hidden"].size(), 2u);
  EXPECT_EQ(Keys(c["hidden"][0]),
            (std::set<std::string>{"line", "relative", "stemBranch", "phase", "flying"}));
  EXPECT_TRUE(c["hidden"][0]["line"].isInt());
  EXPECT_EQ(c["hidden"][0]["line"].asInt(), 1);
  EXPECT_EQ(c["hidden"][1]["line"].asInt(), 5);
  EXPECT_EQ(c["hidden"][1]["relative"].asString(), "兄弟");
  EXPECT_EQ(c["hidden"][1]["stemBranch"].asString(), "壬申");
  EXPECT_EQ(c["hidden"][1]["phase"].asString(), "金");
  EXPECT_EQ(c["hidden"][1]["flying"].asString(), "辛巳");
  EXPECT_EQ(c["nuclear"].asString(), "山地剥");
  EXPECT_EQ(c["opposite"].asString(), "雷天大壮");
  EXPECT_EQ(c["inverse"].asString(), "地泽临");
  ASSERT_EQ(c["moving"].size(), 1u);
  EXPECT_EQ(Keys(c["moving"][0]), (std::set<std::string>{"line", "turn", "back"}));
  EXPECT_EQ(c["moving"][0]["line"].asInt(), 1);
  EXPECT_EQ(Keys(c["stars"]), (std::set<std::string>{"驿马", "桃花", "贵人", "禄神", "文昌"}));
  EXPECT_EQ(c["stars"]["贵人"][0].asString(), "丑");
  EXPECT_EQ(c["stars"]["贵人"][1].asString(), "未");
  EXPECT_EQ(c["stars"]["驿马"].asString(), "申");
}

TEST(CliChart, HandCastWithTurnsAndAStillCast) {
  // 地泽临, line 3 moving: 丁丑 into 甲辰, 进神; 地天泰 is a 六合 hexagram.
  Json::Value v =
      CastJson("--up 000 --down 110 --dong 0,0,-1,0,0,0 --zodiac 1 --at '2024-06-01 10:00:00'");
  EXPECT_EQ(v["chart"]["moving"][0]["turn"].asString(), "进神");
  EXPECT_EQ(v["chart"]["moving"][0]["line"].asInt(), 3);
  EXPECT_EQ(v["chart"]["clash"]["changed"].asString(), "六合");
  // 芒种 2024 falls on 5 June at 12:10 Beijing time.
  EXPECT_EQ(v["chart"]["monthPillar"].asString(), "己巳");
  v = CastJson("--lines 111111 --zodiac 1 --at '2024-06-05 12:30:00'");
  EXPECT_EQ(v["chart"]["monthPillar"].asString(), "庚午");
  EXPECT_EQ(v["chart"]["moving"].size(), 0u);
  EXPECT_EQ(v["chart"]["clash"]["primary"].asString(), "六冲");
  EXPECT_EQ(v["chart"]["clash"]["changed"].asString(), "六冲");
}

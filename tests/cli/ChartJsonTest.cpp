// The "chart" object of `xyh-cli cast --json`: exactly its keys, beside the
// keys that were there before it.
#include <gtest/gtest.h>
#include <json/json.h>

#include <set>
#include <string>

#include "support/Child.h"

namespace {

Json::Value CastJson(const std::string& args) {
  const test_support::CliRun run = test_support::Cli("cast " + args + " --json");
  EXPECT_EQ(run.code, 0) << run.out;
  return test_support::ParseJsonText(run.out);
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
                                            "nuclear", "opposite", "inverse", "moving", "stars",
                                            "lines", "changedByPrimary", "fanyin", "fuyin", "body",
                                            "useGod", "texts"}));
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

TEST(CliChart, JudgementKeysOfANumberCast) {
  const Json::Value c = CastJson("--number 58 --zodiac 1 --now '2026-12-06 15:07:03.250'")["chart"];
  ASSERT_EQ(c["lines"].size(), 6u);
  const Json::Value& first = c["lines"][0];
  EXPECT_EQ(Keys(first), (std::set<std::string>{"line", "branch", "phase", "relative", "strength",
                                                "month", "day", "stage", "void", "moving", "dark",
                                                "dayBreak", "change"}));
  EXPECT_EQ(first["line"].asInt(), 1);
  EXPECT_EQ(first["branch"].asString(), "未");
  EXPECT_EQ(first["strength"].asString(), "囚");
  EXPECT_TRUE(first["month"].isArray());
  EXPECT_EQ(first["day"][0].asString(), "日克");
  EXPECT_EQ(first["stage"].asString(), "病");
  EXPECT_TRUE(first["moving"].asBool());
  EXPECT_EQ(Keys(first["change"]), (std::set<std::string>{"branch", "phase", "relative",
                                                          "relativeByPrimary", "relations"}));
  EXPECT_EQ(first["change"]["relative"].asString(), "父母");
  EXPECT_EQ(first["change"]["relativeByPrimary"].asString(), "子孙");
  EXPECT_EQ(first["change"]["relations"][0].asString(), "化空");
  EXPECT_TRUE(c["lines"][1]["change"].isNull());
  EXPECT_EQ(c["lines"][1]["month"][1].asString(), "月破");
  ASSERT_EQ(c["changedByPrimary"].size(), 6u);
  EXPECT_EQ(c["changedByPrimary"][0].asString(), "子孙");
  EXPECT_EQ(Keys(c["fanyin"]), (std::set<std::string>{"inner", "outer"}));
  EXPECT_FALSE(c["fuyin"]["outer"].asBool());
  EXPECT_EQ(c["body"]["branch"].asString(), "酉");
  EXPECT_EQ(c["body"]["lines"].size(), 0u);
  const Json::Value& u = c["useGod"];
  EXPECT_EQ(Keys(u), (std::set<std::string>{"topic", "relative", "lines", "hidden", "absent",
                                            "origin", "taboo", "enemy"}));
  EXPECT_EQ(u["topic"].asString(), "求财");
  EXPECT_EQ(u["relative"].asString(), "妻财");
  EXPECT_EQ(u["lines"][1].asInt(), 6);
  EXPECT_TRUE(u["absent"].isNull());
  EXPECT_EQ(u["enemy"]["relative"].asString(), "父母");
  const Json::Value& t = c["texts"];
  EXPECT_EQ(Keys(t), (std::set<std::string>{"primary", "changed", "read", "rule"}));
  EXPECT_EQ(t["rule"].asString(), "朱熹《易学启蒙·考变占》");
  EXPECT_EQ(Keys(t["primary"]), (std::set<std::string>{"name", "judgment", "lines", "extra"}));
  EXPECT_EQ(t["primary"]["name"].asString(), "观");
  EXPECT_EQ(t["primary"]["lines"][0].asString(), "初六：童观，小人无咎，君子吝。");
  EXPECT_EQ(t["changed"]["name"].asString(), "益");
  ASSERT_EQ(t["read"].size(), 1u);
  EXPECT_EQ(t["read"][0]["hexagram"].asString(), "primary");
  EXPECT_EQ(t["read"][0]["part"].asString(), "line");
  EXPECT_EQ(t["read"][0]["line"].asInt(), 1);
  EXPECT_FALSE(t["read"][0]["main"].asBool());
}

TEST(CliChart, TopicsAndTheirRefusals) {
  // 水火既济 on 2026-04-22: no 官鬼 missing, no 妻财 on a line.
  const std::string cast = "--lines OX1X1X --zodiac 1 --at '2026-04-22 06:30:00'";
  Json::Value u = CastJson(cast)["chart"]["useGod"];
  EXPECT_EQ(u["absent"].asString(), "伏神");
  EXPECT_EQ(u["hidden"][0].asInt(), 3);
  u = CastJson(cast + " --topic 功名")["chart"]["useGod"];
  EXPECT_EQ(u["topic"].asString(), "功名");
  EXPECT_EQ(u["relative"].asString(), "官鬼");
  EXPECT_EQ(u["lines"].size(), 2u);
  EXPECT_EQ(CastJson(cast + " --topic 文书")["chart"]["useGod"]["relative"].asString(), "父母");
  // Six moving lines of 乾 read its 用九; a still cast has no changed text.
  const Json::Value all =
      CastJson("--lines OOOOOO --zodiac 1 --at '2024-06-01 10:00:00'")["chart"]["texts"];
  EXPECT_EQ(all["read"][0]["part"].asString(), "extra");
  EXPECT_TRUE(all["read"][0]["line"].isNull());
  EXPECT_EQ(all["primary"]["extra"].asString(), "用九：见群龙无首，吉。");
  EXPECT_TRUE(
      CastJson("--lines 111111 --zodiac 1 --at '2024-06-01 10:00:00'")["chart"]["texts"]["changed"]
          .isNull());

  using test_support::Cli;
  using test_support::CliStderr;
  const auto topic =
      Cli("cast --number 58 --zodiac 1 --topic 求婚 --json", CliStderr::kFolded, "printf '\\n' |");
  EXPECT_EQ(topic.code, 2);
  EXPECT_NE(topic.out.find("--topic takes 求财, 功名, 文书, 子孙 or 兄弟"), std::string::npos)
      << topic.out;
  const auto batch = Cli("cast --batch", CliStderr::kFolded,
                         "printf '%s\\n' '--number 58 --zodiac 1 --topic 功名' |");
  EXPECT_EQ(batch.code, 1);
  EXPECT_NE(batch.out.find("--topic is not allowed in batch mode; each chart marks the default "
                           "topic, 求财"),
            std::string::npos)
      << batch.out;
  // Beside --batch it is refused in the same words, not sent to the lines.
  const auto beside = Cli("cast --batch --topic 功名", CliStderr::kFolded,
                          "printf '%s\\n' '--number 58 --zodiac 1' |");
  EXPECT_EQ(beside.code, 2);
  EXPECT_NE(beside.out.find("--topic is not allowed in batch mode"), std::string::npos)
      << beside.out;
  EXPECT_EQ(beside.out.find("belongs on those lines"), std::string::npos) << beside.out;
}

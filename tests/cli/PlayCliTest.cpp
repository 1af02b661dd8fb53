// xyh-cli play and the plays in check and in history files, run as a user
// would.
#include <gtest/gtest.h>
#include <json/json.h>

#include <fstream>

#include "support/Child.h"
#include "support/StoreFile.h"
#include "support/TempDir.h"

namespace {

using test_support::Cli;
using test_support::CliRun;
constexpr auto kQuiet = test_support::CliStderr::kDropped;
constexpr auto kApart = test_support::CliStderr::kApart;

constexpr auto Parse = &test_support::ParseJsonText;

// A cast saved on Saturday 2026-12-05 and, optionally, Sunday's draw.
struct CliHome : test_support::CliHome {
  void SaveCast(const char* name = "甲") const {
    ASSERT_EQ(Cli("cast --number 58 --zodiac 1 --now '2026-12-05 10:00:00' --save " +
                  std::string(name) + h)
                  .code,
              0);
  }
  void StoreDraw() const {
    ImportDraws(
        "2026140,2026-12-03,04 05 06 07 08 10,01\n2026141,2026-12-06,01 02 03 09 27 31,08\n");
  }
};

std::vector<int> Ints(const Json::Value& list) {
  std::vector<int> out;
  for (const Json::Value& v : list) out.push_back(v.asInt());
  return out;
}

}  // namespace

TEST(CliPlay, AddListDeleteAndGoneWithTheirCast) {
  CliHome home;
  home.SaveCast();
  home.SaveCast("乙");
  CliRun r = Cli("play add 1 --red '7 6 5 4 3 2 1' --blue 8" + home.h);
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "added play 1: 复式, 7注, 14元\n");
  r = Cli("play add 1 --dan '3 9' --red '1 2 4 5 6 7' --blue '8,9' --multiple 3" + home.h);
  EXPECT_EQ(r.out, "added play 2: 胆拖, 30注, 180元\n");
  EXPECT_EQ(Cli("play add 2 --red '1 2 3 4 5 6' --blue 1" + home.h).out,
            "added play 3: 单式, 1注, 2元\n");
  const Json::Value list = Parse(Cli("play list 1 --json" + home.h, kQuiet).out);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(Ints(list[0]["red"]), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(list[1]["kind"].asString(), "胆拖");
  EXPECT_EQ(Ints(list[1]["dan"]), (std::vector<int>{3, 9}));
  EXPECT_EQ(list[1]["multiple"].asInt(), 3);
  EXPECT_EQ(list[1]["bets"].asInt(), 30);
  EXPECT_EQ(list[1]["cost"].asInt(), 180);
  EXPECT_EQ(Cli("play delete 1" + home.h).code, 0);
  EXPECT_EQ(Parse(Cli("play list --json" + home.h, kQuiet).out).size(), 2u);
  // Deleting the cast takes its plays along, and only its own.
  ASSERT_EQ(Cli("history delete 1" + home.h).code, 0);
  const Json::Value left = Parse(Cli("play list --json" + home.h, kQuiet).out);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0]["castId"].asInt(), 2);
}

TEST(CliPlay, EveryRefusalNamesItsRuleAndWritesNothing) {
  CliHome home;
  home.SaveCast();
  const std::string before = test_support::FileBytes(home.Db());
  const struct {
    const char* args;
    const char* says;
  } cases[] = {
      {"play add 1 --red '1 2 3 4 5' --blue 8", "红球应选 6 至 20 个,实选 5 个"},
      {"play add 1 --red '1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21' --blue 8",
       "红球应选 6 至 20 个,实选 21 个"},
      {"play add 1 --red '1 2 3 4 5 5' --blue 8", "5 is given twice"},
      {"play add 1 --red '1 2 3 4 5 34' --blue 8", "34 is outside 1 to 33"},
      {"play add 1 --red '1 2 3 4 5 6' --blue 17", "17 is outside 1 to 16"},
      {"play add 1 --dan '1 2' --red '2 3 4 5 6' --blue 8", "号码 2 既是胆码又是拖码"},
      {"play add 1 --dan '1 2' --red '3 4 5 6' --blue 8", "胆码与拖码合计应至少 7 个,实有 6 个"},
      {"play add 1 --dan '1 2 3 4 5 6' --red '7 8' --blue 8", "胆码应选 1 至 5 个,实选 6 个"},
      {"play add 1 --red '1 2 3 4 5 6' --blue 8 --multiple 100", "倍数应为 1 至 99"},
      {"play add 1 --red '1 2 3 4 5 6' --blue 8 --multiple 0", "倍数应为 1 至 99,不能是 0"},
      {"play add 1 --red '1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20' --blue '1 2 3 4 5 6 "
       "7 8 9 10 11 12 13 14 15 16' --multiple 2",
       "共 620160 注 × 2 倍,超过 1000000 注的上限"},
      {"play add 2 --red '1 2 3 4 5 6' --blue 8", "no saved cast has the id 2"},
      {"play add 1 --red '1 2 3 4 5 6'", "needs --blue"},
      {"play list --red 1", "belong to play add"},
      {"play", "play takes add ID"},
  };
  for (const auto& c : cases) {
    const CliRun r = Cli(std::string(c.args) + home.h);
    EXPECT_EQ(r.code, 2) << c.args << ": " << r.out;
    EXPECT_NE(r.out.find(c.says), std::string::npos) << c.args << ": " << r.out;
  }
  EXPECT_EQ(test_support::FileBytes(home.Db()), before);
}

TEST(CliPlay, CheckScoresPlaysAgainstTheCastsDrawBesideItsTickets) {
  CliHome home;
  home.SaveCast();
  ASSERT_EQ(Cli("play add 1 --red '1 2 3 4 5 6 7' --blue 8" + home.h).code, 0);
  ASSERT_EQ(
      Cli("play add 1 --dan '3 9' --red '1 2 4 5 6 7' --blue '8 9' --multiple 3" + home.h).code, 0);
  // Pending, then missing (Sunday's draw without Thursday's before it): the
  // plays are there, not scored.
  std::ofstream(home.File("hole.csv"))
      << "issue,date,red,blue\n2026141,2026-12-06,01 02 03 09 27 31,08\n";
  for (const char* status : {"pending", "missing"}) {
    const Json::Value v = Parse(Cli("check --json" + home.h, kQuiet).out)[0];
    EXPECT_EQ(v["status"].asString(), status);
    // A missing cast is 未对奖, as the cast itself is, not 待开奖.
    const std::string said = status == std::string("pending") ? "  待开奖\n" : "  未对奖\n";
    const std::string text = Cli("check" + home.h).out;
    EXPECT_NE(text.find("1倍 7注 14元" + said), std::string::npos) << text;
    EXPECT_NE(text.find("3倍 30注 180元" + said), std::string::npos) << text;
    ASSERT_EQ(v["plays"].size(), 2u);
    for (const Json::Value& p : v["plays"]) {
      EXPECT_TRUE(p["hits"]["red"].empty());
      EXPECT_FALSE(p["hits"]["blue"].asBool());
      EXPECT_EQ(p["winning"]["6"].asInt(), 0);
      EXPECT_EQ(p["fixedPrize"].asInt(), 0);
    }
    EXPECT_EQ(v["playsFixedPrize"].asInt(), 0);
    ASSERT_EQ(Cli("draws import " + home.Q("hole.csv") + home.h).code, 0);
  }
  home.StoreDraw();  // 01 02 03 09 27 31 + 08
  const Json::Value v = Parse(Cli("check 1 --json" + home.h, kQuiet).out)[0];
  const Json::Value& plays = v["plays"];
  ASSERT_EQ(plays.size(), 2u);
  EXPECT_EQ(plays[0]["id"].asInt(), 1);
  EXPECT_EQ(plays[0]["kind"].asString(), "复式");
  EXPECT_TRUE(plays[0]["dan"].empty());
  EXPECT_TRUE(plays[0]["hits"]["dan"].empty());
  EXPECT_EQ(Ints(plays[0]["hits"]["red"]), (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(plays[0]["hits"]["blue"].asBool());
  EXPECT_EQ(plays[0]["winning"]["5"].asInt(), 4);  // C(3,3)·C(4,3) bets of 3+1
  EXPECT_EQ(plays[0]["winning"]["6"].asInt(), 3);  // C(3,2)·C(4,4) of 2+1
  EXPECT_EQ(plays[0]["fixedPrize"].asInt(), 55);
  EXPECT_EQ(Ints(plays[1]["hits"]["dan"]), (std::vector<int>{3, 9}));
  EXPECT_EQ(Ints(plays[1]["hits"]["red"]), (std::vector<int>{1, 2}));
  EXPECT_EQ(plays[1]["winning"]["4"].asInt(), 6);
  EXPECT_EQ(plays[1]["fixedPrize"].asInt(), (6 * 200 + 14 * 10 + 1 * 5) * 3);
  EXPECT_EQ(v["playsBestTier"].asInt(), 4);
  EXPECT_EQ(v["playsFixedPrize"].asInt(), 55 + 4035);
  // The tickets' own keys keep their meaning.
  int best = 0, prize = 0;
  for (const Json::Value& t : v["tickets"]) {
    prize += t["fixedPrize"].asInt();
    if (t["tier"].asInt() > 0 && (best == 0 || t["tier"].asInt() < best)) best = t["tier"].asInt();
  }
  EXPECT_EQ(v["bestTier"].asInt(), best);
  EXPECT_EQ(v["fixedPrize"].asInt(), prize);
  EXPECT_NE(Cli("check 1" + home.h).out.find("投注#2 胆拖: 胆 [03] [09] 拖 [01] [02] 04"),
            std::string::npos);
}

TEST(CliPlay, CheckTakesAnyBoughtPlay) {
  CliHome home;
  home.StoreDraw();
  const struct {
    const char* args;
    std::size_t tickets;
    const char* kind;
    int bets;
  } cases[] = {
      {"--red '1 2 3 4 5 6' --blue '8 9'", 1, "复式", 2},
      {"--red '1 2 3 4 5 6' --blue 8 --multiple 2", 1, "单式", 1},
      {"--red '1 2 3 4 5 6 7' --blue 8", 0, "复式", 7},
      {"--dan '3 9' --red '1 2 4 5 6 7' --blue '8 9'", 0, "胆拖", 30},
  };
  for (const auto& c : cases) {
    const Json::Value v =
        Parse(Cli(std::string("check ") + c.args + " --json" + home.h, kQuiet).out);
    EXPECT_EQ(v["tickets"].size(), c.tickets) << c.args;
    ASSERT_EQ(v["plays"].size(), 1u) << c.args;
    EXPECT_TRUE(v["plays"][0]["id"].isNull());
    EXPECT_EQ(v["plays"][0]["kind"].asString(), c.kind);
    EXPECT_EQ(v["plays"][0]["bets"].asInt(), c.bets);
  }
  // The text shows only what the ticket has: a play alone has no 蓝球 line,
  // no derived reds and no tickets' total.
  const struct {
    const char* args;
    bool single;
  } shown[] = {
      {"--red '1 2 3 4 5 6 7' --blue 8 --issue 2026141", false},
      {"--dan '3 9' --red '1 2 4 5 6 7' --blue '8 9'", false},
      {"--red '1 2 3 4 5 6' --blue 8", true},
  };
  for (const auto& c : shown) {
    const std::string text = Cli(std::string("check ") + c.args + home.h).out;
    EXPECT_EQ(text.rfind("开奖: 第2026141期 2026-12-06  01 02 03 09 27 31 + 08\n", 0), 0u) << text;
    EXPECT_NE(text.find("\n投注 "), std::string::npos) << text;
    EXPECT_NE(text.find("\n投注合计: 最高"), std::string::npos) << text;
    for (const char* line : {"\n蓝球:", "\n合计:", "一注:"})
      EXPECT_EQ(text.find(line) != std::string::npos, c.single) << c.args << ": " << text;
    EXPECT_EQ(text.find("(无"), std::string::npos) << text;
  }

  // A ticket always has a blue: six reds without one are refused as seven are.
  for (const char* bad : {"--red '1 2 3 4 5 6'", "--red '1 2 3 4 5 6' --issue 2026141",
                          "--red '1 2 3 4 5 6 7'", "--red '1 2 3 4 5 6' --multiple 2"}) {
    const CliRun r = Cli(std::string("check ") + bad + home.h);
    EXPECT_EQ(r.code, 2) << bad;
    EXPECT_NE(r.out.find("蓝球应选 1 至 16 个,实选 0 个"), std::string::npos)
        << bad << ": " << r.out;
  }
  for (const char* bad : {"--dan '1 2' --red '3 4 5 6' --blue 1", "--dan 1 --blue 2"}) {
    const CliRun r = Cli(std::string("check ") + bad + home.h);
    EXPECT_EQ(r.code, 2) << bad;
  }
}

TEST(CliPlay, HistoryFilesCarryThemInJsonAndCsvSaysItCannot) {
  CliHome home;
  home.SaveCast();
  ASSERT_EQ(
      Cli("play add 1 --dan '3 9' --red '1 2 4 5 6 7' --blue '8 9' --multiple 3" + home.h).code, 0);
  const CliRun csv = Cli("history export --output " + home.Q("h.csv") + home.h);
  EXPECT_EQ(csv.code, 0);
  EXPECT_NE(csv.out.find("复式/胆拖投注未导出,请用 --format json"), std::string::npos) << csv.out;
  ASSERT_EQ(Cli("history export --format json --output " + home.Q("h.json") + home.h).code, 0);
  CliHome other;
  const CliRun in = Cli("history import " + home.Q("h.json") + other.h);
  EXPECT_EQ(in.out, "imported 1, skipped 0 already saved, 1 plays added\n");
  EXPECT_EQ(Parse(Cli("play list --json" + other.h, kQuiet).out),
            Parse(Cli("play list --json" + home.h, kQuiet).out));
  // Without plays nothing is said.
  CliHome plain;
  plain.SaveCast();
  EXPECT_EQ(Cli("history export" + plain.h).out.find("复式"), std::string::npos);
}

// What names nothing is said so, with the id it names; nothing saved is
// nothing to check.
TEST(CliPlay, WhatIsNotThereIsSaid) {
  CliHome home;
  const struct {
    const char* args;
    int code;
    const char* says;
  } cases[] = {
      {"check", 0, "nothing to check: no cast is saved (xyh-cli cast --save TITLE saves one)\n"},
      {"check --json", 0, "[]\n"},
      {"play delete 99", 1, "xyh-cli: no play has the id 99\n"},
      {"play list 99", 1, "xyh-cli: no saved cast has the id 99\n"},
      {"play delete abc", 2, "a play's id is a positive whole number; not \"abc\""},
      {"play delete 0", 2, "no play can have the id 0"},
      {"play list abc", 2, "a saved cast's id is a positive whole number; not \"abc\""},
  };
  for (const auto& c : cases) {
    const CliRun r = Cli(std::string(c.args) + home.h);
    EXPECT_EQ(r.code, c.code) << c.args << ": " << r.out;
    if (c.code == 2) {
      EXPECT_NE(r.out.find(c.says), std::string::npos) << c.args << ": " << r.out;
    } else {
      EXPECT_EQ(r.out, c.says) << c.args;
    }
  }
  home.SaveCast();
  ASSERT_EQ(Cli("play add 1 --red '1 2 3 4 5 6' --blue 8" + home.h).code, 0);
  EXPECT_EQ(Cli("play delete 1" + home.h).out, "deleted play 1\n");
  const CliRun again = Cli("play delete 1" + home.h);
  EXPECT_EQ(again.code, 1);
  EXPECT_EQ(again.out, "xyh-cli: no play has the id 1\n");
  EXPECT_EQ(Cli("play list 1" + home.h).code, 0);  // a cast without plays
}

TEST(CliPlay, NoPlayIsAddedToADamagedCast) {
  CliHome home;
  home.SaveCast();
  test_support::ExecSql(home.Db(), "UPDATE xyh_table SET ysindex=9 WHERE _id=1;");
  const std::string before = test_support::FileBytes(home.Db());
  const CliRun r = Cli("play add 1 --red '1 2 3 4 5 6' --blue 8" + home.h, kApart);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err,
            "xyh-cli: the play was not saved: 编号为 1 的演算已损坏,无法投注 (ysindex "
            "应是 1(数字起卦)、2(自己装卦)或 3(超时空起卦))\n");
  EXPECT_EQ(test_support::FileBytes(home.Db()), before);
}

// A row edited into no play, each kind of damage, against every reader:
// listed and marked, never scored or priced, said on standard error with
// exit code 1, and no export.
TEST(CliPlay, ADamagedPlayIsSaidByEveryReader) {
  const struct {
    const char* set;
    const char* damage;
    int castId;
  } cases[] = {
      {"multiple=2.5", "multiple 应为 1 至 99 的整数,不能是 \"2.5\"", 1},
      {"multiple=-3", "multiple 应为 1 至 99 的整数,不能是 \"-3\"", 1},
      {"red='01 02 03 04 05 05 07'", "红球号码 5 重复", 1},
      {"blue='8 x'", "blue 含有 \"x\",不是号码", 1},
      {"castid=7", "castid 没有编号为 \"7\" 的演算", 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.set);
    CliHome home;
    home.SaveCast();
    home.StoreDraw();
    ASSERT_EQ(Cli("play add 1 --red '1 2 3 4 5 6 7' --blue 8" + home.h).code, 0);
    ASSERT_EQ(Cli("play add 1 --red '1 2 3 4 5 6 7' --blue 8 --multiple 2" + home.h).code, 0);
    test_support::ExecSql(home.Db(),
                          std::string("UPDATE xyh_plays SET ") + c.set + " WHERE _id=2;");
    const std::string said = "该投注记录已损坏,无法对奖 (" + std::string(c.damage) + ")";
    const std::string stderrLine =
        "xyh-cli: play 2 of saved cast " + std::to_string(c.castId) + ": " + said + "\n";

    CliRun r = Cli("play list" + home.h, kApart);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("2\t#" + std::to_string(c.castId) + "\t" + said + "\n"), std::string::npos)
        << r.out;
    EXPECT_EQ(r.err, stderrLine);
    const Json::Value list = Parse(Cli("play list --json" + home.h, kQuiet).out);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1]["damage"].asString(), c.damage);
    EXPECT_FALSE(list[1].isMember("cost"));

    r = Cli("check" + home.h, kApart);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, stderrLine);
    EXPECT_EQ(r.out.find("投注#2 " + said) != std::string::npos, c.castId == 1) << r.out;
    const Json::Value v = Parse(Cli("check --json" + home.h, kQuiet).out)[0];
    ASSERT_EQ(v["plays"].size(), c.castId == 1 ? 2u : 1u);
    if (c.castId == 1) {
      EXPECT_EQ(v["plays"][1]["error"].asString(), "该投注记录已损坏,无法对奖");
      EXPECT_FALSE(v["plays"][1].isMember("fixedPrize"));
    }
    // Only the sound play is priced: 2.5 is never 2.
    EXPECT_EQ(v["playsFixedPrize"].asInt(), v["plays"][0]["fixedPrize"].asInt());

    for (const char* format : {"csv", "json"}) {
      r = Cli(std::string("history export --format ") + format + home.h, kApart);
      EXPECT_EQ(r.code, 1) << format;
      EXPECT_EQ(r.out, "") << format;
      EXPECT_EQ(r.err, "xyh-cli: nothing exported: 投注 2(演算编号 " + std::to_string(c.castId) +
                           ")已损坏:" + c.damage + ",无法导出\n")
          << format;
    }
  }
}

// xyh-cli ledger and draws prize as a user runs them.
#include <gtest/gtest.h>
#include <json/json.h>

#include "support/Child.h"
#include "support/LockHolder.h"
#include "support/StoreFile.h"
#include "support/TempDir.h"

namespace {

using test_support::Cli;
constexpr auto kQuiet = test_support::CliStderr::kDropped;
constexpr auto kApart = test_support::CliStderr::kApart;
constexpr auto Parse = &test_support::ParseJsonText;

// A 复式 that met 2026140 (一等 and 二等 1 bet each, 5+blue and 5 reds 6
// each) and a 单式 ×2 still pending.
struct LedgerHome : test_support::CliHome {
  LedgerHome() {
    ImportDraws(
        "2026139,2026-12-01,20 21 22 23 24 25,01\n2026140,2026-12-03,01 02 03 04 05 06,07\n");
    EXPECT_TRUE(SaveCast("58", "2026-12-02 10:00:00", "甲"));
    EXPECT_TRUE(SaveCast("58", "2026-12-07 10:00:00", "乙"));
    EXPECT_EQ(Cli("play add 1 --red '1 2 3 4 5 6 7' --blue '7 8'" + h).code, 0);
    EXPECT_EQ(Cli("play add 2 --red '1 2 3 4 5 6' --blue 1 --multiple 2" + h).code, 0);
  }
};

TEST(CliLedger, JsonKeysFiguresAndTheFloatingAmount) {
  LedgerHome home;
  const auto keys = [](const Json::Value& v) { return v.getMemberNames(); };
  Json::Value ledger = Parse(Cli("ledger --json" + home.h, kQuiet).out);
  ASSERT_EQ(ledger["periods"].size(), 1u);
  const Json::Value& month = ledger["periods"][0];
  EXPECT_EQ(keys(ledger), (std::vector<std::string>{"periods", "totals"}));
  EXPECT_EQ(keys(month), (std::vector<std::string>{"bestTier", "bets", "floatingUnknown", "net",
                                                   "period", "plays", "spent", "won"}));
  EXPECT_EQ(keys(ledger["totals"]),
            (std::vector<std::string>{"bestTier", "bets", "floatingUnknown", "missingSpent", "net",
                                      "pendingSpent", "plays", "returnRate", "spent", "won"}));
  EXPECT_EQ(month["period"].asString(), "2026-12");
  EXPECT_EQ(month["spent"].asInt(), 32);
  EXPECT_EQ(month["won"].asInt(), 19'200);  // the two floating bets not priced
  EXPECT_EQ(month["floatingUnknown"].asInt(), 2);
  EXPECT_EQ(month["bestTier"].asInt(), 1);

  EXPECT_EQ(Cli("draws prize 2026140 --first 5000000" + home.h).code, 0);
  ledger = Parse(Cli("ledger --json" + home.h, kQuiet).out);
  const Json::Value& t = ledger["totals"];
  EXPECT_EQ(t["won"].asInt(), 5'019'200);
  EXPECT_EQ(t["floatingUnknown"].asInt(), 1);
  EXPECT_EQ(t["net"].asInt(), 5'019'168);
  EXPECT_EQ(t["pendingSpent"].asInt(), 4);
  EXPECT_DOUBLE_EQ(t["returnRate"].asDouble(), 179'257.1429);  // 5 019 200 ÷ 28
  EXPECT_NE(Cli("ledger --json" + home.h, kQuiet).out.find("\"returnRate\" : 179257.1429,"),
            std::string::npos);
  // check says the same of the play: priced with the amount, the rest said.
  const Json::Value checked = Parse(Cli("check 1 --json" + home.h, kQuiet).out);
  EXPECT_EQ(checked[0]["firstPrize"].asInt(), 5'000'000);
  EXPECT_TRUE(checked[0]["secondPrize"].isNull());
  EXPECT_EQ(checked[0]["plays"][0]["prize"].asInt(), 5'019'200);
  EXPECT_EQ(checked[0]["plays"][0]["floatingUnknown"].asInt(), 1);
  EXPECT_NE(Cli("check 1" + home.h).out.find("奖金合计 5019200元 (二等奖 1注, 奖金未录入)"),
            std::string::npos);

  ledger = Parse(Cli("ledger --by draw --json" + home.h, kQuiet).out);
  ASSERT_EQ(ledger["periods"].size(), 2u);
  EXPECT_EQ(ledger["periods"][0]["period"].asString(), "2026140");
  EXPECT_EQ(ledger["periods"][1]["period"].asString(), "2026-12-08");
  EXPECT_TRUE(ledger["periods"][1]["bestTier"].isNull());
}

TEST(CliLedger, TextTableAndBudget) {
  LedgerHome home;
  ASSERT_EQ(Cli("draws prize 2026140 --first 5000000 --second 120000" + home.h).code, 0);
  EXPECT_EQ(Cli("ledger" + home.h).out,
            "期间     注单  注数  投入(元)   中奖(元)   盈亏(元)  最高奖级  浮动奖未录入\n"
            "2026-12     2    15        32  5,139,200  5,139,168  一等奖    -\n"
            "---------------------------------------------------------------------------\n"
            "合计        2    15        32  5,139,200  5,139,168  一等奖    -\n"
            "待开奖投入 4元, 未对奖投入 0元, 回报率 18354285.71%\n");
  home.Write("config.ini", "[sys]\nbudget=30\n");
  const auto over = Cli("ledger" + home.h);
  EXPECT_NE(over.out.find("一等奖    -             超预算\n"), std::string::npos) << over.out;
  const Json::Value json = Parse(Cli("ledger --json" + home.h, kQuiet).out);
  EXPECT_TRUE(json["periods"][0]["overBudget"].asBool());
  EXPECT_EQ(json["totals"]["budget"].asInt(), 30);
  // A value that is no budget is said, and marks nothing.
  home.Write("config.ini", "[sys]\nbudget=30元\n");
  const auto bad = Cli("ledger --json" + home.h, kApart);
  EXPECT_EQ(bad.code, 0);
  EXPECT_NE(bad.err.find("budget=30元 is no whole number"), std::string::npos) << bad.err;
  EXPECT_FALSE(Parse(bad.out)["periods"][0].isMember("overBudget"));
}

TEST(CliLedger, RefusalsAndFailuresPrintNoLedger) {
  LedgerHome home;
  const std::string before = test_support::FileBytes(home.Db());
  const struct {
    const char* args;
    int code;
    const char* says;
  } cases[] = {
      {"ledger --by week", 2, "--by takes draw, month or year"},
      {"ledger --from 2026-02-30", 2, "--from takes a real date"},
      {"ledger --from 2026-12-02 --to 2026-12-01", 2, "--from is after --to"},
      {"draws prize 2026138 --first 100", 2, "no draw with the issue 2026138 is stored"},
      {"draws prize 2026140 --first 0", 2, "whole number of yuan from 1 to 10000000"},
      {"draws prize 2026140 --second 10000001", 2, "whole number of yuan from 1 to 10000000"},
      {"draws prize 2026140", 2, "--first YUAN and/or --second YUAN"},
      {"draws list --first 5", 2, "--first goes with draws prize"},
  };
  for (const auto& c : cases) {
    const auto r = Cli(std::string(c.args) + home.h, kApart);
    EXPECT_EQ(r.code, c.code) << c.args;
    EXPECT_EQ(r.out, "") << c.args;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
  }
  EXPECT_EQ(test_support::FileBytes(home.Db()), before);
  {
    test_support::LockHolder lock(home.Db());
    ASSERT_TRUE(lock.Locked());
    const auto locked = Cli("ledger" + home.h, kApart);
    EXPECT_EQ(locked.code, 1);
    EXPECT_EQ(locked.out, "");
    EXPECT_NE(locked.err.find("历史记录文件正被其他程序使用"), std::string::npos) << locked.err;
  }
  // A play row that does not read back, or whose cast is gone, cannot be
  // priced or placed: no ledger without it.
  for (const char* edit : {"UPDATE xyh_plays SET multiple='2.5' WHERE _id=2;",
                           "UPDATE xyh_plays SET multiple=2, castid=99 WHERE _id=2;"}) {
    test_support::ExecSql(home.Db(), edit);
    const auto damaged = Cli("ledger --json" + home.h, kApart);
    EXPECT_EQ(damaged.code, 1) << edit;
    EXPECT_EQ(damaged.out, "") << edit;
    EXPECT_NE(damaged.err.find("play 2"), std::string::npos) << edit << ": " << damaged.err;
  }
}

TEST(CliLedger, DrawFilesCarryTheAmounts) {
  LedgerHome home;
  EXPECT_EQ(Cli("draws export" + home.h, kQuiet).out.substr(0, 20), "issue,date,red,blue\n");
  ASSERT_EQ(Cli("draws prize 2026139 --second 88000" + home.h).code, 0);
  const std::string exported = Cli("draws export" + home.h, kQuiet).out;
  EXPECT_EQ(exported,
            "issue,date,red,blue,first,second\n2026139,2026-12-01,20 21 22 23 24 25,01,,88000\n"
            "2026140,2026-12-03,01 02 03 04 05 06,07,,\n");
  const Json::Value list = Parse(Cli("draws list --json" + home.h, kQuiet).out);
  EXPECT_TRUE(list[0]["first"].isNull());
  EXPECT_EQ(list[1]["second"].asInt(), 88'000);
  // What export wrote imports into another home as it stood.
  test_support::CliHome other;
  other.Write("d.csv", exported);
  EXPECT_EQ(Cli("draws import " + other.Q("d.csv") + other.h).code, 0);
  EXPECT_EQ(Cli("draws export" + other.h, kQuiet).out, exported);
}

}  // namespace

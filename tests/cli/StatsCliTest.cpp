// xyh-cli stats, run as a user would.
#include <gtest/gtest.h>
#include <json/json.h>

#include <array>
#include <fstream>

#include "support/Child.h"
#include "support/TempDir.h"

namespace {

using test_support::Cli;
using test_support::CliRun;
constexpr auto kQuiet = test_support::CliStderr::kDropped;

constexpr auto Parse = &test_support::ParseJsonText;

// The draws of the unit test's hand-made archive, in a scrambled order.
struct Home : test_support::CliHome {
  void Import() const {
    ImportDraws(
        "2026003,2026-01-06,01 05 09 17 25 33,01\n"
        "2026005,2026-01-11,17 02 31 22 01 29,05\n"
        "2026001,2026-01-01,01 02 03 10 20 33,01\n"
        "2026004,2026-01-08,06 07 08 09 10 11,16\n"
        "2026002,2026-01-04,02 03 04 17 18 30,05\n");
  }
};

TEST(CliStats, JsonOverTheArchive) {
  Home home;
  home.Import();
  const CliRun run = Cli("stats --json" + home.h, kQuiet);
  ASSERT_EQ(run.code, 0);
  const Json::Value v = Parse(run.out);
  EXPECT_EQ(v["draws"].asInt(), 5);
  ASSERT_TRUE(v["first"].isString());
  EXPECT_EQ(v["first"].asString(), "2026001");
  EXPECT_EQ(v["last"].asString(), "2026005");
  // The figures are the unit test's; here the form: names, order, types.
  ASSERT_EQ(v["red"].size(), 33u);
  ASSERT_EQ(v["blue"].size(), 16u);
  const Json::Value& red17 = v["red"][16];
  EXPECT_EQ(red17["number"].asInt(), 17);
  EXPECT_EQ((std::array<int, 3>{red17["count"].asInt(), red17["omission"].asInt(),
                                red17["maxOmission"].asInt()}),
            (std::array<int, 3>{3, 0, 1}));
  EXPECT_EQ(v["red"][0].getMemberNames(),
            (std::vector<std::string>{"count", "maxOmission", "number", "omission"}));
  ASSERT_EQ(v["perDraw"].size(), 5u);
  const Json::Value& newest = v["perDraw"][4];
  EXPECT_EQ(newest.getMemberNames(),
            (std::vector<std::string>{"big", "consecutive", "issue", "odd", "span", "sum"}));
  EXPECT_TRUE(newest["issue"].isString());
  EXPECT_EQ(newest["issue"].asString(), "2026005");
  EXPECT_EQ(newest["sum"].asInt(), 102);

  const auto list = [](const Json::Value& a) {
    std::vector<int> out;
    for (const auto& n : a) out.push_back(n.asInt());
    return out;
  };
  EXPECT_EQ(list(v["hot"]), (std::vector<int>{1, 2, 17, 9, 10, 33}));
  EXPECT_EQ(list(v["cold"]), (std::vector<int>{32, 28, 27, 26, 24, 23}));

  const Json::Value two = Parse(Cli("stats --last 2 --json" + home.h, kQuiet).out);
  EXPECT_EQ(two["draws"].asInt(), 2);
  EXPECT_EQ(two["first"].asString(), "2026004");
  EXPECT_EQ(list(two["hot"]), (std::vector<int>{1, 2, 17, 22, 29, 31}));
  // More than there are: all of them.
  EXPECT_EQ(Parse(Cli("stats --last=900 --json" + home.h, kQuiet).out), v);

  const CliRun text = Cli("stats" + home.h);
  EXPECT_EQ(text.code, 0);
  EXPECT_NE(text.out.find("5 draws, 2026001 to 2026005"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("hot:  01 02 17 09 10 33"), std::string::npos) << text.out;
}

TEST(CliStats, NoDrawsAndBadWindows) {
  Home home;
  const CliRun empty = Cli("stats" + home.h);
  EXPECT_EQ(empty.code, 1);
  EXPECT_NE(empty.out.find("no 双色球 draw is stored"), std::string::npos) << empty.out;
  EXPECT_NE(empty.out.find("import"), std::string::npos);
  EXPECT_EQ(Cli("stats --json" + home.h).code, 1);

  home.Import();
  for (const char* bad : {"0", "-1", "abc", "12x", "1000001", "99999999999999999999", "''"}) {
    const CliRun r = Cli(std::string("stats --last ") + bad + home.h);
    EXPECT_EQ(r.code, 2) << bad << ": " << r.out;
    EXPECT_NE(r.out.find("--last takes a whole number"), std::string::npos) << r.out;
  }
  EXPECT_EQ(Cli("stats --last" + home.h).code, 2);  // --home taken as the value
  EXPECT_EQ(Cli("stats extra" + home.h).code, 2);
  EXPECT_EQ(Cli("stats --last 1000000" + home.h, kQuiet).code, 0);
}

TEST(CliStats, ListedInTheHelp) {
  const CliRun usage = Cli("--help");
  EXPECT_NE(usage.out.find("  stats "), std::string::npos);
  const CliRun help = Cli("help stats");
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.out.rfind("usage: xyh-cli stats [--last N] [--json]", 0), 0u) << help.out;
  EXPECT_EQ(Cli("stats --help").out, help.out);
}

}  // namespace

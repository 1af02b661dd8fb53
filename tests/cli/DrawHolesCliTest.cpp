// Holes in the draw archive on the command line: a cast whose draw cannot
// be vouched for is never scored, draws add fills a hole as an import of
// one line would, and gaps and stats say what is missing.
#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "support/Child.h"
#include "support/StoreFile.h"
#include "support/TempDir.h"

namespace {

using test_support::Cli;
using test_support::CliRun;
constexpr auto kQuiet = test_support::CliStderr::kDropped;

using Home = test_support::CliHome;

std::string Add(const char* issue, const char* date, const char* red, const char* blue) {
  return std::string("draws add --issue '") + issue + "' --date '" + date + "' --red '" + red +
         "' --blue '" + blue + "'";
}

TEST(CliDrawsAdd, RefusalsWriteNothing) {
  Home home;
  home.ImportDraws("2026050,2026-05-03,01 02 03 04 05 06,07\n");
  const std::string stored = "2026050\t2026-05-03\t01 02 03 04 05 06 + 07\n";
  struct Refusal {
    std::string args;
    int code;
    const char* says;
  };
  const Refusal refusals[] = {
      {Add("2026O51", "2026-05-05", "1 2 3 4 5 6", "7"), 2,
       "the issue \"2026O51\" is not a number"},
      {Add("2026051", "2026-02-30", "1 2 3 4 5 6", "7"), 2, "is not a real date"},
      {Add("2026051", "2026-05-05", "1 2 3 4 5", "7"), 2, "red must hold 6"},
      {Add("2026051", "2026-05-05", "1 2 3 4 5 34", "7"), 2, "red number 34 is outside 1 to 33"},
      {Add("2026051", "2026-05-05", "1 2 3 4 5 5", "7"), 2, "red number 5 appears twice"},
      {Add("2026051", "2026-05-05", "1 2 3 4 5 6", "17"), 2, "blue number 17 is outside"},
      {Add("2026051", "2026-05-05", "1,2,3,4,5,6", "7"), 2, "holds a comma"},
      // The import's conflict rule and message: the stored row stays.
      {Add("2026050", "2026-05-03", "1 2 3 4 5 7", "7"), 2, "issue 2026050 is already stored as"},
      {"draws add --issue 2026051 --date 2026-05-05 --red '1 2 3 4 5 6'", 2, "--blue is missing"},
      {"draws add --issue 2026051 --date 2026-05-05 --red 1 --blue 2 --lottery 99", 2,
       "--lottery takes"},
      {"draws list --issue 2026051", 2, "--issue goes with draws add"},
  };
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.args);
    const CliRun run = Cli(r.args + home.h);
    EXPECT_EQ(run.code, r.code);
    EXPECT_NE(run.out.find(r.says), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("line 1:"), std::string::npos) << "no file line to name: " << run.out;
    EXPECT_EQ(Cli("draws list" + home.h).out, stored);
  }
  const CliRun added = Cli(Add("2026051", "2026-05-05", "09 03 14 20 27 31", "08") + home.h);
  EXPECT_EQ(added.code, 0) << added.out;
  EXPECT_EQ(added.out, "added 2026051\n");
  const CliRun again = Cli(Add("2026051", "2026-05-05", "09 03 14 20 27 31", "08") + home.h);
  EXPECT_EQ(again.code, 0);
  EXPECT_NE(again.out.find("already stored"), std::string::npos);
  EXPECT_EQ(Cli("draws list" + home.h).out,
            "2026051\t2026-05-05\t09 03 14 20 27 31 + 08\n" + stored);
}

TEST(CliDrawsGaps, WithinAYearOnly) {
  Home home;
  EXPECT_EQ(Cli("draws gaps --json" + home.h).out, "[]\n");
  home.ImportDraws(
      "2025148,2025-12-25,01 02 03 04 05 06,07\n2025150,2025-12-30,01 02 03 04 05 06,07\n"
      "2026002,2026-01-04,01 02 03 04 05 06,07\n2026005,2026-01-11,01 02 03 04 05 06,07\n");
  // Neither 2025151 nor 2026001: a year's last issue is not known ahead.
  EXPECT_EQ(Cli("draws gaps" + home.h).out, "2025149\n2026003\n2026004\n");
  const Json::Value gaps = test_support::ParseJsonText(Cli("draws gaps --json" + home.h).out);
  ASSERT_TRUE(gaps.isArray());
  ASSERT_EQ(gaps.size(), 3u);
  EXPECT_EQ(gaps[0].asString(), "2025149");
  EXPECT_EQ(gaps[2].asString(), "2026004");

  const Json::Value stats = test_support::ParseJsonText(Cli("stats --json" + home.h).out);
  ASSERT_EQ(stats["missingIssues"].size(), 3u);
  EXPECT_EQ(stats["missingIssues"][1].asString(), "2026003");
  EXPECT_EQ(stats["draws"].asInt(), 4);  // the figures stay over the stored draws
  const std::string text = Cli("stats" + home.h).out;
  EXPECT_LT(text.find("缺3期"), text.find("count")) << text;
  // Only the holes inside the range count.
  EXPECT_EQ(test_support::ParseJsonText(Cli("stats --last 2 --json" + home.h).out)["missingIssues"]
                .size(),
            2u);
  EXPECT_EQ(Cli("stats --last 1" + home.h).out.find("缺"), std::string::npos);
}

TEST(CliCheck, ACastForAMissingDrawIsNeverScored) {
  Home home;
  // Monday 2026-05-04: made for Tuesday's 2026051, which is not stored.
  ASSERT_TRUE(home.SaveCast("58", "2026-05-04 10:00:00", "甲"));
  ASSERT_TRUE(home.SaveCast("58", "2026-05-08 10:00:00", "乙"));
  const Json::Value cast =
      test_support::ParseJsonText(Cli("cast --number 58 --zodiac 1 --now '2026-05-04 10:00:00' "
                                      "--json",
                                      kQuiet)
                                      .out);
  // Thursday's draw holds the cast's first ticket: a prize, were it scored.
  std::string ticket = cast["numbers"][0].asString();
  std::replace(ticket.begin(), ticket.end(), ',', ' ');
  home.ImportDraws("2026050,2026-05-03,01 02 03 04 05 06,07\n2026052,2026-05-07," + ticket +
                   ",01\n");

  const Json::Value missing =
      test_support::ParseJsonText(Cli("check 1 --json" + home.h, kQuiet).out);
  ASSERT_EQ(missing.size(), 1u);
  const Json::Value& m = missing[0];
  EXPECT_EQ(m["status"].asString(), "missing");
  EXPECT_EQ(m["missingIssue"].asString(), "2026051");
  for (const char* key : {"issue", "drawDate", "drawRed", "drawBlue"}) EXPECT_TRUE(m[key].isNull());
  EXPECT_EQ(m["bestTier"].asInt(), 0);
  ASSERT_FALSE(m["tickets"].empty());
  EXPECT_EQ(m["tickets"][0]["tier"].asInt(), 0);
  EXPECT_TRUE(m["tickets"][0]["hits"].empty());
  EXPECT_NE(
      Cli("check 1" + home.h)
          .out.find("开奖数据缺失: 第2026051期未收录,请用 xyh-cli draws add 或 draws import 补录"),
      std::string::npos);
  // After the newest draw, with its day long past: pending, and said so.
  const Json::Value later = test_support::ParseJsonText(Cli("check 2 --json" + home.h, kQuiet).out);
  EXPECT_EQ(later[0]["status"].asString(), "pending");
  EXPECT_TRUE(later[0]["missingIssue"].isNull());
  EXPECT_NE(Cli("check 2" + home.h)
                .out.find("待开奖, 预计开奖日期 2026-05-10 (已过开奖日期,开奖数据尚未收录)"),
            std::string::npos);

  // Filled: scored against its real draw, not Thursday's.
  ASSERT_EQ(Cli(Add("2026051", "2026-05-05", "10 11 12 13 14 15", "16") + home.h).code, 0);
  const Json::Value scored =
      test_support::ParseJsonText(Cli("check 1 --json" + home.h, kQuiet).out);
  EXPECT_EQ(scored[0]["status"].asString(), "scored");
  EXPECT_TRUE(scored[0]["missingIssue"].isNull());
  EXPECT_EQ(scored[0]["issue"].asString(), "2026051");

  // Deleted: missing again, and nothing else goes with it.
  const CliRun deleted = Cli("draws delete 2026051" + home.h);
  EXPECT_EQ(deleted.code, 0) << deleted.out;
  EXPECT_EQ(deleted.out, "deleted 2026051\n");
  const Json::Value again = test_support::ParseJsonText(Cli("check --json" + home.h, kQuiet).out);
  ASSERT_EQ(again.size(), 2u);
  EXPECT_EQ(again[1]["status"].asString(), "missing");
  EXPECT_EQ(Cli("draws list" + home.h).out.find("2026051"), std::string::npos);
  EXPECT_NE(Cli("draws list" + home.h).out.find("2026052"), std::string::npos);
}

// A draw typed or imported wrong is refused with what is wrong named, and
// a stored one can be deleted; the words and exit codes of each.
TEST(CliDraws, WrongDrawsAreRefusedAndStoredOnesDeleted) {
  Home home;
  home.ImportDraws("2026013,2026-01-29,01 02 03 04 05 06,07\n");
  const std::string stored = Cli("draws list" + home.h).out;
  home.Write("late.csv", "issue,date,red,blue\n2026012,2026-02-08,1 2 3 4 5 6,7\n");
  struct Case {
    std::string args;
    int code;
    const char* says;
  };
  const Case cases[] = {
      {Add("2026014", "2026-02-04", "1 2 3 4 5 6", "7"), 2,
       "the date 2026-02-04 is a Wednesday; 双色球 is drawn on Sunday, Tuesday and Thursday only"},
      {Add("2025001", "2026-04-07", "1 2 3 4 5 6", "7"), 2,
       "the issue 2025001 is of the year 2025, but the date 2026-04-07 is in 2026"},
      {Add("2026012", "2026-02-08", "1 2 3 4 5 6", "7"), 2,
       "issue 2026012 on 2026-02-08 is out of order with the stored issue 2026013 on 2026-01-29"},
      {Add("2026014", "2026-01-29", "1 2 3 4 5 6", "7"), 2,
       "the stored issue 2026013 is drawn on the same day"},
      {"draws import " + home.Q("late.csv"), 2, "late.csv: line 2: issue 2026012 on 2026-02-08"},
      {"draws delete 2026099", 1,
       "xyh-cli: no draw of lottery 101 with the issue 2026099 is stored"},
      {"draws delete 20261", 2, "draws delete takes the issue of a stored draw"},
      {"draws delete", 2,
       "draws takes list, export, import FILE, add, delete ISSUE, gaps or prize ISSUE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const CliRun run = Cli(c.args + home.h);
    EXPECT_EQ(run.code, c.code);
    EXPECT_NE(run.out.find(c.says), std::string::npos) << run.out;
    EXPECT_EQ(Cli("draws list" + home.h).out, stored);
  }
  EXPECT_EQ(Cli("draws delete 02026013" + home.h).out, "deleted 2026013\n");
  // The command list names every action.
  EXPECT_NE(
      Cli("help").out.find("list, export, import, add or delete the stored draws, or find gaps"),
      std::string::npos);
  EXPECT_EQ(Cli("draws list" + home.h).out, "");
}

TEST(CliDrawsGaps, FiveDigitIssuesAndNoMixing) {
  Home home;
  home.Write("dlt.csv",
             "issue,date,red,blue\n25150,2025-12-31,1 2 3 4 5,1 2\n26001,2026-01-03,1 2 3 4 5,1 2\n"
             "26004,2026-01-10,1 2 3 4 5,1 2\n");
  ASSERT_EQ(Cli("draws import " + home.Q("dlt.csv") + " --lottery 104" + home.h).code, 0);
  EXPECT_EQ(Cli("draws gaps --lottery 104" + home.h).out, "26002\n26003\n");
  const CliRun mixed =
      Cli(Add("2026005", "2026-01-12", "1 2 3 4 5", "1 2") + " --lottery 104" + home.h);
  EXPECT_EQ(mixed.code, 2);
  EXPECT_NE(mixed.out.find("the issue 2026005 has 7 digits, but the stored issue 25150 has 5"),
            std::string::npos)
      << mixed.out;
}

// An archive stats calls damaged takes nothing, as the help says.
TEST(CliDraws, ADamagedArchiveIsNeverWritten) {
  Home home;
  home.ImportDraws("2026013,2026-01-29,01 02 03 04 05 06,07\n");
  test_support::ExecSql(home.Db(), "UPDATE xyh_draws SET extra='7x';");
  const std::string before = test_support::FileBytes(home.Db());
  EXPECT_EQ(Cli("stats" + home.h, kQuiet).code, 1);
  home.Write("more.csv", "issue,date,red,blue\n2026014,2026-02-01,1 2 3 4 5 6,7\n");
  for (const std::string& args :
       {Add("2026014", "2026-02-01", "1 2 3 4 5 6", "7"), "draws import " + home.Q("more.csv")}) {
    SCOPED_TRACE(args);
    const CliRun run = Cli(args + home.h);
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.out.find("the draw archive is damaged: the stored draw of lottery 101 with the "
                           "issue \"2026013\""),
              std::string::npos)
        << run.out;
  }
  EXPECT_EQ(test_support::FileBytes(home.Db()), before);
}

}  // namespace

// xyh-cli draws and xyh-cli check, run as a user would.
#include <gtest/gtest.h>
#include <json/json.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Settings.h"
#include "support/Child.h"
#include "support/LockHolder.h"
#include "support/StoreFile.h"
#include "support/TempDir.h"
#include "support/TestServer.h"

namespace {

using test_support::Cli;
using test_support::CliRun;
constexpr auto kQuiet = test_support::CliStderr::kDropped;

constexpr auto Parse = &test_support::ParseJsonText;

constexpr auto Bytes = &test_support::FileBytes;

std::vector<int> Numbers(const std::string& list) {
  std::vector<int> out;
  std::stringstream in(list);
  std::string piece;
  while (std::getline(in, piece, ',')) out.push_back(std::stoi(piece));
  return out;
}

constexpr auto Sql = &test_support::RunSqlScript;

using test_support::CliHome;

TEST(CliDraws, ImportListExportRoundTrip) {
  CliHome home;
  home.Write(
      "a.csv",
      "issue,date,red,blue\n2025141,2025-12-07,3 9 14 20 27 31,8\n2025142,2025-12-09,01 05 09 12 22 30,03\n");
  const CliRun imported = Cli("draws import " + home.Q("a.csv") + home.h);
  ASSERT_EQ(imported.code, 0) << imported.out;
  EXPECT_EQ(imported.out, "imported 2 draws\n");
  EXPECT_EQ(
      Cli("draws list" + home.h).out,
      "2025142\t2025-12-09\t01 05 09 12 22 30 + 03\n2025141\t2025-12-07\t03 09 14 20 27 31 + 08\n");
  const Json::Value list = Parse(Cli("draws list --json" + home.h, kQuiet).out);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]["issue"].asString(), "2025142");
  EXPECT_EQ(list[1]["numbers"][0].asInt(), 3);
  EXPECT_EQ(list[1]["extra"][0].asInt(), 8);

  const std::string exported = Cli("draws export" + home.h, kQuiet).out;
  EXPECT_EQ(
      exported,
      "issue,date,red,blue\n2025141,2025-12-07,03 09 14 20 27 31,08\n2025142,2025-12-09,01 05 09 12 22 30,03\n");
  CliHome other;
  other.Write("b.csv", exported);
  ASSERT_EQ(Cli("draws import '" + other.File("b.csv").string() + "'" + other.h).code, 0);
  EXPECT_EQ(Cli("draws export" + other.h, kQuiet).out, exported);
  EXPECT_EQ(Cli("draws import '" + other.File("b.csv").string() + "'" + other.h).out,
            "imported 0 draws, skipped 2 already stored\n");
  EXPECT_EQ(Cli("draws list --lottery 103" + home.h).out, "");
  for (const char* bad :
       {"draws", "draws frob", "draws import", "draws list --lottery 107", "draws export --json"}) {
    EXPECT_EQ(Cli(std::string(bad) + home.h).code, 2) << bad;
  }
  EXPECT_EQ(Cli("draws import /no/such/file.csv" + home.h).code, 1);
}

TEST(CliDraws, ARefusedImportNamesTheLineAndLeavesTheFileAsItWas) {
  CliHome home;
  home.ImportDraws("2025141,2025-12-07,03 09 14 20 27 31,08\n");
  const std::string before = Bytes(home.Db());
  home.Write(
      "bad.csv",
      "issue,date,red,blue\n2025142,2025-12-09,01 05 09 12 22 30,03\n2025143,2025-12-11,1 2 3 4 5 33,17\n");
  const CliRun bad = Cli("draws import " + home.Q("bad.csv") + home.h);
  EXPECT_EQ(bad.code, 2);
  EXPECT_NE(bad.out.find("line 3: blue number 17 is outside 1 to 16"), std::string::npos)
      << bad.out;
  home.Write("conflict.csv", "issue,date,red,blue\n2025141,2025-12-07,03 09 14 20 27 32,08\n");
  const CliRun conflict = Cli("draws import " + home.Q("conflict.csv") + home.h);
  EXPECT_EQ(conflict.code, 2);
  EXPECT_NE(conflict.out.find("line 2: issue 2025141 is already stored"), std::string::npos)
      << conflict.out;
  EXPECT_EQ(Bytes(home.Db()), before);
  EXPECT_EQ(Cli("draws list" + home.h).out, "2025141\t2025-12-07\t03 09 14 20 27 31 + 08\n");
}

TEST(CliCheck, SavedCastsAgainstTheDrawTheyWereMadeFor) {
  CliHome home;
  // Cast 1 before Tuesday's sales close, cast 2 after them; cast 3 in a week
  // with no draw stored.
  ASSERT_TRUE(home.SaveCast("58", "2025-12-09 19:59:59.999", "甲"));
  ASSERT_TRUE(home.SaveCast("58", "2025-12-09 20:00:00.000", "乙"));
  ASSERT_TRUE(home.SaveCast("58", "2025-12-21 10:00:00", "丙"));
  const Json::Value cast =
      Parse(Cli("cast --number 58 --zodiac 1 --now '2025-12-09 19:59:59.999' --json", kQuiet).out);
  const std::vector<int> ticket = Numbers(cast["numbers"][0].asString());
  const std::vector<int> blues = Numbers(cast["numbers"][6].asString());
  ASSERT_EQ(ticket.size(), 6u);
  ASSERT_GE(blues.size(), 2u);
  // Tuesday's draw is the first ticket and the first blue; Thursday's has
  // four of its reds and a blue outside the list.
  std::string tuesday, thursday;
  for (int n : ticket) tuesday += std::to_string(n) + " ";
  const std::vector<int> others = {ticket[0], ticket[1], ticket[2], ticket[3]};
  int filler = 1, outside = 1;
  std::vector<int> reds = others;
  while (reds.size() < 6) {
    if (std::find(ticket.begin(), ticket.end(), filler) == ticket.end()) reds.push_back(filler);
    ++filler;
  }
  while (std::find(blues.begin(), blues.end(), outside) != blues.end()) ++outside;
  for (int n : reds) thursday += std::to_string(n) + " ";
  // 2025141 before them, so the archive vouches for 2025142.
  home.ImportDraws("2025141,2025-12-07,01 02 03 04 05 06,01\n2025142,2025-12-09," + tuesday + "," +
                   std::to_string(blues[0]) + "\n2025143,2025-12-11," + thursday + "," +
                   std::to_string(outside) + "\n");

  const CliRun run = Cli("check --json" + home.h, kQuiet);
  ASSERT_EQ(run.code, 0);
  const Json::Value all = Parse(run.out);
  ASSERT_EQ(all.size(), 3u);
  // Newest first by cast time.
  EXPECT_EQ(all[0]["id"].asInt(), 3);
  EXPECT_EQ(all[1]["id"].asInt(), 2);
  EXPECT_EQ(all[2]["id"].asInt(), 1);
  for (const Json::Value& v : all) {
    for (const char* key : {"id",
                            "name",
                            "castTime",
                            "issue",
                            "drawDate",
                            "drawRed",
                            "drawBlue",
                            "tickets",
                            "bestTier",
                            "fixedPrize",
                            "status",
                            "missingIssue",
                            "plays",
                            "playsBestTier",
                            "playsFixedPrize",
                            "firstPrize",
                            "secondPrize",
                            "prize",
                            "floatingUnknown",
                            "playsPrize",
                            "playsFloatingUnknown"}) {
      EXPECT_TRUE(v.isMember(key)) << key;
    }
    EXPECT_EQ(v.size(), 21u);
  }

  const Json::Value& first = all[2];
  EXPECT_EQ(first["castTime"].asString(), "2025-12-09 19:59:59.999");
  EXPECT_EQ(first["issue"].asString(), "2025142");
  EXPECT_EQ(first["drawDate"].asString(), "2025-12-09");
  EXPECT_EQ(first["drawBlue"].asInt(), blues[0]);
  EXPECT_EQ(first["bestTier"].asInt(), 1);
  const Json::Value& t0 = first["tickets"][0];
  EXPECT_EQ(t0.size(), 9u);
  // Six reds met: the drawn blue's bet is 一等奖, every other 二等奖, and with
  // no amount stored each is counted as such, never priced as 0.
  EXPECT_EQ(t0["floatingUnknown"].asInt(), t0["bets"].asInt());
  EXPECT_TRUE(first["firstPrize"].isNull());
  EXPECT_EQ(t0["hits"].size(), 6u);
  EXPECT_TRUE(t0["blueHit"].asBool());
  EXPECT_EQ(t0["bets"].asInt(), static_cast<int>(blues.size()));
  EXPECT_EQ(t0["tier"].asInt(), 1);
  EXPECT_EQ(t0["winningBets"].asInt(),
            static_cast<int>(blues.size()));  // 6+1 once, 6+0 for the rest
  EXPECT_EQ(t0["fixedPrize"].asInt(), 0);

  const Json::Value& second = all[1];
  EXPECT_EQ(second["issue"].asString(), "2025143");
  const Json::Value& s0 = second["tickets"][0];
  EXPECT_EQ(s0["hits"].size(), 4u);
  EXPECT_FALSE(s0["blueHit"].asBool());
  EXPECT_EQ(s0["tier"].asInt(), 5);  // 4+0 for every bet
  EXPECT_EQ(s0["winningBets"].asInt(), static_cast<int>(blues.size()));
  EXPECT_EQ(s0["fixedPrize"].asInt(), 10 * static_cast<int>(blues.size()));

  const Json::Value& pending = all[0];
  for (const char* key : {"issue", "drawDate", "drawRed", "drawBlue"})
    EXPECT_TRUE(pending[key].isNull()) << key;
  EXPECT_EQ(pending["bestTier"].asInt(), 0);
  EXPECT_EQ(pending["tickets"][0]["red"].size(), 6u);
  EXPECT_EQ(pending["tickets"][0]["hits"].size(), 0u);
  EXPECT_FALSE(pending["tickets"][0]["blueHit"].asBool());

  // Chosen ids, still newest first; the text marks the matched numbers.
  const Json::Value chosen = Parse(Cli("check 1 3 --json" + home.h, kQuiet).out);
  ASSERT_EQ(chosen.size(), 2u);
  EXPECT_EQ(chosen[0]["id"].asInt(), 3);
  const std::string text = Cli("check 1" + home.h).out;
  EXPECT_NE(text.find("开奖: 第2025142期 2025-12-09"), std::string::npos) << text;
  EXPECT_NE(text.find("一等奖"), std::string::npos) << text;
  EXPECT_NE(
      text.find("[" + std::string(ticket[0] < 10 ? "0" : "") + std::to_string(ticket[0]) + "]"),
      std::string::npos);
  EXPECT_NE(Cli("check 3" + home.h).out.find("待开奖"), std::string::npos);
  const CliRun unknown = Cli("check 1 9" + home.h);
  EXPECT_EQ(unknown.code, 2);
  EXPECT_NE(unknown.out.find("no saved cast has the id 9"), std::string::npos);
}

TEST(CliCheck, IdsBeyond32Bits) {
  CliHome home;
  ASSERT_TRUE(home.SaveCast("58", "2025-12-09 10:00:00", "甲"));
  ASSERT_TRUE(home.SaveCast("59", "2025-12-09 11:00:00", "乙"));
  Sql(home.Db(),
      "UPDATE xyh_table SET _id=4294967297 WHERE _id=1;"
      "UPDATE xyh_table SET _id=9223372036854775807, ysname='a' || char(27) || '[2Jb' WHERE _id=2;");
  home.ImportDraws(
      "2025141,2025-12-07,01 02 03 04 05 06,01\n"
      "2025142,2025-12-09,01 05 09 12 22 30,03\n");

  // 4294967297 would be 1 if cut to 32 bits, which no longer exists.
  const CliRun one = Cli("check 4294967297 --json" + home.h, kQuiet);
  ASSERT_EQ(one.code, 0) << one.out;
  const Json::Value v = Parse(one.out);
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(v[0]["id"].asInt64(), 4294967297LL);
  EXPECT_EQ(v[0]["issue"].asString(), "2025142");
  const Json::Value both =
      Parse(Cli("check 9223372036854775807 4294967297 --json" + home.h, kQuiet).out);
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[0]["id"].asInt64(), 9223372036854775807LL);
  EXPECT_EQ(both[0]["name"].asString(),
            "a\x1b[2Jb");  // escaped on the terminal, the same text read back
  // Control characters in saved names reach the terminal as escapes only.
  for (const std::string args : {"check", "check --json"}) {
    const CliRun r = Cli(args + home.h, kQuiet);
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << args;
  }
  EXPECT_NE(Cli("check 9223372036854775807" + home.h).out.find("#9223372036854775807 a\\x1b[2Jb"),
            std::string::npos);
  EXPECT_NE(Cli("check 4294967297" + home.h).out.find("#4294967297 甲"), std::string::npos);
  const CliRun gone = Cli("check 1" + home.h);
  EXPECT_EQ(gone.code, 2);
  EXPECT_NE(gone.out.find("no saved cast has the id 1"), std::string::npos) << gone.out;
  EXPECT_EQ(Cli("check 9223372036854775808" + home.h).code, 2);
}

// A row someone edited by hand is an error of its own: the others are
// checked and shown as before.
TEST(CliCheck, ADamagedRowIsAnErrorForThatRowOnly) {
  CliHome home;
  ASSERT_TRUE(home.SaveCast("58", "2026-12-08 10:00:00", "甲"));
  ASSERT_TRUE(home.SaveCast("59", "2026-12-08 11:00:00", "乙"));
  Sql(home.Db(), "UPDATE xyh_table SET gzsxid=99 WHERE _id=2;");
  const CliRun all = Cli("check" + home.h);
  EXPECT_EQ(all.code, 1);
  EXPECT_NE(all.out.find("saved cast 2: 该历史记录已损坏,无法复盘 (gzsxid "), std::string::npos)
      << all.out;
  EXPECT_NE(all.out.find("#1 甲"), std::string::npos) << all.out;
  EXPECT_EQ(all.out.find("#2 乙"), std::string::npos) << all.out;
  const CliRun json = Cli("check --json" + home.h, kQuiet);
  EXPECT_EQ(json.code, 1);
  const Json::Value v = Parse(json.out);
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(v[0]["error"].asString(), "该历史记录已损坏,无法复盘");
  EXPECT_TRUE(v[1]["error"].isNull());
  EXPECT_EQ(Cli("check 1" + home.h).code, 0);

  const CliRun show = Cli("history show 2" + home.h);
  EXPECT_EQ(show.code, 1);
  EXPECT_NE(show.out.find("该历史记录已损坏,无法复盘"), std::string::npos) << show.out;
  EXPECT_EQ(Cli("history show 1" + home.h).code, 0);
  // Listed under its name all the same.
  EXPECT_NE(Cli("history list" + home.h).out.find("2\t乙"), std::string::npos);
}

TEST(CliCheck, ABoughtTicket) {
  CliHome home;
  EXPECT_EQ(Cli("check --red '1 2 3 4 5 6' --blue 1" + home.h).code, 1);  // no draw stored yet
  home.ImportDraws(
      "2025141,2025-12-07,03 09 14 20 27 31,08\n2025142,2025-12-09,01 05 09 12 22 30,03\n");
  // The newest draw by default: 01 05 09 12 22 30 + 03.
  const Json::Value v =
      Parse(Cli("check --red '01 5 9 12 22 33' --blue '7 3' --json" + home.h, kQuiet).out);
  EXPECT_TRUE(v["id"].isNull());
  EXPECT_TRUE(v["name"].isNull());
  EXPECT_TRUE(v["castTime"].isNull());
  EXPECT_EQ(v["issue"].asString(), "2025142");
  ASSERT_EQ(v["tickets"].size(), 1u);
  EXPECT_EQ(v["tickets"][0]["hits"].size(), 5u);
  EXPECT_EQ(v["tickets"][0]["bets"].asInt(), 2);
  EXPECT_EQ(v["tickets"][0]["tier"].asInt(), 3);  // 5+1; the other bet 5+0
  EXPECT_EQ(v["fixedPrize"].asInt(), 3200);
  const Json::Value older = Parse(
      Cli("check --red 3,9,14,20,27,31 --blue 8 --issue 2025141 --json" + home.h, kQuiet).out);
  EXPECT_EQ(older["bestTier"].asInt(), 1);

  for (const char* bad :
       {"check --red '1 2 3 4 5'", "check --red '1 2 3 4 5 34'", "check --red '1 2 3 4 5 05'",
        "check --red '1 2 3 4 5 6' --blue 17", "check --red '1 2 3 4 5 6' --blue '3 03'",
        "check --red '1 2 3 4 5 6' --issue 1", "check --red '1 2 3 4 5 x'", "check --blue 3",
        "check 1 --red '1 2 3 4 5 6'", "check 0", "check x",
        "check --red '3 9 14 20 27 31' --issue 2026141"}) {  // a ticket has a blue
    const CliRun r = Cli(std::string(bad) + home.h);
    EXPECT_EQ(r.code, 2) << bad << ": " << r.out;
    EXPECT_FALSE(r.out.empty()) << bad;
  }
}

TEST(CliDraws, EveryRefreshStoresItsDraw) {
  XYH_SKIP_WITHOUT_PING();
  CliHome home;
  test_support::TempDir root;
  std::filesystem::copy_file(std::string(XYH_TEST_DATA) + "/results_home.gb18030.html",
                             root.path() / "home.html");
  test_support::TestServer server(root.path());
  rg_com_ptl_xyh::rg_Settings settings(home.dir.path() / "config.ini");
  const std::string url = server.Url("/files/home.html");
  settings.Write(u"net", u"results_home", std::u16string(url.begin(), url.end()));
  settings.Write(u"net", u"probe_host", u"127.0.0.1");
  EXPECT_NE(Cli("draw" + home.h).out.find("archived: added\n"), std::string::npos);
  EXPECT_EQ(Parse(Cli("draw --json" + home.h, kQuiet).out)["archived"].asString(), "unchanged");
  EXPECT_EQ(Parse(Cli("draw --lottery 103 --json" + home.h, kQuiet).out)["archived"].asString(),
            "added");
  EXPECT_EQ(Cli("draws list" + home.h).out, "2024062\t2024-06-02\t03 09 16 19 25 29 + 07\n");
  EXPECT_EQ(Cli("draws list --lottery 103" + home.h).out, "2024150\t2024-06-02\t04 00 07\n");
}

TEST(CliDraws, ADamagedOrLockedHistoryIsSaidAndNeverWritten) {
  CliHome home;
  home.Write("d.csv", "issue,date,red,blue\n2025142,2025-12-09,01 05 09 12 22 30,03\n");
  home.Write("e.csv", "issue,date,red,blue\n2025143,2025-12-11,01 05 09 12 22 31,03\n");
  ASSERT_EQ(Cli("draws import " + home.Q("d.csv") + home.h).code, 0);
  {
    test_support::LockHolder lock(home.Db());
    ASSERT_TRUE(lock.Locked());
    for (const std::string args :
         {"draws list", "draws export", "check", "check --red '1 2 3 4 5 6' --blue 1"}) {
      const CliRun r = Cli(args + home.h);
      EXPECT_EQ(r.code, 1) << args << ": " << r.out;  // not an empty archive that looks complete
      EXPECT_NE(r.out.find("历史记录文件正被其他程序使用,请稍后再试"), std::string::npos)
          << args << ": " << r.out;
    }
    const CliRun import = Cli("draws import " + home.Q("e.csv") + home.h);
    EXPECT_EQ(import.code, 1);
    EXPECT_NE(import.out.find("历史记录文件正被其他程序使用"), std::string::npos) << import.out;
  }
  EXPECT_EQ(Cli("draws list" + home.h).out, "2025142\t2025-12-09\t01 05 09 12 22 30 + 03\n");

  // 60 saved casts over several pages; the page of the oldest loses its type.
  home.SaveLongNamedCasts(60);
  const std::string bytes = test_support::BreakFirstLeaf(home.Db());

  const CliRun import = Cli("draws import " + home.Q("e.csv") + home.h);
  EXPECT_EQ(import.code, 1);
  EXPECT_NE(import.out.find("历史记录文件已损坏"), std::string::npos) << import.out;
  const CliRun check = Cli("check" + home.h);
  EXPECT_EQ(check.code, 1);
  EXPECT_NE(check.out.find("历史记录文件已损坏"), std::string::npos) << check.out;
  EXPECT_EQ(Bytes(home.Db()), bytes);
  // The draws themselves still read, and a bought ticket is still checked.
  EXPECT_EQ(Cli("draws list" + home.h).out, "2025142\t2025-12-09\t01 05 09 12 22 30 + 03\n");
  EXPECT_EQ(Cli("check --red '1 5 9 12 22 30' --blue 3" + home.h, kQuiet).code, 0);
  EXPECT_EQ(Bytes(home.Db()), bytes);
}

}  // namespace

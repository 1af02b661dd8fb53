// xyh-cli on damaged, locked and foreign-edited history files, and the
// arguments it refuses.
#include <gtest/gtest.h>
#include <json/json.h>

#include <fstream>
#include <string>

#include "support/Child.h"
#include "support/LockHolder.h"
#include "support/StoreFile.h"
#include "support/TempDir.h"

namespace {

using Outcome = test_support::CliRun;

// Standard output apart; all() is standard output and error.
Outcome Cli(const std::string& args) {
  return test_support::Cli(args, test_support::CliStderr::kApart);
}

constexpr auto ParseJson = &test_support::ParseJsonText;

constexpr auto Bytes = &test_support::FileBytes;

constexpr auto Sql = &test_support::RunSqlScript;

using Home = test_support::CliHome;

}  // namespace

TEST(CliFaults, ADamagedHistoryIsReadAsFarAsItGoesAndNeverWritten) {
  Home home;
  home.SaveLongNamedCasts(60);
  const std::string bytes = test_support::BreakFirstLeaf(home.Db());  // the oldest rows' page

  const Outcome list = Cli("history list" + home.h);
  EXPECT_EQ(list.code, 1);
  EXPECT_NE(list.out.find("60\t第60次"), std::string::npos);  // what reads is shown
  EXPECT_NE(list.all().find("历史记录文件已损坏"), std::string::npos);
  const Outcome show = Cli("history show 1" + home.h);
  EXPECT_EQ(show.code, 1);
  EXPECT_NE(show.all().find("历史记录文件已损坏"), std::string::npos) << show.all();
  const Outcome save = Cli("cast --number 58 --zodiac 1 --save 新的" + home.h);
  EXPECT_EQ(save.code, 1);
  EXPECT_NE(save.all().find("保存失败"), std::string::npos);
  EXPECT_EQ(save.all().find("保存成功"), std::string::npos);
  EXPECT_NE(save.all().find("历史记录文件已损坏"), std::string::npos);
  EXPECT_EQ(Cli("history delete 60" + home.h).code, 1);
  EXPECT_EQ(Bytes(home.Db()), bytes);
}

TEST(CliFaults, ALockedHistoryIsAnErrorUntilItIsFree) {
  Home home;
  ASSERT_EQ(Cli("cast --number 58 --zodiac 1 --save 甲" + home.h).code, 0);
  {
    test_support::LockHolder lock(home.Db());
    ASSERT_TRUE(lock.Locked());
    const Outcome list = Cli("history list" + home.h);
    EXPECT_EQ(list.code, 1);  // not an empty list that looks complete
    EXPECT_NE(list.all().find("历史记录文件正被其他程序使用,请稍后再试"), std::string::npos);
    const Outcome save = Cli("cast --number 58 --zodiac 1 --save 乙" + home.h);
    EXPECT_EQ(save.code, 1);
    EXPECT_NE(save.all().find("保存失败"), std::string::npos);
  }
  EXPECT_EQ(Cli("cast --number 58 --zodiac 1 --save 乙" + home.h).code, 0);
  EXPECT_EQ(Cli("history list" + home.h).code, 0);
}

TEST(CliFaults, ShowJsonHasTheCastAsTheReviewShowsIt) {
  Home home;
  const Outcome cast = Cli(
      "cast --number 58 --zodiac 子鼠 --now '2024-06-01 08:30:00.125' --save 甲 --json" + home.h);
  ASSERT_EQ(cast.code, 0);
  Json::Value expected = ParseJson(cast.out);
  expected.removeMember("save");
  const Outcome show = Cli("history show 1 --json" + home.h);
  ASSERT_EQ(show.code, 0) << show.all();
  const Json::Value v = ParseJson(show.out);
  EXPECT_EQ(v["ysname"].asString(), "甲(2024年6月1日8时30分)");
  EXPECT_EQ(v["cast"], expected);  // every key, the saved numbers included
  // Without --json the record alone, as before.
  EXPECT_FALSE(ParseJson(Cli("history show 1" + home.h).out).isMember("cast"));
}

TEST(CliFaults, BadArgumentsAreRefused) {
  Home home;
  const std::string digits33(33, '7');
  for (const std::string& args :
       {"cast --number " + digits33 + " --zodiac 1 --save 甲" + home.h,
        std::string("cast --time draw --lottery 102 --zodiac 1"),
        std::string("cast --time now --lottery 999 --zodiac 1"),
        std::string("cast --number 58 --zodiac 1 --home ''"), std::string("history list --home ''"),
        std::string("draw --home ''"),
        // Friday 9999-12-31: the next 双色球 draw would be in the year 10000.
        std::string("cast --time draw --zodiac 1 --now '9999-12-31 10:00:00'")}) {
    const Outcome r = Cli(args);
    EXPECT_EQ(r.code, 2) << args << "\n" << r.all();
    EXPECT_FALSE(r.all().empty());
  }
  EXPECT_FALSE(std::filesystem::exists(home.Db()));  // nothing was saved
  EXPECT_EQ(Cli("cast --number " + std::string(32, '7') + " --zodiac 1").code, 0);
  EXPECT_EQ(Cli("cast --time draw --zodiac 1 --now '9999-12-28 10:00:00'").code, 0);
  EXPECT_EQ(Cli("cast --time draw --lottery 106 --zodiac 1").code, 0);
}

TEST(CliFaults, LargeIdsAndControlCharactersInSavedTexts) {
  Home home;
  ASSERT_EQ(Cli("cast --number 58 --zodiac 1 --save 甲" + home.h).code, 0);
  Sql(home.Db(),
      "INSERT INTO xyh_table (_id,ysname,ysindex,ysnumber,ysday,gzsxid,dong,uinfo) VALUES "
      "(2147483648,'大',1,'58',45444.35,1,'0,0,0,0,0,0','');"
      "INSERT INTO xyh_table (_id,ysname,ysindex,ysnumber,ysday,gzsxid,dong,uinfo) VALUES "
      "(9223372036854775807,'a' || char(27) || '[2Jb' || char(7) || char(155) || 'c',1,'58',45444.35,1,"
      "'0,0,0,0,0,0','x' || char(27) || ']0;title' || char(7));");
  const Outcome list = Cli("history list" + home.h);
  ASSERT_EQ(list.code, 0) << list.all();
  EXPECT_NE(list.out.find("9223372036854775807\ta\\x1b[2Jb\\x07\\u009bc\n"), std::string::npos)
      << list.out;
  EXPECT_NE(list.out.find("2147483648\t大\n"), std::string::npos);
  EXPECT_EQ(list.out.find('\x1b'), std::string::npos);
  EXPECT_EQ(list.out.find("\xc2\x9b"), std::string::npos);

  const Outcome json = Cli("history list --json" + home.h);
  EXPECT_EQ(json.out.find('\x1b'), std::string::npos);
  EXPECT_EQ(json.out.find("\xc2\x9b"), std::string::npos);
  const Json::Value items = ParseJson(json.out);
  EXPECT_EQ(items[0]["_id"].asInt64(), 9223372036854775807LL);
  EXPECT_EQ(items[0]["ysname"].asString(),
            "a\x1b[2Jb\x07\xc2\x9b"
            "c");  // the same text, read back

  const Outcome show = Cli("history show 9223372036854775807" + home.h);
  ASSERT_EQ(show.code, 0) << show.all();
  EXPECT_EQ(show.out.find('\x1b'), std::string::npos);
  EXPECT_EQ(ParseJson(show.out)["uinfo"].asString(), "x\x1b]0;title\x07");
  const Outcome big = Cli("history show 2147483648" + home.h);
  ASSERT_EQ(big.code, 0) << big.all();
  EXPECT_EQ(ParseJson(big.out)["_id"].asInt64(), 2147483648LL);
  EXPECT_EQ(Cli("history delete 2147483648" + home.h).code, 0);
  EXPECT_EQ(Cli("history list" + home.h).out.find("2147483648\t"), std::string::npos);
  EXPECT_EQ(Cli("history show 9223372036854775808" + home.h).code, 2);
}

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/Child.h"
#include "support/TempDir.h"

using test_support::TempDir;

namespace {

using test_support::CliRun;

// xyh-cli with a home of the test's choosing; stderr folded into the output.
CliRun Cli(const std::filesystem::path& home, const std::string& args) {
  return test_support::Cli(args + " --home '" + home.string() + "'",
                           test_support::CliStderr::kFolded, "TZ=Asia/Shanghai");
}

constexpr auto Bytes = &test_support::FileBytes;

void Write(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

}  // namespace

TEST(CliHistoryTransfer, ExportImportExportIsTheSameApartFromIds) {
  TempDir a;
  TempDir b;
  ASSERT_EQ(Cli(a.path(),
                "cast --number 58 --zodiac 1 --now '2024-06-01 08:30:00' --save '甲,\"乙\"' "
                "--note \"$(printf '一\\r\\n二')\"")
                .code,
            0);
  ASSERT_EQ(
      Cli(a.path(), "cast --number 7 --zodiac 2 --now '2024-06-02 09:00:00.500' --save 丙").code,
      0);
  ASSERT_EQ(Cli(a.path(), "history delete 1").code, 0);  // a gap: ids 2 and 3 follow
  ASSERT_EQ(Cli(a.path(),
                "cast --number 58 --zodiac 1 --now '2024-06-01 08:30:00' --save '甲,\"乙\"' "
                "--note \"$(printf '一\\r\\n二')\"")
                .code,
            0);

  for (const std::string format : {"csv", "json"}) {
    TempDir fresh;
    const CliRun first = Cli(a.path(), "history export --format " + format);
    ASSERT_EQ(first.code, 0) << first.out;
    Write(b.path() / ("h." + format), first.out);
    const CliRun imported =
        Cli(fresh.path(), "history import '" + (b.path() / ("h." + format)).string() + "'");
    EXPECT_EQ(imported.out, "imported 2, skipped 0 already saved\n");
    const CliRun second = Cli(fresh.path(), "history export --format=" + format);
    // Ids 2 and 3 became 1 and 2; nothing else differs.
    std::string renumbered = first.out;
    for (const auto& [from, to] : {std::pair{"2,", "1,"}, {"3,", "2,"}}) {
      const std::string key =
          format == "csv" ? std::string("\r\n") + from : std::string("{\"_id\":") + from;
      const std::string value =
          format == "csv" ? std::string("\r\n") + to : std::string("{\"_id\":") + to;
      renumbered.replace(renumbered.find(key), key.size(), value);
    }
    EXPECT_EQ(second.out, renumbered);
    // The note's CR LF, as stored.
    EXPECT_NE(first.out.find(format == "csv" ? "\"一\r\n二\"" : "\"一\\r\\n二\""),
              std::string::npos)
        << first.out;
  }

  // Standard input and --output.
  const std::filesystem::path out = b.path() / "out.json";
  ASSERT_EQ(Cli(a.path(), "history export --format json --output '" + out.string() + "'").code, 0);
  EXPECT_EQ(Cli(b.path(), "history import - < '" + out.string() + "'").out,
            "imported 2, skipped 0 already saved\n");
  EXPECT_EQ(Cli(b.path(), "history import '" + out.string() + "'").out,
            "imported 0, skipped 2 already saved\n");
}

TEST(CliHistoryTransfer, ABadFileIsRefusedAndNothingIsWritten) {
  TempDir home;
  ASSERT_EQ(Cli(home.path(), "cast --number 58 --zodiac 1 --save 甲").code, 0);
  const std::filesystem::path db = home.path() / "src" / "data" / "xyh.db";
  const std::string before = Bytes(db);

  Write(
      home.path() / "bad.json",
      "{\"format\":\"xyh-history\",\"version\":1,\"records\":[\n"
      "{\"ysname\":\"乙\",\"ysindex\":1,\"ysnumber\":\"5\",\"ysday\":45444,\"gzsxid\":1,\"upstr\":\"\",\"downstr\":\"\","
      "\"dong\":\"\",\"rot\":0,\"uinfo\":\"\"},\n"
      "{\"ysname\":\"丙\",\"ysindex\":\"1\",\"ysnumber\":\"5\",\"ysday\":1,\"gzsxid\":1,\"upstr\":\"\","
      "\"downstr\":\"\",\"dong\":\"\",\"rot\":0,\"uinfo\":\"\"}]}");
  const CliRun refused =
      Cli(home.path(), "history import '" + (home.path() / "bad.json").string() + "'");
  EXPECT_EQ(refused.code, 1);
  EXPECT_NE(refused.out.find("nothing imported"), std::string::npos) << refused.out;
  EXPECT_NE(refused.out.find("$.records[1].ysindex:应是整数"), std::string::npos) << refused.out;
  EXPECT_EQ(Bytes(db), before);

  // Well-formed but no cast the program could have saved: refused the same way.
  Write(home.path() / "odd.csv",
        "_id,ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo\r\n"
        "1,\"乙\",1,\"12abc\",45444.5,1,\"\",\"\",\"0,0,0,0,0,0\",0,\"\"\r\n");
  const CliRun odd =
      Cli(home.path(), "history import '" + (home.path() / "odd.csv").string() + "'");
  EXPECT_EQ(odd.code, 1);
  EXPECT_NE(odd.out.find("第2行:字段 ysnumber"), std::string::npos) << odd.out;
  EXPECT_EQ(Bytes(db), before);

  // Nor is a cast saved that an import would refuse.
  const CliRun early =
      Cli(home.path(), "cast --number 58 --zodiac 1 --now '1899-12-31 10:00:00' --save 早");
  EXPECT_EQ(early.code, 1);
  EXPECT_NE(early.out.find("not saved: ysday"), std::string::npos) << early.out;
  EXPECT_EQ(Bytes(db), before);

  const CliRun missing =
      Cli(home.path(), "history import '" + (home.path() / "absent.csv").string() + "'");
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(Bytes(db), before);

  EXPECT_EQ(Cli(home.path(), "history export --format xml").code, 2);
  EXPECT_EQ(Cli(home.path(), "history import").code, 2);
  EXPECT_EQ(Cli(home.path(), "history import a b").code, 2);
  EXPECT_EQ(Cli(home.path(), "history list --format csv").code, 2);
  EXPECT_EQ(Cli(home.path(), "history export somewhere.csv").code, 2);
  // A failed --output leaves no file behind.
  EXPECT_EQ(
      Cli(home.path(), "history export --output '" + (home.path() / "no" / "x.csv").string() + "'")
          .code,
      1);
  EXPECT_FALSE(std::filesystem::exists(home.path() / "no"));
}

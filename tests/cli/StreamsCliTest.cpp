// xyh-cli's files and streams as a careless user or an attacker gives
// them: targets that are no regular file, a full standard output, inputs
// that fail while read, a damaged draw archive, another form of an issue.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "support/Child.h"
#include "support/LockHolder.h"
#include "support/TempDir.h"
#include "support/TestServer.h"

namespace fs = std::filesystem;

namespace {

using Outcome = test_support::CliRun;

// Standard error kept apart, so a case can redirect the other streams.
Outcome Cli(const std::string& args) {
  return test_support::Cli(args, test_support::CliStderr::kApart);
}

using Home = test_support::CliHome;

const char* kDraws =
    "issue,date,red,blue\n2026139,2026-12-03,01 02 03 04 05 06,16\n"
    "2026140,2026-12-06,03 09 14 20 27 31,08\n";

// A home with two draws and a saved cast.
void Fill(const Home& home) {
  home.Write("d.csv", kDraws);
  ASSERT_EQ(Cli("draws import " + home.Q("d.csv") + home.h).code, 0);
  ASSERT_EQ(Cli("cast --number 58 --zodiac 1 --save 甲" + home.h).code, 0);
}

}  // namespace

TEST(CliStreams, ExportWritesOnlyRegularFilesAndSaysEveryRefusal) {
  Home home;
  Fill(home);
  fs::create_directory(home.dir.path() / "folder");
  ASSERT_EQ(::mkfifo((home.dir.path() / "fifo").c_str(), 0600), 0);
  fs::create_symlink(home.dir.path() / "nothing", home.dir.path() / "dangling");
  const struct {
    std::string output;
    const char* reason;
  } refused[] = {
      {home.Q("folder"), "it is a folder"},     {home.Q("fifo"), "FIFO"},
      {home.Q("dangling"), "link to nothing"},  {"''", "no file name"},
      {home.Q("no/such/folder.csv"), "folder"},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.output);
    const Outcome r = Cli("history export --output " + c.output + home.h);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("exported"), std::string::npos);
  }
  EXPECT_TRUE(fs::is_directory(home.dir.path() / "folder"));
  EXPECT_TRUE(fs::is_fifo(home.dir.path() / "fifo"));

  // A link to a regular file: the file gets the export, the link stays.
  const fs::path real = home.Write("real.json", "old");
  fs::create_symlink(real, home.dir.path() / "link.json");
  const Outcome linked =
      Cli("history export --format json --output " + home.Q("link.json") + home.h);
  EXPECT_EQ(linked.code, 0) << linked.err;
  EXPECT_TRUE(fs::is_symlink(home.dir.path() / "link.json"));
  EXPECT_EQ(test_support::FileBytes(real).rfind("{\"format\":\"xyh-history\"", 0), 0u);
}

// Standard output on a full disk: every command fails and says so.
TEST(CliStreams, AFullStandardOutputIsAnError) {
  Home home;
  Fill(home);
  for (const std::string command : {"draws export", "draws list", "draws list --json", "check",
                                    "stats", "stats --json", "history list", "history export",
                                    "cast --number 58 --zodiac 1", "--version", "help cast"}) {
    SCOPED_TRACE(command);
    const Outcome r = Cli(command + home.h + " >/dev/full");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("writing to standard output failed"), std::string::npos) << r.err;
  }
  home.Write("one.txt", "--number 58 --zodiac 1\n");
  const Outcome batch = Cli("cast --batch >/dev/full < " + home.Q("one.txt"));
  EXPECT_EQ(batch.code, 1);
}

// Inputs that fail while read, or are no file: a message and exit 1 or 2,
// never an abort.
TEST(CliStreams, InputsThatFailWhileReadEndCleanly) {
  Home home;
  fs::create_directory(home.dir.path() / "folder");
  const struct {
    std::string command;
    int code;
    const char* said;
  } cases[] = {
      {"draws import /proc/self/mem", 1, "cannot read /proc/self/mem"},
      {"draws import /proc/self/pagemap", 2, "larger than 16 MiB"},
      {"draws import " + home.Q("folder"), 1, "folder"},
      {"draws import - <&-", 1, "standard input: it is closed"},
      {"draws import - < " + home.Q("folder"), 1, "standard input: it is a folder"},
      {"history import - <&-", 1, "standard input: it is closed"},
      {"history import - < " + home.Q("folder"), 1, "standard input: it is a folder"},
      {"cast --batch <&-", 1, "standard input, which is closed"},
      {"cast --batch < " + home.Q("folder"), 1, "standard input, which is a folder"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    const Outcome r = Cli(c.command + home.h);
    EXPECT_EQ(r.code, c.code) << r.err;
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
  }
  home.Write("d.csv", kDraws);
  const Outcome piped = Cli("draws import - " + home.h + " < " + home.Q("d.csv"));
  EXPECT_EQ(piped.code, 0) << piped.err;
  EXPECT_EQ(piped.out, "imported 2 draws\n");
}

TEST(CliStreams, ADamagedDrawRowIsNamedByEveryReader) {
  Home home;
  Fill(home);
  test_support::RunSqlScript(home.dir.path() / "src" / "data" / "xyh.db",
                             "UPDATE xyh_draws SET numbers='abc' WHERE issue='2026139';");
  for (const std::string command :
       {"draws list", "draws list --json", "draws export", "stats", "stats --json", "check",
        "check --red '1 2 3 4 5 6' --blue 7"}) {
    SCOPED_TRACE(command);
    const Outcome r = Cli(command + home.h);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("issue \"2026139\""), std::string::npos) << r.err;
  }
  home.Write("again.csv", kDraws);
  const Outcome again = Cli("draws import " + home.Q("again.csv") + home.h);
  EXPECT_EQ(again.code, 1);
  EXPECT_NE(again.err.find("\"abc\" where a number belongs"), std::string::npos) << again.err;
}

TEST(CliStreams, StatsSaysALock) {
  Home home;
  Fill(home);
  test_support::LockHolder lock(home.dir.path() / "src" / "data" / "xyh.db");
  const Outcome r = Cli("stats" + home.h);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err.find("no 双色球 draw is stored"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("历史记录文件正被其他程序使用"), std::string::npos) << r.err;
}

TEST(CliStreams, AnIssueInAnotherFormIsTheStoredDraw) {
  Home home;
  Fill(home);
  home.Write("zero.csv", "issue,date,red,blue\n02026140,2026-12-06,03 09 14 20 27 31,08\n");
  const Outcome r = Cli("draws import " + home.Q("zero.csv") + home.h);
  EXPECT_EQ(r.out, "imported 0 draws, skipped 1 already stored\n");
  EXPECT_EQ(test_support::ParseJsonText(Cli("stats --json" + home.h).out)["draws"].asInt(), 2);
  EXPECT_EQ(Cli("check --red '3 9 14 20 27 31' --blue 8 --issue 02026140" + home.h).code, 0);
}

TEST(CliStreams, MessagesAndHelp) {
  // Every line of --batch is JSON in valid UTF-8, whatever bytes came in.
  Home home;
  home.Write("bytes.txt", "--number 58 --zodiac \xff\n--title \xc3 --number 5 --zodiac 1\n");
  const Outcome batch = Cli("cast --batch < " + home.Q("bytes.txt"));
  std::size_t lines = 0;
  for (std::size_t at = 0, end; (end = batch.out.find('\n', at)) != std::string::npos;
       at = end + 1, ++lines) {
    const std::string line = batch.out.substr(at, end - at);
    EXPECT_EQ(line.find('\xff'), std::string::npos) << line;
    EXPECT_EQ(line.find("\xc3 "), std::string::npos) << line;
    test_support::ParseJsonText(line);
  }
  EXPECT_EQ(lines, 2u);

  for (const std::string command : {"draws import --help", "history export --help", "stats -h"}) {
    const Outcome r = Cli(command);
    EXPECT_EQ(r.code, 0) << command;
    EXPECT_EQ(r.out.rfind("usage: xyh-cli " + command.substr(0, command.find(' ')), 0), 0u)
        << r.out;
  }

  // A read-only command never makes the home it was pointed at.
  test_support::TempDir dir;
  const fs::path missing = dir.path() / "missing";
  for (const std::string command :
       {"draws list", "draws export", "history list", "history export", "check", "stats"}) {
    SCOPED_TRACE(command);
    const Outcome r = Cli(command + " --home '" + missing.string() + "'");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("does not exist"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(missing));
  }
}

// xyh-cli draw says why a page never came, apart from one that came and
// did not parse.
TEST(CliStreams, DrawTellsAPageThatNeverCameFromOneThatDoesNotParse) {
  XYH_SKIP_WITHOUT_PING();
  test_support::TempDir root;
  std::ofstream(root.path() / "junk.html") << "<html><body>no table here</body></html>";
  test_support::TestServer server(root.path());
  const struct {
    std::string address;
    const char* said;
  } cases[] = {
      {"http://127.0.0.1:1/", "not fetched (results_home): Could"},  // a closed port
      {"ftp://127.0.0.1/", "not fetched (results_home): "},          // a protocol refused
      {"", "not fetched (results_home): the address is empty"},
      {server.Url("/files/junk.html"), ""},  // came, but holds no draw table
      {server.Url("/status/404"), "not fetched (results_home): the server answered HTTP 404"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    Home home;
    home.Write("config.ini", "[net]\nprobe_host=127.0.0.1\nresults_home=" + c.address + "\n");
    const Outcome text = Cli("draw" + home.h);
    EXPECT_EQ(text.code, 1);
    const Json::Value json = test_support::ParseJsonText(Cli("draw --json" + home.h).out);
    if (c.said[0] == '\0') {
      EXPECT_EQ(text.out.find("not fetched"), std::string::npos) << text.out;
      EXPECT_EQ(json["error"].asString().find("not fetched"), std::string::npos);
      continue;
    }
    EXPECT_NE(text.out.find(std::string("error: ") + c.said), std::string::npos) << text.out;
    EXPECT_EQ(json["error"].asString().rfind(c.said, 0), 0u) << json["error"];
  }
}

#include <gtest/gtest.h>
#include <json/json.h>

#include <sys/resource.h>
#include <string>

#include <filesystem>
#include <fstream>

#include "platform/Settings.h"
#include "support/Child.h"
#include "support/TempDir.h"
#include "support/TestServer.h"

namespace {

using test_support::Cli;
using test_support::CliRun;

constexpr auto ParseJson = &test_support::ParseJsonText;

}  // namespace

TEST(Cli, VersionAndHelp) {
  EXPECT_EQ(Cli("--version").code, 0);
  EXPECT_NE(Cli("--version").out.find("1.0.0"), std::string::npos);
  EXPECT_EQ(Cli("--help").code, 0);
  EXPECT_EQ(Cli("").code, 2);
  EXPECT_EQ(Cli("frobnicate").code, 2);
}

TEST(Cli, NumberCastAsJson) {
  const CliRun r = Cli("cast --number 58 --zodiac 子鼠 --now '2024-06-01 08:30:00.125' --json");
  ASSERT_EQ(r.code, 0) << r.out;
  const Json::Value v = ParseJson(r.out);
  EXPECT_EQ(v["castTime"].asString(), "2024-06-01 08:30:00.125");
  EXPECT_EQ(v["numberText"].asString(), "58");
  EXPECT_EQ(v["header"].asString(), "以数字58起卦,卦主生肖:子,日主:丙申,时辰:壬辰");
  EXPECT_EQ(v["primaryTitle"].asString(), "本卦: 乾宫 (5) 风地观 ");
  ASSERT_EQ(v["grid"].size(), 6u);
  EXPECT_EQ(v["grid"][5][4].asString(), "0");
  EXPECT_EQ(v["grid"][5][6].asString(), "×");
  EXPECT_EQ(v["reading"].asString().rfind("卦解:", 0), 0u);
  EXPECT_NE(v["reading"].asString().find("\r\n"), std::string::npos);
}

TEST(Cli, OptionFormsAndZodiacSpellingsAgree) {
  const std::string base = " --now='2024-06-01 08:30:00' --json";
  const std::string a = Cli("cast --lines O01X10 --zodiac 3 --at '2024-06-01 08:00:00'" + base).out;
  const std::string b =
      Cli("cast --up 010 --down 101 --dong=1,0,0,-1,0,0 --zodiac=寅 --at='2024-06-01 08:00:00'" +
          base)
          .out;
  const std::string c =
      Cli("cast --up 010 --down 101 --dong 1,0,0,-1,0,0 --zodiac 寅虎 --at '2024-06-01 08:00:00'" +
          base)
          .out;
  EXPECT_EQ(a, b);
  EXPECT_EQ(a, c);
  EXPECT_EQ(ParseJson(a)["header"].asString(), "以自己装卦,卦主生肖:寅,日主:丙申,时辰:壬辰");
  EXPECT_EQ(ParseJson(a)["castTime"].asString(), "2024-06-01 08:00:00.000");
  EXPECT_EQ(Cli("cast --up 010 --down 101 --dong -1,0,0,0,0,1 --zodiac 1 --json").code,
            2);  // marks on the wrong lines
  EXPECT_EQ(Cli("cast --up 010 --down 101 --dong=0,0,0,0,0,-1 --zodiac 1 --json").code, 0);
}

TEST(Cli, TimeCastsUseTheFixedClock) {
  const Json::Value now =
      ParseJson(Cli("cast --time now --zodiac 1 --now '2024-06-01 21:15:07.250' --json").out);
  EXPECT_EQ(now["castTime"].asString(), "2024-06-01 21:15:07.250");
  EXPECT_EQ(now["numberText"].asString().size(), 13u);
  EXPECT_EQ(now["header"].asString().find("以超时空毫秒起卦"), 0u);
  const Json::Value draw =
      ParseJson(Cli("cast --time draw --zodiac 1 --now '2024-06-06 22:05:17.250' --json").out);
  EXPECT_EQ(draw["castTime"].asString(), "2024-06-09 21:15:17.000");
  EXPECT_EQ(draw["numberText"].asString().substr(10), "250");
  const Json::Value seven = ParseJson(
      Cli("cast --time draw --lottery 106 --zodiac 1 --now '2024-06-04 22:00:00' --json").out);
  EXPECT_EQ(seven["castTime"].asString(), "2024-06-07 21:25:00.000");
}

TEST(Cli, RefusalsUseThePanelsWords) {
  const CliRun noMethod = Cli("cast --zodiac 1");
  EXPECT_EQ(noMethod.code, 2);
  EXPECT_EQ(noMethod.out, "未选择推算条件\n");
  EXPECT_EQ(Cli("cast --number 58").out, "未选择卦主生肖\n");
  EXPECT_EQ(Cli("cast --number '' --zodiac 1").out, "未输入推算数字\n");
  EXPECT_EQ(Cli("cast --up 010 --zodiac 1").out, "未装好线下卦\n");
  EXPECT_EQ(Cli("cast --lines 111111").out, "未选择卦主生肖\n");
  EXPECT_EQ(Cli("cast --time now").out, "未选择卦主生肖\n");
  EXPECT_EQ(Cli("cast --time now").code, 2);
}

// Every option's own check, the rules that join options, and which message
// comes first when several options are bad: the first the command reads.
TEST(Cli, BadArgumentsAreRefusedClearly) {
  const std::string kTime = "takes a local time as \"YYYY-MM-DD HH:MM:SS[.mmm]\"; not ";
  const std::string kZodiac =
      "--zodiac takes 1..12, a branch such as 子, or a sign such as 子鼠; not ";
  const std::string kTrigram = " takes three characters of 1 and 0, bottom line first";
  const std::string kMultiple = "--multiple: 倍数应为 1 至 99,不能是 ";
  const struct {
    std::string args;
    std::string said;
  } kCases[] = {
      {"cast --number 5a8 --zodiac 1", "--number takes digits only; not \"5a8\""},
      {"cast --number " + std::string(33, '1') + " --zodiac 1", "--number takes at most 32 digits"},
      {"cast --time later --zodiac 1", "--time takes now or draw"},
      {"cast --lines O01X1 --zodiac 1", "--lines takes six characters, bottom line first"},
      {"cast --lines O01Y10 --zodiac 1",
       "--lines takes 1 (yang), 0 (yin), O (moving yang) and X (moving yin)"},
      {"cast --up 012 --down 101 --dong 0,0,0,0,0,0 --zodiac 1", "--up" + kTrigram},
      {"cast --up 010 --down 1 --zodiac 1", "--down" + kTrigram},
      {"cast --up 010 --down 101 --dong 0,2,0,0,0,0 --zodiac 1",
       "--dong takes comma-separated values of 1, 0 and -1, not \"2\""},
      {"cast --lines O01X10 --at 2024-06-01 --zodiac 1", "--at " + kTime + "\"2024-06-01\""},
      {"cast --number 58 --zodiac 13", kZodiac + "\"13\""},
      {"cast --number 58 --zodiac 猫", kZodiac + "\"猫\""},
      {"cast --number 58 --zodiac 1 --now 2024-06-01", "--now " + kTime + "\"2024-06-01\""},
      {"cast --number 58 --zodiac 1 --now '2024-02-30 10:00:00'",
       "--now " + kTime + "\"2024-02-30 10:00:00\""},
      {"cast --time draw --zodiac 1 --lottery 102",
       "--lottery takes a code with a draw schedule: 100 快乐8, 101 双色球, 106 七星彩; not 102"},
      {"cast --number 58 --zodiac 1 --save '  '", "--save needs a title that is not blank"},
      {"cast --number 58 --zodiac 1 --save " + std::string(201, 'x'),
       "--save takes a title of at most 200 characters"},
      {"cast --number 58 --zodiac 1 --save t --note " + std::string(10001, 'x'),
       "--note takes at most 10000 characters"},
      {"cast --number 58 --zodiac 1 --home ''", "--home needs a folder; it was given empty"},
      {"draw --lottery 99", "--lottery takes a code from 100 to 106"},
      {"check --red 1,2,3,4,5,6 --issue 20x", "--issue takes the digits of a stored draw's issue"},
      {"check --red 1,2,3,4,5,34", "--red: 34 is outside 1 to 33"},
      {"play add 1 --red 1,2,3,4,5,6 --blue 1 --dan ,", "--dan takes 1 to 5 reds"},
      // The rules that join options, and the option reader's own.
      {"cast --number 58 --time now --zodiac 1",
       "choose one way of casting: --number, --time, or the lines (--lines, or --up/--down/--dong)"},
      {"cast --number 58 --zodiac 1 --at '2024-06-01 10:00:00'",
       "--at is the time of hand-cast lines only"},
      {"cast --number 58 --zodiac 1 --note x", "--note goes with --save"},
      {"cast --number 58 --zodiac 1 --bogus", "unknown option --bogus"},
      {"cast --number", "--number needs a value"},
      // Two bad options or more: the order in which the command reads them.
      {"cast --number 5a --zodiac 13 --now x", "--now " + kTime + "\"x\""},
      {"cast --number 5a --zodiac 13 --save ' '", "--save needs a title that is not blank"},
      {"cast --number 5a --zodiac 13 --save ' ' --at x",
       "--at is the time of hand-cast lines only"},
      {"cast --number 58 --zodiac 13 --lottery 99 --topic x", kZodiac + "\"13\""},
      {"cast --time now --zodiac 1 --lottery 1x --topic x",
       "--lottery takes a lottery code such as 101"},
      {"cast --up 2 --down 3 --dong 5 --zodiac 1", "--up" + kTrigram},
      {"check --red 1,2,3,4,5,6 --issue x --multiple x", kMultiple + "\"x\""},
      {"check --red 1,2,3,4,5,6 --issue x --dan 0", "--dan: 0 is outside 1 to 33"},
  };
  for (const auto& c : kCases) {
    const CliRun r = Cli(c.args);
    EXPECT_EQ(r.code, 2) << c.args;
    EXPECT_EQ(r.out, "xyh-cli: " + c.said + "\n") << c.args;
  }
}

TEST(Cli, TextLayoutShowsTheReading) {
  const CliRun r = Cli("cast --number 58 --zodiac 1 --now '2024-06-01 08:30:00'");
  ASSERT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("以数字58起卦"), std::string::npos);
  EXPECT_NE(r.out.find("卦解:"), std::string::npos);
  EXPECT_EQ(r.out.find('\r'), std::string::npos);
}

TEST(Cli, SaveListShowDelete) {
  test_support::TempDir home;
  const std::string h = " --home '" + home.path().string() + "'";
  const CliRun saved =
      Cli("cast --number 58 --zodiac 1 --now '2026-12-06 15:07:03' --save 甲 --note 备注" + h);
  ASSERT_EQ(saved.code, 0) << saved.out;
  EXPECT_NE(saved.out.find("\n保存成功\n"), std::string::npos);
  const Json::Value j = ParseJson(
      Cli("cast --time now --zodiac 2 --now '2026-12-06 00:00:00' --save \"it's \\\"q\\\"\" --json" +
          h)
          .out);
  EXPECT_EQ(j["save"].asString(), "保存成功");

  const CliRun list = Cli("history list" + h);
  EXPECT_EQ(list.out, "2\tit's \"q\"(2026年12月6日)\n1\t甲(2026年12月6日15时7分3秒)\n");
  const Json::Value record = ParseJson(Cli("history show 1" + h).out);
  EXPECT_EQ(record["ysname"].asString(), "甲(2026年12月6日15时7分3秒)");
  EXPECT_EQ(record["uinfo"].asString(), "备注");
  EXPECT_EQ(record["ysnumber"].asString(), "58");
  EXPECT_EQ(record["dong"].asString(), "-1,0,0,0,0,0");
  EXPECT_EQ(record["castTime"].asString(), "2026-12-06 15:07:03.000");
  EXPECT_EQ(Cli("history show 7" + h).code, 1);
  EXPECT_EQ(Cli("history delete 1" + h).code, 0);
  EXPECT_EQ(Cli("history delete 1" + h).code, 0);
  EXPECT_EQ(Cli("history list --json" + h).out.find("甲"), std::string::npos);
  for (const char* bad : {"history", "history show", "history show x", "history show 0",
                          "history frob", "history list 3"}) {
    EXPECT_EQ(Cli(std::string(bad) + h).code, 2) << bad;
  }
}

TEST(Cli, TheEnvironmentNamesTheHomeAndABrokenStoreFailsTheSave) {
  test_support::TempDir home;
  const std::string env = "XYH_HOME='" + home.path().string() + "' ";
  const std::string cli = std::string(XYH_CLI_PATH);
  const std::string command = env + cli + " cast --number 7 --zodiac 1 --save 乙 >/dev/null && " +
                              env + cli + " history list";
  EXPECT_EQ(test_support::RunCommand(command).out.substr(0, 5), "1\t乙");

  test_support::TempDir broken;
  const auto file = broken.path() / "src" / "data" / "xyh.db";
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file) << "not a database at all, not at all, not at all, not at all";
  const CliRun r =
      Cli("cast --number 58 --zodiac 1 --save 甲 --home '" + broken.path().string() + "'");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("保存失败"), std::string::npos);
  EXPECT_NE(r.out.find("the history cannot be opened"), std::string::npos);
}

// Points a program directory's results page at the test server's
// home.html, reached on loopback; gives the --home option for it.
std::string ServeResultsPage(const test_support::TempDir& home,
                             const test_support::TestServer& server) {
  rg_com_ptl_xyh::rg_Settings settings(home.path() / "config.ini");
  const std::string url = server.Url("/files/home.html");
  settings.Write(u"net", u"results_home", std::u16string(url.begin(), url.end()));
  settings.Write(u"net", u"probe_host", u"127.0.0.1");
  return " --home '" + home.path().string() + "'";
}

TEST(Cli, DrawPrintsOneCycle) {
  XYH_SKIP_WITHOUT_PING();
  test_support::TempDir home;
  test_support::TempDir root;
  std::filesystem::copy_file(std::string(XYH_TEST_DATA) + "/results_home.gb18030.html",
                             root.path() / "home.html");
  test_support::TestServer server(root.path());
  const std::string h = ServeResultsPage(home, server);
  rg_com_ptl_xyh::rg_Settings settings(home.path() / "config.ini");
  const CliRun ok = Cli("draw" + h);
  EXPECT_EQ(ok.code, 0) << ok.out;
  EXPECT_NE(ok.out.find("numbers: 030916192529\n"), std::string::npos);
  EXPECT_NE(ok.out.find("extra: 07\n"), std::string::npos);
  const Json::Value v = ParseJson(Cli("draw --lottery 104 --json" + h).out);
  EXPECT_EQ(v["shown"].asString(), "0611192733");
  settings.Write(u"net", u"probe_host", u"no-such-host.invalid");
  const CliRun offline = Cli("draw" + h);
  EXPECT_EQ(offline.code, 1);
  EXPECT_EQ(offline.out, "未连网\n");
  EXPECT_EQ(Cli("draw --lottery 107" + h).code, 2);
}

TEST(Cli, HelpOnEveryCommand) {
  for (const char* command : {"cast", "history", "draw", "draws", "check", "play", "stats"}) {
    const CliRun help = Cli(std::string("help ") + command);
    EXPECT_EQ(help.code, 0) << command;
    EXPECT_EQ(help.out.rfind(std::string("usage: xyh-cli ") + command + " ", 0), 0u) << command;
    EXPECT_NE(help.out.find("example"), std::string::npos) << command;
    EXPECT_NE(help.out.find("--home"), std::string::npos) << command;
    EXPECT_EQ(Cli(std::string(command) + " --help").out, help.out);
  }
  const std::string cast = Cli("help cast").out;
  for (const char* option :
       {"--number", "--time", "--lines", "--up", "--down", "--dong", "--at", "--zodiac", "--now",
        "--lottery", "--title", "--save", "--note", "--json"}) {
    EXPECT_NE(cast.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(Cli("help frob").code, 2);
  EXPECT_EQ(Cli("help").code, 0);
}

// Pages made to exhaust memory: an endless reply, deep nesting, unclosed
// tags. A draw run ends with a failed parse and stays small.
TEST(Cli, HostilePagesKeepADrawRunSmall) {
  XYH_SKIP_WITHOUT_PING();
  test_support::TempDir home;
  test_support::TempDir root;
  test_support::TestServer server(root.path());
  rg_com_ptl_xyh::rg_Settings settings(home.path() / "config.ini");
  settings.Write(u"net", u"probe_host", u"127.0.0.1");
  const std::string h = " --home '" + home.path().string() + "'";
  for (const char* route : {"/endless", "/nested/100000", "/unclosed/100000", "/pad/8388608"}) {
    const std::string url = server.Url(route);
    settings.Write(u"net", u"results_home", std::u16string(url.begin(), url.end()));
    const CliRun run = Cli("draw --json" + h);
    EXPECT_TRUE(run.code == 0 || run.code == 1) << route << run.out;
    EXPECT_NE(ParseJson(run.out)["status"].asInt(), 200) << route;
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);  // the largest child so far, in KiB
    EXPECT_LT(usage.ru_maxrss, 200 * 1024) << route;
  }
}

// The results page is someone else's text: whatever control characters it
// holds never reach the terminal raw, in either output form.
TEST(Cli, DrawShowsThePagesControlCharactersAsEscapes) {
  XYH_SKIP_WITHOUT_PING();
  test_support::TempDir home;
  test_support::TempDir root;
  std::ifstream in(std::string(XYH_TEST_DATA) + "/results_home.gb18030.html", std::ios::binary);
  std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string issue = "<td>2024062<em";
  const std::size_t at = page.find(issue);
  ASSERT_NE(at, std::string::npos);
  const std::size_t date = page.find("2024-06-02", at);
  ASSERT_NE(date, std::string::npos);
  page.insert(date + 10, "\x1b]0;pwned\x07\x1b[2J\x7f");
  std::ofstream(root.path() / "home.html", std::ios::binary) << page;
  test_support::TestServer server(root.path());
  const std::string h = ServeResultsPage(home, server);
  for (const char* json : {"", " --json"}) {
    const CliRun run = Cli(std::string("draw") + json + h);
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos) << json;
    EXPECT_EQ(run.out.find('\x07'), std::string::npos) << json;
    EXPECT_EQ(run.out.find('\x7f'), std::string::npos) << json;
    EXPECT_NE(run.out.find("030916192529"), std::string::npos) << run.out;
  }
}

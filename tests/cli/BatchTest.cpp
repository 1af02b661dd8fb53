// xyh-cli cast --batch, and which libraries the command line maps.
#include <gtest/gtest.h>
#include <json/json.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Settings.h"
#include "support/Child.h"
#include "support/TempDir.h"
#include "support/TestServer.h"

namespace {

using ChildRun = test_support::CliRun;

// Runs xyh-cli with the given environment and standard input; standard error
// is dropped.
ChildRun CliWith(const std::string& env, const std::string& args, const std::string& input = "") {
  test_support::TempDir dir;
  const std::string in = (dir.path() / "in").string();
  std::ofstream(in, std::ios::binary) << input;
  return test_support::Cli(args + " < '" + in + "'", test_support::CliStderr::kDropped, env);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

constexpr auto Parse = &test_support::ParseJsonText;

constexpr const char* kNow = " --now '2024-06-01 08:30:00.125'";

}  // namespace

TEST(Batch, EachLineGivesWhatItsCommandLineGivesInOrder) {
  const std::vector<std::string> casts = {
      "--number 58 --zodiac 子鼠",
      "--lines O01X10 --zodiac 3 --at '2024-06-01 08:00:00'",
      "--time draw --zodiac 1 --lottery 106",
      "--number 1234567 --zodiac 12 --title 甲",
  };
  std::string input;
  for (const auto& c : casts) input += c + kNow + "\n";
  const ChildRun batch = CliWith("", "cast --batch", input);
  EXPECT_EQ(batch.code, 0) << batch.out;
  const auto lines = Lines(batch.out);
  ASSERT_EQ(lines.size(), casts.size()) << batch.out;
  for (size_t i = 0; i < casts.size(); ++i) {
    const ChildRun one = CliWith("", "cast --json " + casts[i] + kNow);
    ASSERT_EQ(one.code, 0) << casts[i];
    // The same object, written on one line.
    EXPECT_EQ(Parse(lines[i]), Parse(one.out)) << casts[i];
  }
  EXPECT_EQ(Parse(lines[3])["ysname"].asString(), "甲(2024年6月1日8时30分)");
}

TEST(Batch, BadAndEmptyLinesAreReportedAndTheRunGoesOn) {
  const std::string good = std::string("--number 58 --zodiac 1") + kNow;
  const std::string input = good + "\n" +                          // 1
                            "\n" +                                 // 2: empty
                            "   \t\r\n" +                          // 3: blank, CR LF
                            "--number 5x --zodiac 1\n" +           // 4: bad option value
                            "--number 58\n" +                      // 5: refused by the panel
                            good + " --save 甲\n" +                // 6: no saving here
                            "--number 58 --note n --zodiac 1\n" +  // 7
                            "--number 58 --zodiac '1\n" +          // 8: open quote
                            "--frobnicate\n" +                     // 9
                            "--batch\n" +                          // 10
                            std::string(9000, 'x') + "\n" +        // 11: too long
                            good + "\r\n" +                        // 12: CR LF is fine
                            good;                                  // 13: no final newline
  const ChildRun r = CliWith("", "cast --batch", input);
  EXPECT_EQ(r.code, 1);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 13u) << r.out;
  for (size_t i : {0u, 11u, 12u}) EXPECT_EQ(Parse(lines[i])["numberText"].asString(), "58") << i;
  const auto errorOf = [&](size_t i) {
    const Json::Value v = Parse(lines[i]);
    EXPECT_EQ(v["line"].asInt(), static_cast<int>(i + 1));
    EXPECT_EQ(v.size(), 2u) << lines[i];
    return v["error"].asString();
  };
  EXPECT_EQ(errorOf(1), "empty line");
  EXPECT_EQ(errorOf(2), "empty line");
  EXPECT_NE(errorOf(3).find("--number takes digits only"), std::string::npos);
  EXPECT_EQ(errorOf(4), "未选择卦主生肖");
  EXPECT_NE(errorOf(5).find("not allowed in batch mode"), std::string::npos);
  EXPECT_NE(errorOf(6).find("not allowed in batch mode"), std::string::npos);
  EXPECT_NE(errorOf(7).find("quote"), std::string::npos);
  EXPECT_NE(errorOf(8).find("--frobnicate"), std::string::npos);
  EXPECT_NE(errorOf(9).find("--batch"), std::string::npos);
  EXPECT_NE(errorOf(10).find("longer than"), std::string::npos);

  const ChildRun empty = CliWith("", "cast --batch", "");
  EXPECT_EQ(empty.code, 0);
  EXPECT_EQ(empty.out, "");
  // Options belong on the lines, not beside --batch.
  EXPECT_EQ(CliWith("", "cast --batch --number 58", good).code, 2);
}

TEST(Batch, QuotingWorksAsInAShell) {
  const std::string expected =
      Parse(CliWith("", std::string("cast --json --number 58 --zodiac 子鼠") + kNow).out)
          .toStyledString();
  for (const char* line :
       {R"(--number 58 --zodiac 子鼠 --now "2024-06-01 08:30:00.125")",
        R"(--number '58' --zodiac=子鼠 --now=2024-06-01\ 08:30:00.125)",
        R"(  --number "5"8	--zodiac '子'"鼠" --now '2024-06-01 08:30:00.125'  )"}) {
    const ChildRun r = CliWith("", "cast --batch", std::string(line) + "\n");
    EXPECT_EQ(r.code, 0) << line << r.out;
    EXPECT_EQ(Parse(r.out).toStyledString(), expected) << line;
  }
  // Nothing is expanded: a dollar sign is a character like any other.
  const ChildRun dollar = CliWith("", "cast --batch", "--number '$HOME' --zodiac 1\n");
  EXPECT_NE(Parse(dollar.out)["error"].asString().find("$HOME"), std::string::npos);
}

// The command line loads the network and TLS libraries only to fetch, and
// SQLite only for the history.
TEST(Libraries, CastAndHistoryMapNeitherLibcurlNorTls) {
  test_support::TempDir home;
  const std::string maps = (home.path() / "maps").string();
  const std::string env = "ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD='" +
                          std::string(XYH_MAPS_HOOK) + "' XYH_MAPS_OUT='" + maps + "'";
  const auto mapped = [&](const std::string& args, const std::string& input = "") {
    std::filesystem::remove(maps);
    const ChildRun r = CliWith(env, args, input);
    EXPECT_EQ(r.code, 0) << args << r.out;
    std::ifstream in(maps);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string h = " --home '" + home.path().string() + "'";
  for (const auto& [args, input] : std::vector<std::pair<std::string, std::string>>{
           {"cast --number 58 --zodiac 1 --json", ""},
           {"cast --number 58 --zodiac 1 --save 甲" + h, ""},
           {"cast --batch", "--number 58 --zodiac 1\n"},
           {"history list" + h, ""}}) {
    const std::string m = mapped(args, input);
    ASSERT_NE(m.find("xyh-cli"), std::string::npos) << args << ": no maps were written";
    for (const char* library :
         {"libcurl", "libssl", "libcrypto", "libgnutls", "libnghttp2", "libldap", "libgumbo"}) {
      EXPECT_EQ(m.find(library), std::string::npos) << args << " maps " << library;
    }
    // SQLite only for what touches the history.
    const bool history = args.find("--save") != std::string::npos || args.rfind("history", 0) == 0;
    EXPECT_EQ(m.find("libsqlite3") != std::string::npos, history) << args;
  }
}

TEST(Libraries, WithoutSqliteTheHistoryCannotBeOpenedAndCastsStillWork) {
  test_support::TempDir home;
  const std::string env = "XYH_SQLITE_LIBRARY=libxyh-no-such-sqlite.so.0";
  const std::string h = " --home '" + home.path().string() + "'";
  const ChildRun save = CliWith(env, "cast --number 58 --zodiac 1 --save 甲" + h);
  EXPECT_EQ(save.code, 1);
  EXPECT_NE(save.out.find("保存失败"), std::string::npos) << save.out;
  EXPECT_EQ(CliWith(env, "cast --number 58 --zodiac 1 --json").code, 0);
  // The same home with the library: nothing was saved, and saving works.
  EXPECT_EQ(CliWith("", "history list" + h).out, "");
  EXPECT_NE(CliWith("", "cast --number 58 --zodiac 1 --save 甲" + h).out.find("保存成功"),
            std::string::npos);
}

TEST(Libraries, DrawLoadsLibcurlAndGumboWhenItFetches) {
  XYH_SKIP_WITHOUT_PING();
  test_support::TempDir home;
  test_support::TempDir root;
  std::filesystem::copy_file(std::string(XYH_TEST_DATA) + "/results_home.gb18030.html",
                             root.path() / "home.html");
  test_support::TestServer server(root.path());
  rg_com_ptl_xyh::rg_Settings settings(home.path() / "config.ini");
  const std::string url = server.Url("/files/home.html");
  settings.Write(u"net", u"results_home", std::u16string(url.begin(), url.end()));
  settings.Write(u"net", u"probe_host", u"127.0.0.1");
  const std::string maps = (home.path() / "maps").string();
  const std::string env = "ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD='" +
                          std::string(XYH_MAPS_HOOK) + "' XYH_MAPS_OUT='" + maps + "'";
  const std::string h = " --home '" + home.path().string() + "'";
  EXPECT_EQ(CliWith(env, "draw" + h).code, 0);
  std::ifstream in(maps);
  const std::string mapped(std::istreambuf_iterator<char>(in), {});
  EXPECT_NE(mapped.find("libcurl"), std::string::npos);
  EXPECT_NE(mapped.find("libgumbo"), std::string::npos);
  // A library that cannot be loaded is a page that could not be fetched,
  // never a crash, and the error says so.
  const ChildRun missing = CliWith("XYH_CURL_LIBRARY=libxyh-no-such-curl.so.4", "draw --json" + h);
  EXPECT_EQ(missing.code, 1) << missing.out;
  EXPECT_EQ(Parse(missing.out)["status"].asInt(), -100) << missing.out;
  EXPECT_EQ(Parse(missing.out)["error"].asString().rfind(
                "not fetched (results_home): libcurl could not be loaded", 0),
            0u)
      << missing.out;
  // Without the page parser a fetched page is one that could not be read.
  const ChildRun unparsed =
      CliWith("XYH_GUMBO_LIBRARY=libxyh-no-such-gumbo.so.1", "draw --json" + h);
  EXPECT_EQ(unparsed.code, 1) << unparsed.out;
  EXPECT_EQ(Parse(unparsed.out)["status"].asInt(), -100) << unparsed.out;
  EXPECT_EQ(Parse(unparsed.out)["error"].asString(), "body error") << unparsed.out;
}

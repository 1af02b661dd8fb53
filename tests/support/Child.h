#pragma once
// Running a program as a user would, and reading what it wrote.
#include <gtest/gtest.h>
#include <json/json.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "support/TempDir.h"

namespace test_support {

struct CommandOutput {
  int code;  // the exit status; -1 when the command did not exit by itself
  std::string out;
};

// Runs a shell command line and reads its standard output to the end.
inline CommandOutput RunCommand(const std::string& command) {
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {-1, {}};
  std::string out;
  std::array<char, 4096> buf{};
  for (size_t n; (n = fread(buf.data(), 1, buf.size(), pipe)) > 0;) out.append(buf.data(), n);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

#ifdef XYH_CLI_PATH
// Where xyh-cli's standard error goes: into the output, away, or apart.
enum class CliStderr { kFolded, kDropped, kApart };

struct CliRun {
  int code;  // the exit status; -1 when xyh-cli did not exit by itself
  std::string out;
  std::string err;  // only when kept apart
  std::string all() const { return out + err; }
};

// Runs xyh-cli through the shell as a user would, so that args may redirect
// its streams; before holds shell words that go in front of the program:
// settings of its environment, or a pipe into it.
inline CliRun Cli(const std::string& args, CliStderr err = CliStderr::kFolded,
                  const std::string& before = {}) {
  static int runs = 0;
  const std::string errFile =
      "/tmp/xyh-cli-test-" + std::to_string(getpid()) + "-" + std::to_string(++runs);
  const std::string redirect = err == CliStderr::kFolded    ? " 2>&1"
                               : err == CliStderr::kDropped ? " 2>/dev/null"
                                                            : " 2>'" + errFile + "'";
  const CommandOutput run = RunCommand(before + " " + XYH_CLI_PATH + " " + args + redirect);
  CliRun result{run.code, run.out, err == CliStderr::kApart ? FileBytes(errFile) : ""};
  std::remove(errFile.c_str());
  return result;
}

// A home folder of xyh-cli's own; h is " --home '…'", to append to its
// arguments.
struct CliHome {
  TempDir dir;
  std::string h = " --home '" + dir.path().string() + "'";
  std::filesystem::path Db() const { return dir.path() / "src" / "data" / "xyh.db"; }
  std::filesystem::path File(const std::string& name) const { return dir.path() / name; }
  // A file of the home, quoted for the shell.
  std::string Q(const std::string& name) const { return "'" + File(name).string() + "'"; }
  std::filesystem::path Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
    return File(name);
  }
  // Casts saved with long names "第1次,…" onwards, so that a few fill
  // several pages of the file.
  void SaveLongNamedCasts(int count) const {
    for (int i = 1; i <= count; ++i) {
      ASSERT_EQ(Cli("cast --number 58 --zodiac 1 --save '第" + std::to_string(i) +
                    "次,名称写得长一些好让表占用好几页'" + h)
                    .code,
                0);
    }
  }
  // Saves a number cast for sign 1 made at now ("YYYY-MM-DD HH:MM:SS");
  // true when xyh-cli says it was saved.
  bool SaveCast(const std::string& number, const std::string& now, const std::string& title) const {
    return Cli("cast --number " + number + " --zodiac 1 --now '" + now + "' --save " + title + h)
               .code == 0;
  }
  // Imports 双色球 draws: CSV lines without the header line.
  void ImportDraws(const std::string& lines) const {
    Write("draws.csv", "issue,date,red,blue\n" + lines);
    const CliRun r = Cli("draws import " + Q("draws.csv") + h);
    ASSERT_EQ(r.code, 0) << r.out;
  }
};
#endif

// JSON text as a value; text that does not parse fails the test and is shown.
inline Json::Value ParseJsonText(const std::string& text) {
  Json::Value v;
  Json::CharReaderBuilder b;
  std::string errors;
  std::istringstream in(text);
  EXPECT_TRUE(Json::parseFromStream(b, in, &v, &errors)) << errors << text;
  return v;
}

// Runs a few statements on an SQLite file through python3's sqlite3 module,
// so that a test can shape a file the way another program would.
inline void RunSqlScript(const std::filesystem::path& file, const std::string& script) {
  const std::string command =
      "python3 -c 'import sqlite3,sys; c=sqlite3.connect(sys.argv[1]); "
      "c.executescript(sys.stdin.read()); c.commit()' '" +
      file.string() + "'";
  FILE* pipe = popen(command.c_str(), "w");
  ASSERT_NE(pipe, nullptr);
  std::fputs(script.c_str(), pipe);
  ASSERT_EQ(pclose(pipe), 0);
}

}  // namespace test_support

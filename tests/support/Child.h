#pragma once
// Running a program as a user would, and reading what it wrote.
#include <gtest/gtest.h>
#include <json/json.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

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

// JSON text as a value; text that does not parse fails the test and is shown.
inline Json::Value ParseJsonText(const std::string& text) {
  Json::Value v;
  Json::CharReaderBuilder b;
  std::string errors;
  std::istringstream in(text);
  EXPECT_TRUE(Json::parseFromStream(b, in, &v, &errors)) << errors << text;
  return v;
}

inline std::string FileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
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

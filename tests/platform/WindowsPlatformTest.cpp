// The platform layer's Windows files, where they do what no POSIX test can
// reach: sharing violations, Windows devices, the named-pipe bell, the
// lock opened without sharing, Windows' quoting. Built only for Windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "platform/BellSocket.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/InstanceLock.h"
#include "platform/Process.h"
#include "platform/SaveFile.h"
#include "support/TempDir.h"

using namespace rg_com_ptl_xyh;
namespace fs = std::filesystem;

namespace {

// A folder whose name is Chinese and has a space, as a user's may be.
fs::path ChineseFolder(const test_support::TempDir& dir) {
  const fs::path folder = dir.path() / PathFromUtf8("星衍 测试");
  fs::create_directories(folder);
  return folder;
}

}  // namespace

TEST(WindowsFiles, WhatIsNoFileIsRefusedBeforeWriting) {
  test_support::TempDir dir;
  const fs::path folder = ChineseFolder(dir);
  const fs::path file = folder / PathFromUtf8("历史 记录.csv");
  ASSERT_TRUE(WriteFileAtomically(file, "甲,乙\n"));
  EXPECT_EQ(test_support::FileBytes(file), "甲,乙\n");
  ASSERT_TRUE(WriteFileAtomically(file, "丙\n"));
  EXPECT_EQ(ReadRegularFile(file, 100).value(), "丙\n");
  struct Row {
    const char* name;
    fs::path target;
    const char* userText;
  } rows[] = {
      {"a folder", folder, "同名的文件夹已存在"},
      {"a device", fs::path(L"NUL"), "同名的特殊文件(管道、设备或套接字)已存在,不能覆盖"},
      {"no folder", folder / "无" / "x.csv", "文件夹不存在"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_FALSE(CheckWriteTarget(row.target));
    EXPECT_EQ(SaveWholeFile(row.target, "x").error().message, row.userText);
  }
  EXPECT_EQ(ReadRegularFile(folder, 10).error().problem, rg_FileProblem::Folder);
  EXPECT_EQ(ReadRegularFile(fs::path(L"NUL"), 10).error().problem, rg_FileProblem::Special);
  EXPECT_EQ(ReadRegularFile(folder / "无.csv", 10).error().problem, rg_FileProblem::Missing);
  EXPECT_EQ(ReadRegularFile(file, 2).error().problem, rg_FileProblem::TooLarge);
  // Nothing is left beside the file by the refusals.
  int files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++files;
  EXPECT_EQ(files, 1);
}

TEST(WindowsFiles, AFileAnotherProgramHoldsIsSaidSoAndKept) {
  test_support::TempDir dir;
  const fs::path file = ChineseFolder(dir) / PathFromUtf8("图.png");
  ASSERT_TRUE(WriteFileAtomically(file, "old"));
  // As an editor holds a file: open, sharing nothing.
  HANDLE held = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const auto saved = SaveWholeFile(file, "new");
  const auto read = ReadRegularFile(file, 100);
  CloseHandle(held);
  ASSERT_FALSE(saved);
  EXPECT_EQ(saved.error().message, "文件正被其他程序使用");
  ASSERT_FALSE(read);
  EXPECT_EQ(FileReadText(read.error()), u"文件正被其他程序使用");
  EXPECT_EQ(test_support::FileBytes(file), "old");
}

TEST(WindowsInstance, TheLockAndItsBellBetweenTwoCopies) {
  test_support::TempDir dir;
  const fs::path lock = ChineseFolder(dir) / "xyh.sq";
  rg_InstanceLock first;
  ASSERT_EQ(first.Take(lock), rg_InstanceLock::Outcome::Acquired);
  rg_InstanceLock second;
  EXPECT_EQ(second.Take(lock), rg_InstanceLock::Outcome::HeldElsewhere);

  EXPECT_FALSE(rg_BellSocket::Ring(lock)) << "nobody listens yet";
  rg_BellSocket bell;
  std::string reason;
  ASSERT_TRUE(bell.Listen(lock, &reason)) << reason;
  EXPECT_EQ(bell.TakeRings(), 0) << "reading never blocks";
  rg_BellSocket other;
  EXPECT_FALSE(other.Listen(lock)) << "one listener per lock";
  EXPECT_TRUE(rg_BellSocket::Ring(lock));
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the event handle kept as a number
  EXPECT_EQ(WaitForSingleObject(reinterpret_cast<HANDLE>(bell.Descriptor()), 2000), WAIT_OBJECT_0);
  EXPECT_EQ(bell.TakeRings(), 1);
  EXPECT_EQ(bell.TakeRings(), 0);
  EXPECT_TRUE(rg_BellSocket::Ring(lock)) << "the bell listens again after a ring";
  EXPECT_EQ(WaitForSingleObject(reinterpret_cast<HANDLE>(bell.Descriptor()), 2000),  // NOLINT
            WAIT_OBJECT_0);
  EXPECT_EQ(bell.TakeRings(), 1);
  bell.Close();
  EXPECT_FALSE(rg_BellSocket::Ring(lock));

  first.Release();
  EXPECT_EQ(second.Take(lock), rg_InstanceLock::Outcome::Acquired);
}

TEST(WindowsProcess, ArgumentsArriveWholeWithoutAShell) {
  // cmd.exe's own exit code says whether it saw the words as one: the
  // quoted argument with blanks and quotes must reach it unchanged.
  struct Row {
    const char* name;
    std::vector<std::string> argv;
    int exit;
  } rows[] = {
      {"exit code through", {"cmd.exe", "/c", "exit 7"}, 7},
      {"no such program", {"xyh-no-such-program.exe"}, -1},
      {"nothing", {}, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(RunAndWait(row.argv, 20000), row.exit);
  }
  EXPECT_EQ(PingCommand("example.org", 2),
            (std::vector<std::string>{"ping", "-n", "1", "-w", "2000", "example.org"}));
}

// What a started program reads is what was given, however hostile: the
// quoting of the command line and the runtime's split of it agree.
TEST(WindowsProcess, ArgumentsComeBackAsGiven) {
  test_support::TempDir dir;
  const fs::path out = dir.path() / "参数.bin";
  const std::vector<std::string> words = {"",
                                          "plain",
                                          "two words",
                                          "tab\there",
                                          R"(\\server\share\)",
                                          R"(say "hi")",
                                          R"(")",
                                          R"(a\\\"b)",
                                          "中文 名称",
                                          "line\nbreak",
                                          R"(C:\Program Files\星衍推号\)",
                                          std::string(4000, 'x'),
                                          "*.csv",
                                          "%PATH%",
                                          "a&b|c>d^e"};
  std::vector<std::string> argv = {PathToUtf8(ExecutableDirectory() / XYH_ECHO_ARGUMENTS),
                                   PathToUtf8(out)};
  argv.insert(argv.end(), words.begin(), words.end());
  ASSERT_EQ(RunAndWait(argv, 20000), 0);
  std::string bytes = test_support::FileBytes(out);
  std::vector<std::string> back;
  for (std::size_t end; (end = bytes.find('\0')) != std::string::npos; bytes.erase(0, end + 1))
    back.push_back(bytes.substr(0, end));
  EXPECT_EQ(back, words);
}

TEST(WindowsFolders, TheProgramsFolderAndTheUsersFolders) {
  const fs::path exe = ExecutableDirectory();
  EXPECT_TRUE(fs::exists(exe / "test_platform.exe")) << PathToUtf8(exe);
  test_support::TempDir dir;
  EXPECT_TRUE(IsWritableDirectory(ChineseFolder(dir)));
  EXPECT_FALSE(IsWritableDirectory(dir.path() / "无"));
  EXPECT_EQ(UserProgramFolder().filename(), PathFromUtf8("星衍推号"));
  EXPECT_EQ(InstanceLockFile().parent_path().filename(), PathFromUtf8("星衍推号"));
  EXPECT_NE(InstanceLockFile().parent_path(), UserProgramFolder()) << "roaming, not local";
}

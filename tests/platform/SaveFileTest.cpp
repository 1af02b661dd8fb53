#include "platform/SaveFile.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>

#include "support/TempDir.h"

using namespace rg_com_ptl_xyh;

namespace {

constexpr auto Read = &test_support::FileBytes;

}  // namespace

TEST(SaveFile, TheSystemsReasonInTheUsersWords) {
  const std::pair<int, std::u16string> cases[] = {
      {ENOENT, u"文件夹不存在"}, {EACCES, u"没有写入权限"}, {EPERM, u"没有写入权限"},
      {EROFS, u"文件系统只读"},  {ENOSPC, u"磁盘已满"},     {EDQUOT, u"磁盘已满"},
  };
  for (const auto& [error, text] : cases) EXPECT_EQ(FileErrorText(error), text) << error;
  EXPECT_EQ(FileErrorText(EIO).rfind(u"系统错误:", 0), 0u);
}

TEST(SaveFile, WholeOrNotAtAll) {
  test_support::TempDir dir;
  const auto file = dir.path() / "图.png";
  EXPECT_TRUE(SaveWholeFile(file, "first"));
  EXPECT_EQ(Read(file), "first");
  EXPECT_TRUE(SaveWholeFile(file, "second"));
  EXPECT_EQ(Read(file), "second");
  EXPECT_EQ(SaveWholeFile(dir.path() / "no" / "x.png", "x").error().message, "文件夹不存在");
  // A folder in the way: the earlier folder stays and nothing is left beside it.
  std::filesystem::create_directory(dir.path() / "d");
  EXPECT_FALSE(SaveWholeFile(dir.path() / "d", "x"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "d"));
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 2);  // 图.png and d
  // A FIFO is never replaced, and a link keeps being the link to what it names.
  ASSERT_EQ(mkfifo((dir.path() / "p").c_str(), 0600), 0);
  EXPECT_EQ(SaveWholeFile(dir.path() / "p", "x").error().message,
            "同名的特殊文件(管道、设备或套接字)已存在,不能覆盖");
  EXPECT_TRUE(std::filesystem::is_fifo(dir.path() / "p"));
  std::filesystem::create_symlink(file, dir.path() / "l");
  EXPECT_TRUE(SaveWholeFile(dir.path() / "l", "third"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "l"));
  EXPECT_EQ(Read(file), "third");
}

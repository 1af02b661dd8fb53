#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "platform/Settings.h"
#include "support/TempDir.h"

using namespace rg_com_ptl_xyh;

TEST(Settings, ReadsLikeAProfileFile) {
  test_support::TempDir dir;
  const auto file = dir.path() / "config.ini";
  std::ofstream(file)
      << "\xEF\xBB\xBF; a comment\r\n[Sys]\r\n Update_Day = 2026年12月7日 \r\nquoted=\"a b\"\r\n"
         "[net]\nprobe_host=127.0.0.1\n";
  const rg_Settings s(file);
  EXPECT_EQ(s.Read(u"sys", u"update_day"), u"2026年12月7日");
  EXPECT_EQ(s.Read(u"SYS", u"quoted"), u"a b");
  EXPECT_EQ(s.Read(u"net", u"probe_host"), u"127.0.0.1");
  EXPECT_EQ(s.Read(u"net", u"update_day", u"fallback"), u"fallback");
  EXPECT_EQ(s.Read(u"nosuch", u"x"), u"");
  EXPECT_EQ(rg_Settings(dir.path() / "missing.ini").Read(u"sys", u"update_file"), u"");
}

TEST(Settings, WritesKeepEverythingElse) {
  test_support::TempDir dir;
  const auto file = dir.path() / "sub" / "config.ini";
  rg_Settings s(file);
  ASSERT_TRUE(s.Write(u"sys", u"update_file", u"A.run"));  // creates folder and file
  ASSERT_TRUE(s.Write(u"net", u"probe_host", u"127.0.0.1"));
  ASSERT_TRUE(s.Write(u"sys", u"update_day", u"2026年12月7日"));
  ASSERT_TRUE(s.Write(u"sys", u"update_file", u"B.run"));  // replaced in place
  EXPECT_EQ(s.Read(u"sys", u"update_file"), u"B.run");
  EXPECT_EQ(s.Read(u"sys", u"update_day"), u"2026年12月7日");
  EXPECT_EQ(s.Read(u"net", u"probe_host"), u"127.0.0.1");
  std::ifstream in(file, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(
      text,
      "[sys]\r\nupdate_file=B.run\r\nupdate_day=2026年12月7日\r\n\r\n[net]\r\nprobe_host=127.0.0.1\r\n");
}

// A rewrite keeps the file's byte order mark: without it, a second mark (or
// anything the first one hid from the reader) would start to count.
TEST(Settings, ARewriteKeepsTheByteOrderMark) {
  test_support::TempDir dir;
  const auto file = dir.path() / "config.ini";
  std::ofstream(file, std::ios::binary)
      << "\xEF\xBB\xBF\xEF\xBB\xBF[sys]\r\nupdate_file=hidden.run\r\n";
  rg_Settings s(file);
  const std::u16string before = s.Read(u"sys", u"update_file");
  ASSERT_TRUE(s.Write(u"net", u"probe_host", u"127.0.0.1"));
  EXPECT_EQ(s.Read(u"sys", u"update_file"), before);
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(bytes.rfind("\xEF\xBB\xBF\xEF\xBB\xBF", 0), 0u);
}

// Only a regular file of at most 64 KiB is read; anything else reads as the
// defaults, says why, and is never rewritten.
TEST(Settings, ANonFileOrAHugeFileIsNeitherReadNorRewritten) {
  test_support::TempDir dir;
  const auto big = dir.path() / "big.ini";
  std::ofstream(big, std::ios::binary) << "[net]\r\nprobe_host=127.0.0.1\r\n"
                                       << std::string(rg_Settings::kFileLimit, '\n');
  const auto bigSize = std::filesystem::file_size(big);
  const struct {
    const char* name;
    void (*make)(const std::filesystem::path& file, const std::filesystem::path& big);
    const char* said;
  } cases[] = {
      {"folder", [](const auto& f, const auto&) { std::filesystem::create_directory(f); },
       "folder"},
      {"fifo", [](const auto& f, const auto&) { ::mkfifo(f.c_str(), 0600); }, "FIFO"},
      {"huge", [](const auto& f, const auto& b) { std::filesystem::copy_file(b, f); }, "larger"},
      {"link", [](const auto& f, const auto& b) { std::filesystem::create_symlink(b, f); },
       "larger"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto file = dir.path() / (std::string(c.name) + ".ini");
    c.make(file, big);
    const auto kind = std::filesystem::symlink_status(file).type();
    rg_Settings s(file);
    EXPECT_NE(s.Problem().find(c.said), std::string::npos) << s.Problem();
    EXPECT_EQ(s.Read(u"net", u"probe_host", u"default"), u"default");
    EXPECT_FALSE(s.Write(u"sys", u"update_day", u"x"));
    EXPECT_EQ(std::filesystem::symlink_status(file).type(), kind);
  }
  EXPECT_EQ(std::filesystem::file_size(big), bigSize);
  EXPECT_EQ(rg_Settings(dir.path() / "missing.ini").Problem(), "");
}

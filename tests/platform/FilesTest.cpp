#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>

#include "platform/Files.h"
#include "support/TempDir.h"

using namespace rg_com_ptl_xyh;
namespace fs = std::filesystem;

namespace {

// Why a write was refused; "" when it was not.
std::string Why(const Result<void>& r) { return r ? "" : r.error().message; }

constexpr auto Bytes = &test_support::FileBytes;

void Put(const fs::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

// Names in dir other than the ones a case made itself: a temporary file
// left behind shows up here.
std::size_t Entries(const fs::path& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
}

void MakeSocket(const fs::path& file) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(file.string().size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, file.c_str());
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(fd);
}

}  // namespace

// Every kind of target: a new or regular file (or a link to one) is
// replaced whole; anything else is refused before a byte is written and
// stays as it was.
TEST(Files, WritesOnlyRegularFiles) {
  struct Case {
    const char* name;
    std::function<void(const fs::path& dir, const fs::path& target)> make;
    const char* refusal;  // "" for a write that succeeds
  };
  const Case cases[] = {
      {"new file", [](const fs::path&, const fs::path&) {}, ""},
      {"regular file", [](const fs::path&, const fs::path& t) { Put(t, "old"); }, ""},
      {"folder", [](const fs::path&, const fs::path& t) { fs::create_directory(t); }, "folder"},
      {"fifo", [](const fs::path&, const fs::path& t) { ::mkfifo(t.c_str(), 0600); }, "FIFO"},
      {"socket", [](const fs::path&, const fs::path& t) { MakeSocket(t); }, "socket"},
      {"dangling link",
       [](const fs::path& d, const fs::path& t) { fs::create_symlink(d / "nothing", t); },
       "link to nothing"},
      {"link to folder",
       [](const fs::path& d, const fs::path& t) {
         fs::create_directory(d / "sub");
         fs::create_symlink(d / "sub", t);
       },
       "folder"},
      {"missing folder", [](const fs::path&, const fs::path&) {},
       "folder"},  // target below is inside a folder that does not exist
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test_support::TempDir dir;
    const bool missingFolder = std::string(c.name) == "missing folder";
    const fs::path target = missingFolder ? dir.path() / "no" / "x.csv" : dir.path() / "x.csv";
    c.make(dir.path(), target);
    const std::size_t before = Entries(dir.path());
    const std::string error = Why(WriteFileAtomically(target, "new bytes"));
    if (c.refusal[0] == '\0') {
      EXPECT_EQ(error, "");
      EXPECT_EQ(Bytes(target), "new bytes");
      EXPECT_EQ(Entries(dir.path()), 1u);
    } else {
      EXPECT_NE(error.find(c.refusal), std::string::npos) << error;
      EXPECT_EQ(Why(CheckWriteTarget(target)), error);
      EXPECT_EQ(Entries(dir.path()), before);  // nothing made beside it
    }
  }
  EXPECT_FALSE(WriteFileAtomically("", "x"));
}

TEST(Files, ALinkToAFileStaysALink) {
  test_support::TempDir dir;
  fs::create_directory(dir.path() / "real");
  const fs::path file = dir.path() / "real" / "history.csv";
  Put(file, "old");
  ::chmod(file.c_str(), 0640);
  const fs::path link = dir.path() / "link.csv";
  fs::create_symlink(file, link);
  ASSERT_TRUE(WriteFileAtomically(link, "new"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Bytes(file), "new");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Entries(dir.path() / "real"), 1u);
}

// A write abandoned half way leaves the old file and no temporary one.
TEST(Files, AnUncommittedWriteLeavesTheOldFile) {
  test_support::TempDir dir;
  const fs::path file = dir.path() / "config.ini";
  Put(file, "old");
  {
    rg_AtomicFile half(file);
    ASSERT_TRUE(half.Write("half of it"));
  }
  EXPECT_EQ(Bytes(file), "old");
  EXPECT_EQ(Entries(dir.path()), 1u);
}

TEST(Files, ReadsAreBoundedAndOnlyOfRegularFiles) {
  test_support::TempDir dir;
  const fs::path small = dir.path() / "small";
  Put(small, "12345");
  fs::create_symlink(small, dir.path() / "link");
  fs::create_directory(dir.path() / "folder");
  ::mkfifo((dir.path() / "fifo").c_str(), 0600);  // never opened for writing: no hang
  struct Case {
    fs::path file;
    std::size_t limit;
    rg_FileProblem problem;
  };
  const Case cases[] = {
      {small, 5, rg_FileProblem::None},
      {dir.path() / "link", 5, rg_FileProblem::None},
      {small, 4, rg_FileProblem::TooLarge},
      {dir.path() / "folder", 5, rg_FileProblem::Folder},
      {dir.path() / "fifo", 5, rg_FileProblem::Special},
      {dir.path() / "missing", 5, rg_FileProblem::Missing},
      {"", 5, rg_FileProblem::Missing},
      // A file whose reading fails part way (here at once) is an error,
      // never an empty file.
      {"/proc/self/mem", 1 << 20, rg_FileProblem::Failed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.string());
    const auto read = ReadRegularFile(c.file, c.limit);
    EXPECT_EQ(read ? rg_FileProblem::None : read.error().problem, c.problem);
    EXPECT_EQ(read.value_or(""), read ? "12345" : "");
    EXPECT_TRUE(read || !read.error().message.empty());
  }
}

// A source whose size is not known up front (a pipe, a growing file) is
// cut off by the limit while it is read.
TEST(Files, TheLimitHoldsDuringTheRead) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const std::string bytes(1000, 'x');
  ASSERT_EQ(::write(fds[1], bytes.data(), bytes.size()), 1000);
  ::close(fds[1]);
  const auto read = ReadDescriptor(fds[0], 999);
  ::close(fds[0]);
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error().problem, rg_FileProblem::TooLarge);

  const auto closed = ReadDescriptor(fds[0], 999);
  ASSERT_FALSE(closed);
  EXPECT_EQ(closed.error().problem, rg_FileProblem::Closed);

  test_support::TempDir dir;
  const int folder = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
  EXPECT_EQ(ReadDescriptor(folder, 999).error().problem, rg_FileProblem::Folder);
  ::close(folder);
}

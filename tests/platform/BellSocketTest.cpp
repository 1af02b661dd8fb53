// The bell beside the single-instance lock.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "platform/BellSocket.h"
#include "support/TempDir.h"

using namespace rg_com_ptl_xyh;
namespace fs = std::filesystem;

namespace {

// What a crashed copy leaves: a socket file with nobody reading it.
void LeaveStaleSocket(const fs::path& path) {
  const int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.native().size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, path.c_str());
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0)
      << std::strerror(errno);
  close(fd);
}

bool IsSocket(const fs::path& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

}  // namespace

TEST(BellSocket, ARingReachesTheListenerOnceAndReadingNeverBlocks) {
  test_support::TempDir dir;
  const fs::path lock = dir.path() / "xyh.sq";
  EXPECT_FALSE(rg_BellSocket::Ring(lock)) << "nobody listens yet";
  rg_BellSocket bell;
  std::string reason;
  ASSERT_TRUE(bell.Listen(lock, &reason)) << reason;
  const fs::path path = dir.path() / "xyh.sq.bell";
  ASSERT_EQ(rg_BellSocket::PathFor(lock), path);
  ASSERT_TRUE(IsSocket(path));
  struct stat info {};
  ASSERT_EQ(lstat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u) << "only this user may ring";

  EXPECT_EQ(bell.TakeRings(), 0);
  EXPECT_TRUE(rg_BellSocket::Ring(lock));
  EXPECT_TRUE(rg_BellSocket::Ring(lock));
  EXPECT_EQ(bell.TakeRings(), 2);
  EXPECT_EQ(bell.TakeRings(), 0);

  // Anything but the word is dropped.
  const int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  for (const char* noise : {"", "rais", "hello", "\x01\x02"}) {
    sendto(fd, noise, std::strlen(noise), 0, reinterpret_cast<sockaddr*>(&address), sizeof address);
  }
  close(fd);
  EXPECT_EQ(bell.TakeRings(), 0);

  bell.Close();
  EXPECT_FALSE(fs::exists(fs::symlink_status(path))) << "the bell is removed when the copy ends";
  EXPECT_FALSE(rg_BellSocket::Ring(lock));
}

TEST(BellSocket, WhatACrashedCopyLeftNeitherHangsARingNorStopsTheNextListener) {
  test_support::TempDir dir;
  const fs::path lock = dir.path() / "xyh.sq";
  const fs::path path = rg_BellSocket::PathFor(lock);
  LeaveStaleSocket(path);
  ASSERT_TRUE(IsSocket(path));
  EXPECT_FALSE(rg_BellSocket::Ring(lock)) << "a socket nobody reads refuses at once";

  rg_BellSocket bell;
  std::string reason;
  ASSERT_TRUE(bell.Listen(lock, &reason)) << reason;
  EXPECT_TRUE(rg_BellSocket::Ring(lock));
  EXPECT_EQ(bell.TakeRings(), 1);

  // A plain file by that name is cleared the same way.
  bell.Close();
  std::ofstream(path) << "left over";
  EXPECT_FALSE(rg_BellSocket::Ring(lock));
  ASSERT_TRUE(bell.Listen(lock, &reason)) << reason;
  EXPECT_TRUE(rg_BellSocket::Ring(lock));
  EXPECT_EQ(bell.TakeRings(), 1);
}

TEST(BellSocket, ALinkAtTheBellsNameIsNeverFollowed) {
  test_support::TempDir dir;
  const fs::path elsewhere = dir.path() / "other" / "xyh.sq";
  fs::create_directories(elsewhere.parent_path());
  rg_BellSocket other;
  ASSERT_TRUE(other.Listen(elsewhere));

  const fs::path lock = dir.path() / "xyh.sq";
  fs::create_symlink(rg_BellSocket::PathFor(elsewhere), rg_BellSocket::PathFor(lock));
  EXPECT_FALSE(rg_BellSocket::Ring(lock));
  EXPECT_EQ(other.TakeRings(), 0);

  // Listening replaces the link itself, not the socket it points to.
  rg_BellSocket bell;
  ASSERT_TRUE(bell.Listen(lock));
  EXPECT_TRUE(IsSocket(rg_BellSocket::PathFor(lock)));
  EXPECT_TRUE(IsSocket(rg_BellSocket::PathFor(elsewhere)));
  EXPECT_TRUE(rg_BellSocket::Ring(lock));
  EXPECT_EQ(bell.TakeRings(), 1);
  EXPECT_EQ(other.TakeRings(), 0);
}

TEST(BellSocket, ADeepFolderStillHasItsBellBesideTheLock) {
  test_support::TempDir dir;
  fs::path folder = dir.path();
  for (int i = 0; i < 4; ++i) folder /= std::string(40, static_cast<char>('a' + i));
  fs::create_directories(folder);
  const fs::path lock = folder / "xyh.sq";
  ASSERT_GT(rg_BellSocket::PathFor(lock).native().size(), sizeof(sockaddr_un::sun_path));
  rg_BellSocket bell;
  std::string reason;
  ASSERT_TRUE(bell.Listen(lock, &reason)) << reason;
  EXPECT_TRUE(IsSocket(folder / "xyh.sq.bell"));
  EXPECT_TRUE(rg_BellSocket::Ring(lock));
  EXPECT_EQ(bell.TakeRings(), 1);
}

TEST(BellSocket, ALaterListenerKeepsItsBellWhenAnEarlierOneCloses) {
  test_support::TempDir dir;
  const fs::path lock = dir.path() / "xyh.sq";
  rg_BellSocket first;
  ASSERT_TRUE(first.Listen(lock));
  rg_BellSocket second;
  ASSERT_TRUE(second.Listen(lock));
  first.Close();
  EXPECT_TRUE(rg_BellSocket::Ring(lock));
  EXPECT_EQ(second.TakeRings(), 1);
}

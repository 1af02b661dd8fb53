#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Folders.h"
#include "support/TempDir.h"

using namespace rg_com_ptl_xyh;
namespace fs = std::filesystem;

TEST(Folders, HomeRulesInOrder) {
  const fs::path exe = "/opt/xyh/bin";
  const fs::path user = "/home/u/.local/share/星衍推号";
  using S = ProgramHome::Source;
  const ProgramHome option = ChooseHome(fs::path("/data/mine"), "/env/home", exe, true, user);
  EXPECT_EQ(option.dir, "/data/mine");
  EXPECT_EQ(option.source, S::Option);
  EXPECT_EQ(ChooseHome(std::nullopt, "/env/home", exe, true, user).dir, "/env/home");
  EXPECT_EQ(ChooseHome(std::nullopt, "", exe, true, user).dir, exe);
  EXPECT_EQ(ChooseHome(fs::path(), nullptr, exe, true, user).source, S::Executable);
  // An installed program keeps its data in the user's folder.
  const ProgramHome installed = ChooseHome(std::nullopt, nullptr, exe, false, user);
  EXPECT_EQ(installed.dir, user);
  EXPECT_EQ(installed.source, S::User);
}

TEST(Folders, UserFolderFollowsXdgDataHome) {
  const char* saved = std::getenv("XDG_DATA_HOME");
  const std::string keep = saved ? saved : "";
  setenv("XDG_DATA_HOME", "/x/data", 1);
  EXPECT_EQ(UserProgramFolder(), fs::path("/x/data") / PathFromUtf8("星衍推号"));
  setenv("XDG_DATA_HOME", "relative/not/allowed", 1);
  EXPECT_EQ(UserDataRoot(), fs::path(std::getenv("HOME")) / ".local" / "share");
  if (saved)
    setenv("XDG_DATA_HOME", keep.c_str(), 1);
  else
    unsetenv("XDG_DATA_HOME");
}

TEST(Folders, AnInstalledLayoutIsRecognised) {
  test_support::TempDir root;
  fs::create_directories(root.path() / "usr" / "bin");
  EXPECT_FALSE(IsInstalledLayout(root.path() / "usr" / "bin"));
  fs::create_directories(root.path() / "usr" / "share" / "xyh");
  EXPECT_TRUE(IsInstalledLayout(root.path() / "usr" / "bin"));
  EXPECT_FALSE(IsInstalledLayout(root.path() / "usr"));
}

TEST(Folders, ExecutableDirectoryAndUtf8Paths) {
  EXPECT_TRUE(fs::exists(ExecutableDirectory()));
  EXPECT_EQ(PathToUtf8(PathFromUtf8("星衍推号/a")), "星衍推号/a");
  test_support::TempDir dir;
  EXPECT_TRUE(IsWritableDirectory(dir.path()));
  EXPECT_FALSE(IsWritableDirectory(dir.path() / "missing"));
}

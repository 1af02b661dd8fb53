#pragma once
// Where the program and its data live.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace rg_com_ptl_xyh {

// The folder name of the program's own data under the user's data folder.
inline constexpr const char* kUserFolderName = "星衍推号";

// Paths to and from UTF-8 text, whatever the system's narrow encoding.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

// The directory of the running executable.
std::filesystem::path ExecutableDirectory();

// The user's data folder: $XDG_DATA_HOME, else ~/.local/share (on Windows
// %LOCALAPPDATA%).
std::filesystem::path UserDataRoot();
// UserDataRoot() / "星衍推号".
std::filesystem::path UserProgramFolder();

// The single-instance lock: UserProgramFolder()/xyh.sq, on Windows
// %APPDATA%\星衍推号\xyh.sq.
std::filesystem::path InstanceLockFile();

bool IsWritableDirectory(const std::filesystem::path& dir);

// The program directory: where config.ini and src/data/xyh.db live.
struct ProgramHome {
  enum class Source { Option, Environment, Executable, User };
  std::filesystem::path dir;
  Source source = Source::Executable;
};
// --home DIR wins, then $XYH_HOME, then the executable's folder for a
// portable copy (its folder can be written), else the user's folder (an
// installed program).
ProgramHome ResolveHome(const std::optional<std::filesystem::path>& option);
// The rule itself, with the environment passed in.
ProgramHome ChooseHome(const std::optional<std::filesystem::path>& option, const char* xyhHome,
                       const std::filesystem::path& executableDir, bool portable,
                       const std::filesystem::path& userFolder);

// An installed program sits in a bin folder beside share/xyh; it never
// keeps data beside itself, even when it could (run by root).
bool IsInstalledLayout(const std::filesystem::path& executableDir);

}  // namespace rg_com_ptl_xyh

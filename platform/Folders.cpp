#include "platform/Folders.h"

#include <cstdlib>
#include <system_error>

#include <unistd.h>

namespace rg_com_ptl_xyh {

namespace fs = std::filesystem;

fs::path PathFromUtf8(std::string_view utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToUtf8(const fs::path& path) {
  const std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

fs::path ExecutableDirectory() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path(ec) : exe.parent_path();
}

fs::path UserDataRoot() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
    return fs::path(xdg);
  }
  const char* home = std::getenv("HOME");
  return fs::path(home != nullptr && home[0] != '\0' ? home : "/tmp") / ".local" / "share";
}

fs::path UserProgramFolder() { return UserDataRoot() / PathFromUtf8(kUserFolderName); }

bool IsWritableDirectory(const fs::path& dir) { return access(dir.c_str(), W_OK | X_OK) == 0; }

ProgramHome ChooseHome(const std::optional<fs::path>& option, const char* xyhHome,
                       const fs::path& executableDir, bool portable, const fs::path& userFolder) {
  if (option && !option->empty()) return {fs::absolute(*option), ProgramHome::Source::Option};
  if (xyhHome != nullptr && xyhHome[0] != '\0') {
    return {fs::absolute(PathFromUtf8(xyhHome)), ProgramHome::Source::Environment};
  }
  // An installed program cannot write beside itself; saving there would
  // fail every time.
  if (portable) return {executableDir, ProgramHome::Source::Executable};
  return {userFolder, ProgramHome::Source::User};
}

bool IsInstalledLayout(const fs::path& executableDir) {
  std::error_code ec;
  return executableDir.filename() == "bin" &&
         fs::is_directory(executableDir.parent_path() / "share" / "xyh", ec);
}

ProgramHome ResolveHome(const std::optional<fs::path>& option) {
  const fs::path exe = ExecutableDirectory();
  return ChooseHome(option, std::getenv("XYH_HOME"), exe,
                    IsWritableDirectory(exe) && !IsInstalledLayout(exe), UserProgramFolder());
}

}  // namespace rg_com_ptl_xyh

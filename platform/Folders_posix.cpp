#include "platform/Folders.h"

#include <cstdlib>
#include <system_error>

#include <unistd.h>

namespace rg_com_ptl_xyh {

namespace fs = std::filesystem;

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

fs::path InstanceLockFile() { return UserProgramFolder() / "xyh.sq"; }

bool IsWritableDirectory(const fs::path& dir) { return access(dir.c_str(), W_OK | X_OK) == 0; }

ProgramHome ResolveHome(const std::optional<fs::path>& option) {
  const fs::path exe = ExecutableDirectory();
  return ChooseHome(option, std::getenv("XYH_HOME"), exe,
                    IsWritableDirectory(exe) && !IsInstalledLayout(exe), UserProgramFolder());
}

}  // namespace rg_com_ptl_xyh

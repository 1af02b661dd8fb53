#include "platform/Folders.h"

#include <system_error>

namespace rg_com_ptl_xyh {

namespace fs = std::filesystem;

fs::path PathFromUtf8(std::string_view utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToUtf8(const fs::path& path) {
  const std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

fs::path UserProgramFolder() { return UserDataRoot() / PathFromUtf8(kUserFolderName); }

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

}  // namespace rg_com_ptl_xyh

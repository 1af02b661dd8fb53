#include <filesystem>

#include "platform/Folders.h"
#include "platform/Process.h"
#include "update/UpdateService.h"

namespace rg_com_ptl_xyh {

std::u16string InstallerName(const rg_UpdateOffer& offer) { return offer.md5 + u".exe"; }

bool LaunchInstaller(const std::filesystem::path& file) {
  // Silent: the installer waits for this program to close, then replaces
  // it in place and keeps the history and settings beside it.
  return StartDetached({PathToUtf8(file), "/S"});
}

}  // namespace rg_com_ptl_xyh

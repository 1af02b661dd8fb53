#include <filesystem>
#include <system_error>

#include "platform/Folders.h"
#include "platform/Process.h"
#include "update/UpdateService.h"

namespace rg_com_ptl_xyh {

std::u16string InstallerName(const rg_UpdateOffer& offer) { return offer.md5 + u".run"; }

bool LaunchInstaller(const std::filesystem::path& file) {
  // A download arrives without the execute bit; a failure to add it shows
  // as a failure to start.
  std::error_code ec;
  using std::filesystem::perms;
  std::filesystem::permissions(file, perms::owner_exec | perms::group_exec | perms::others_exec,
                               std::filesystem::perm_options::add, ec);
  return StartDetached({PathToUtf8(file)});
}

}  // namespace rg_com_ptl_xyh

// Any bytes as an update manifest. Whatever is accepted must name a plain
// file of the program directory and give sane sizes and addresses.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "update/UpdateFiles.h"
#include "update/UpdateService.h"

using namespace rg_com_ptl_xyh;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view json(reinterpret_cast<const char*>(data), size);
  const auto offer = ParseManifest(json);
  if (!offer) return 0;
  if (!IsMd5Text(offer->md5)) __builtin_trap();
  const std::filesystem::path home = "/program/dir";
  const auto installer = FileInProgramDir(home, InstallerName(*offer));
  if (!installer || installer->parent_path() != home) __builtin_trap();
  const std::int64_t bound = InstallerByteBound(offer->size);
  if (bound <= 0 || bound > kMaxInstallerBytes) __builtin_trap();
  if (offer->size > 0 && offer->size < static_cast<double>(kMaxInstallerBytes) &&
      static_cast<double>(bound) < offer->size) {
    __builtin_trap();
  }
  if (const auto address = DownloadAddress(offer->url)) {
    if (address->rfind(u"https://", 0) != 0) __builtin_trap();
  }
  (void)MegabyteText(offer->size);
  (void)IsNewer(*offer);
  return 0;
}

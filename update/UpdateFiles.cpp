#include "update/UpdateFiles.h"

#include <system_error>

#include "platform/DateTime.h"
#include "platform/Folders.h"
#include "platform/Settings.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

bool IsPlainFileName(std::u16string_view name) {
  if (name.empty() || name == u"." || name == u"..") return false;
  for (char16_t c : name) {
    if (c == u'/' || c == u'\\' || c == u':' || c < 0x20 || c == 0x7F) return false;
  }
  return true;
}

std::optional<std::filesystem::path> FileInProgramDir(const std::filesystem::path& home,
                                                      std::u16string_view name) {
  if (home.empty() || !IsPlainFileName(name)) return std::nullopt;
  return home / PathFromUtf8(ToUtf8(name));
}

bool RemoveLeftoverInstaller(const rg_Settings& settings, const std::filesystem::path& home) {
  const auto file = FileInProgramDir(home, settings.Read(kSysSection, kUpdateFileKey));
  if (!file) return false;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(*file, ec)) return false;
  return std::filesystem::remove(*file, ec);
}

bool UpdateCheckDue(const rg_Settings& settings, double today) {
  return settings.Read(kSysSection, kUpdateDayKey) != DayText(today);
}

}  // namespace rg_com_ptl_xyh

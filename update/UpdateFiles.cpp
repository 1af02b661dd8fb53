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
    if (c == u'/' || c == u'\\' || c == u':' || c == u'\0') return false;
  }
  return true;
}

bool RemoveLeftoverInstaller(const rg_Settings& settings, const std::filesystem::path& home) {
  const std::u16string name = settings.Read(kSysSection, kUpdateFileKey);
  if (!IsPlainFileName(name)) return false;
  std::error_code ec;
  const std::filesystem::path file = home / PathFromUtf8(ToUtf8(name));
  if (!std::filesystem::is_regular_file(file, ec)) return false;
  return std::filesystem::remove(file, ec);
}

bool UpdateCheckDue(const rg_Settings& settings, double today) {
  return settings.Read(kSysSection, kUpdateDayKey) != DayText(today);
}

}  // namespace rg_com_ptl_xyh

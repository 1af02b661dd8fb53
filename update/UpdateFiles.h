#pragma once
// The update service's traces in config.ini: the installer left from the
// last run, and the day an update was last offered.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace rg_com_ptl_xyh {

class rg_Settings;

inline constexpr std::u16string_view kSysSection = u"sys";
inline constexpr std::u16string_view kUpdateFileKey = u"update_file";
inline constexpr std::u16string_view kUpdateDayKey = u"update_day";

// A name with no folder part at all: not empty, no separators, no control
// characters, not "." or "..".
bool IsPlainFileName(std::u16string_view name);
// home / name when name is a plain file name, else nullopt: the one way the
// update service turns a name into a path it writes, reads or deletes.
std::optional<std::filesystem::path> FileInProgramDir(const std::filesystem::path& home,
                                                      std::u16string_view name);

// Deletes the installer that "update_file" names in the program directory.
// Only a plain file name is honoured, so an edited configuration can never
// delete anything else. Returns true when a file was deleted.
bool RemoveLeftoverInstaller(const rg_Settings& settings, const std::filesystem::path& home);

// True when no update was offered today (the check should run).
bool UpdateCheckDue(const rg_Settings& settings, double today);

}  // namespace rg_com_ptl_xyh

#pragma once
// A file the user asked to save (a picture, an exported history): written
// whole or not at all, and when it cannot be, the system's reason in the
// user's words.
#include <filesystem>
#include <string>
#include <string_view>

namespace rg_com_ptl_xyh {

struct rg_FileRead;

// Written as every file of the program is (rg_AtomicFile): only a regular
// file, replaced whole, so a failure leaves any earlier file as it was.
// Empty on success, else why it failed in the user's words (FileErrorText).
std::u16string SaveWholeFile(const std::filesystem::path& path, std::string_view bytes);

// "文件夹不存在", "没有写入权限", "文件系统只读", "磁盘已满", … for an errno
// value; the system's own words for the rest.
std::u16string FileErrorText(int errorNumber);

// Why a file (ReadRegularFile) could not be read, in the user's words.
std::u16string FileReadText(const rg_FileRead& read);

}  // namespace rg_com_ptl_xyh

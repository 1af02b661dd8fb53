#pragma once
// A file the user asked to save (a picture, an exported history): written
// whole or not at all, and when it cannot be, the system's reason in the
// user's words.
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace rg_com_ptl_xyh {

// Written as every file of the program is (rg_AtomicFile): only a regular
// file, replaced whole, so a failure leaves any earlier file as it was.
// The failure's message says why in the user's words (FileErrorText), as
// UTF-8.
Result<void> SaveWholeFile(const std::filesystem::path& path, std::string_view bytes);

// "文件夹不存在", "没有写入权限", "文件系统只读", "磁盘已满", … for an errno
// value; the system's own words for the rest.
std::u16string FileErrorText(int errorNumber);

// Why a file (ReadRegularFile) could not be read, in the user's words.
std::u16string FileReadText(const Failure& read);

}  // namespace rg_com_ptl_xyh

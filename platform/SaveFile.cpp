#include "platform/SaveFile.h"

#include <cerrno>
#include <cstring>

#include "platform/Files.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

std::u16string FileReadText(const Failure& read) {
  switch (read.problem) {
    case rg_FileProblem::None: return {};
    case rg_FileProblem::Missing: return u"文件不存在";
    case rg_FileProblem::Folder: return u"这是一个文件夹";
    case rg_FileProblem::Special: return u"这不是普通文件(管道、设备或套接字)";
    case rg_FileProblem::TooLarge: return u"文件太大";
    case rg_FileProblem::Closed: return u"输入已关闭";
    case rg_FileProblem::Failed: break;
  }
  if (read.errorNumber == EACCES || read.errorNumber == EPERM) return u"没有读取权限";
  if (read.errorNumber == kErrorInUse) return FileErrorText(kErrorInUse);
  return read.errorNumber != 0 ? u"系统错误:" + FromUtf8(std::strerror(read.errorNumber))
                               : FromUtf8(read.message);
}

namespace {

// Why a target the writer refused before writing is no file to replace, in
// the user's words.
std::u16string RefusedTargetText(const std::filesystem::path& path, const std::string& why) {
  // Windows' devices (NUL, CON) have no status a path query shows: the
  // writer's own finding says it.
  if (why == "it is a device" || why.rfind("it is a FIFO", 0) == 0)
    return u"同名的特殊文件(管道、设备或套接字)已存在,不能覆盖";
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::status(path, ec);
  if (std::filesystem::exists(st)) {
    if (std::filesystem::is_directory(st)) return FileErrorText(EISDIR);
    if (!std::filesystem::is_regular_file(st))
      return u"同名的特殊文件(管道、设备或套接字)已存在,不能覆盖";
  } else if (std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec))) {
    return u"同名的链接指向不存在的文件";
  }
  const std::filesystem::path parent = path.has_parent_path() ? path.parent_path() : ".";
  if (!std::filesystem::is_directory(parent, ec)) return FileErrorText(ENOENT);
  return FromUtf8(why);
}

}  // namespace

namespace {

std::u16string SaveFailureText(const std::filesystem::path& path, std::string_view bytes) {
  if (path.filename().empty()) return FileErrorText(EISDIR);
  rg_AtomicFile file(path);
  if (file.Write(bytes) && file.Commit()) return {};
  const int error = file.ErrorNumber();
  if (error == 0) return RefusedTargetText(path, file.Error());
  // A folder that is there but takes no new files (/proc) is no missing
  // folder.
  std::error_code ec;
  if (error == ENOENT && std::filesystem::is_directory(path.parent_path(), ec))
    return u"无法在该文件夹中新建文件";
  return FileErrorText(error);
}

}  // namespace

Result<void> SaveWholeFile(const std::filesystem::path& path, std::string_view bytes) {
  std::u16string why = SaveFailureText(path, bytes);
  if (why.empty()) return {};
  return Fail(rg_FileProblem::Failed, ToUtf8(why));
}

}  // namespace rg_com_ptl_xyh

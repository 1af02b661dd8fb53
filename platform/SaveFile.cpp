#include "platform/SaveFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

std::u16string FileErrorText(int errorNumber) {
  switch (errorNumber) {
    case ENOENT:
    case ENOTDIR: return u"文件夹不存在";
    case EACCES:
    case EPERM: return u"没有写入权限";
    case EROFS: return u"文件系统只读";
    case ENOSPC:
    case EDQUOT: return u"磁盘已满";
    case EISDIR: return u"同名的文件夹已存在";
    case ENAMETOOLONG: return u"文件名太长";
    default: break;
  }
  return u"系统错误:" + FromUtf8(std::strerror(errorNumber));
}

std::u16string SaveWholeFile(const std::filesystem::path& path, std::string_view bytes) {
  if (path.filename().empty()) return FileErrorText(EISDIR);
  std::string pattern =
      (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    const int error = errno;
    // A folder that is there but takes no new files (/proc) is no missing
    // folder.
    std::error_code ec;
    if (error == ENOENT && std::filesystem::is_directory(path.parent_path(), ec))
      return u"无法在该文件夹中新建文件";
    return FileErrorText(error);
  }
  const auto fail = [&](int error) {
    close(fd);
    unlink(name.data());
    return FileErrorText(error);
  };
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    done += static_cast<std::size_t>(n);
  }
  // mkstemp makes it private; a saved picture is as readable as any file
  // the user makes.
  const mode_t mask = umask(0);
  umask(mask);
  if (fchmod(fd, 0666 & ~mask) != 0 || fsync(fd) != 0) return fail(errno);
  if (close(fd) != 0) {
    const int error = errno;
    unlink(name.data());
    return FileErrorText(error);
  }
  if (std::rename(name.data(), path.c_str()) != 0) {
    const int error = errno;
    unlink(name.data());
    return FileErrorText(error);
  }
  return {};
}

}  // namespace rg_com_ptl_xyh

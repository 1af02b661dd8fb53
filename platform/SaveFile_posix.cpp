#include <cerrno>
#include <cstring>

#include "platform/Files.h"
#include "platform/SaveFile.h"
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
    case kErrorInUse: return u"文件正被其他程序使用";
    default: break;
  }
  return u"系统错误:" + FromUtf8(std::strerror(errorNumber));
}

}  // namespace rg_com_ptl_xyh

#include "platform/InstanceLock.h"

#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace rg_com_ptl_xyh {

bool rg_InstanceLock::Acquire(const std::filesystem::path& file) {
  Release();
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
#ifdef _WIN32
  HANDLE h = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  HANDLE m = CreateFileMappingW(h, nullptr, PAGE_READWRITE, 0, 4096, nullptr);
  if (m == nullptr) {
    CloseHandle(h);
    return false;
  }
  file_ = h;
  mapping_ = m;
  return true;
#else
  const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  fd_ = fd;
  return true;
#endif
}

void rg_InstanceLock::Release() {
#ifdef _WIN32
  if (mapping_ != nullptr) CloseHandle(mapping_);
  if (file_ != nullptr) CloseHandle(file_);
  mapping_ = file_ = nullptr;
#else
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
#endif
}

bool rg_InstanceLock::Held() const {
#ifdef _WIN32
  return file_ != nullptr;
#else
  return fd_ >= 0;
#endif
}

}  // namespace rg_com_ptl_xyh

#include "platform/InstanceLock.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace rg_com_ptl_xyh {

rg_InstanceLock::Outcome rg_InstanceLock::Take(const std::filesystem::path& file, std::string* reason) {
  Release();
  const auto fail = [reason](const std::string& why) {
    if (reason != nullptr) *reason = why;
    return Outcome::Failed;
  };
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  if (ec) return fail(ec.message());
#ifdef _WIN32
  HANDLE h = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // Only a file that another process has open is "another copy".
    if (error == ERROR_SHARING_VIOLATION) return Outcome::HeldElsewhere;
    return fail(std::system_category().message(static_cast<int>(error)));
  }
  HANDLE m = CreateFileMappingW(h, nullptr, PAGE_READWRITE, 0, 4096, nullptr);
  if (m == nullptr) {
    const DWORD error = GetLastError();
    CloseHandle(h);
    return fail(std::system_category().message(static_cast<int>(error)));
  }
  file_ = h;
  mapping_ = m;
  return Outcome::Acquired;
#else
  const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return fail(std::strerror(errno));
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    close(fd);
    if (error == EWOULDBLOCK) return Outcome::HeldElsewhere;
    return fail(std::strerror(error));
  }
  fd_ = fd;
  return Outcome::Acquired;
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

#include <cstring>
#include <system_error>

#include "platform/InstanceLock.h"
#include "platform/Win32.h"

namespace rg_com_ptl_xyh {

rg_InstanceLock::Outcome rg_InstanceLock::Take(const std::filesystem::path& file,
                                               std::string* reason) {
  Release();
  const auto fail = [reason](const std::string& why) {
    if (reason != nullptr) *reason = why;
    return Outcome::Failed;
  };
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  if (ec) return fail(ec.message());
  // No sharing at all: a second open fails with a sharing violation while
  // this process lives, and Windows closes the handle when it dies.
  HANDLE h = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
      return Outcome::HeldElsewhere;
    return fail(std::strerror(win::ErrnoOf(error)));
  }
  fd_ = reinterpret_cast<std::intptr_t>(h);
  return Outcome::Acquired;
}

void rg_InstanceLock::Release() {
  // NOLINTNEXTLINE(performance-no-int-to-ptr): the handle kept as a number
  if (fd_ != -1) CloseHandle(reinterpret_cast<HANDLE>(fd_));
  fd_ = -1;
}

bool rg_InstanceLock::Held() const { return fd_ != -1; }

}  // namespace rg_com_ptl_xyh

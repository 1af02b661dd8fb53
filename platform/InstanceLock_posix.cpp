#include "platform/InstanceLock.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

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
}

void rg_InstanceLock::Release() {
  if (fd_ >= 0) close(static_cast<int>(fd_));
  fd_ = -1;
}

bool rg_InstanceLock::Held() const { return fd_ >= 0; }

}  // namespace rg_com_ptl_xyh

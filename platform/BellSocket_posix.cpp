#include "platform/BellSocket.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace rg_com_ptl_xyh {

namespace {

constexpr char kRing[] = "raise";
constexpr std::size_t kRingSize = sizeof kRing - 1;

// A socket address for `name` in the folder open as `dirFd`. A path too
// long for sun_path is reached through the folder's descriptor instead, so
// the bell stays beside the lock whatever the folder's depth.
bool Address(const std::filesystem::path& path, int dirFd, sockaddr_un* address, socklen_t* size) {
  std::memset(address, 0, sizeof *address);
  address->sun_family = AF_UNIX;
  std::string text = path.native();
  if (text.size() >= sizeof address->sun_path) {
    if (dirFd < 0) return false;
    text = "/proc/self/fd/" + std::to_string(dirFd) + "/" + path.filename().native();
    if (text.size() >= sizeof address->sun_path) return false;
  }
  std::memcpy(address->sun_path, text.data(), text.size());
  *size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + text.size() + 1);
  return true;
}

// The lock's folder, opened without following a final link.
int OpenFolder(const std::filesystem::path& path) {
  const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
  return open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace

std::filesystem::path rg_BellSocket::PathFor(const std::filesystem::path& lockFile) {
  std::filesystem::path bell = lockFile;
  bell += ".bell";
  return bell;
}

bool rg_BellSocket::Listen(const std::filesystem::path& lockFile, std::string* reason) {
  Close();
  const auto fail = [reason](int error) {
    if (reason != nullptr) *reason = std::strerror(error);
    return false;
  };
  const std::filesystem::path path = PathFor(lockFile);
  const int dir = OpenFolder(path);
  if (dir < 0) return fail(errno);
  const std::string name = path.filename().native();
  // Only the lock holder gets here, so whatever has the name is left over
  // (a crashed copy's socket) or was put there by mistake. unlinkat removes
  // a link itself, never what it points to; a folder is left alone.
  struct stat info {};
  if (fstatat(dir, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(info.st_mode)) {
    unlinkat(dir, name.c_str(), 0);
  }
  sockaddr_un address;
  socklen_t size = 0;
  if (!Address(path, dir, &address, &size)) {
    close(dir);
    return fail(ENAMETOOLONG);
  }
  const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    const int error = errno;
    close(dir);
    return fail(error);
  }
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), size) != 0) {
    const int error = errno;
    close(fd);
    close(dir);
    return fail(error);
  }
  // Sending to a Unix socket takes write permission on it: only this user rings.
  fchmodat(dir, name.c_str(), 0600, 0);
  if (fstatat(dir, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
    device_ = info.st_dev;
    inode_ = info.st_ino;
  }
  close(dir);
  fd_ = fd;
  path_ = path;
  return true;
}

int rg_BellSocket::TakeRings() {
  int rings = 0;
  if (fd_ < 0) return rings;
  char buffer[64];
  for (;;) {
    const ssize_t n = recv(static_cast<int>(fd_), buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0) {
      if (errno == EINTR) continue;
      break;  // EAGAIN: all read
    }
    // Only the one word counts; anything else on the socket is dropped.
    if (static_cast<std::size_t>(n) >= kRingSize && std::memcmp(buffer, kRing, kRingSize) == 0)
      ++rings;
  }
  return rings;
}

void rg_BellSocket::Close() {
  if (fd_ < 0) return;
  close(static_cast<int>(fd_));
  fd_ = -1;
  // Only our own socket file: one made by a later copy stays.
  struct stat info {};
  if (lstat(path_.c_str(), &info) == 0 && S_ISSOCK(info.st_mode) && info.st_dev == device_ &&
      info.st_ino == inode_) {
    unlink(path_.c_str());
  }
  path_.clear();
}

bool rg_BellSocket::Ring(const std::filesystem::path& lockFile) {
  const std::filesystem::path path = PathFor(lockFile);
  const int dir = OpenFolder(path);
  if (dir < 0) return false;
  struct stat info {};
  if (fstatat(dir, path.filename().c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
      !S_ISSOCK(info.st_mode)) {
    close(dir);
    return false;
  }
  sockaddr_un address;
  socklen_t size = 0;
  bool sent = false;
  if (Address(path, dir, &address, &size)) {
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd >= 0) {
      // A stale socket with no listener refuses at once; a full queue means
      // rings are already waiting to be read.
      ssize_t n;
      do {
        n = sendto(fd, kRing, kRingSize, MSG_DONTWAIT | MSG_NOSIGNAL,
                   reinterpret_cast<const sockaddr*>(&address), size);
      } while (n < 0 && errno == EINTR);
      sent = n == static_cast<ssize_t>(kRingSize) || (n < 0 && errno == EAGAIN);
      close(fd);
    }
  }
  close(dir);
  return sent;
}

}  // namespace rg_com_ptl_xyh

#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace rg_com_ptl_xyh {

namespace fs = std::filesystem;

namespace {

std::string Reason(const std::string& what, int code) { return what + ": " + std::strerror(code); }

// What a file of this mode is, for a refusal; "" for a regular file.
std::string NotRegular(mode_t mode) {
  if (S_ISREG(mode)) return {};
  if (S_ISDIR(mode)) return "it is a folder";
  if (S_ISFIFO(mode)) return "it is a FIFO (named pipe)";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device";
  if (S_ISSOCK(mode)) return "it is a socket";
  return "it is not a regular file";
}

rg_FileProblem ProblemOf(mode_t mode) {
  return S_ISDIR(mode) ? rg_FileProblem::Folder : rg_FileProblem::Special;
}

// Reads fd to its end, refusing past limit.
Result<std::string> ReadAll(int fd, std::size_t limit) {
  std::string bytes;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EISDIR) return Fail(rg_FileProblem::Folder, "it is a folder");
      if (errno == EBADF) return Fail(rg_FileProblem::Closed, "it is closed", errno);
      return Fail(rg_FileProblem::Failed, Reason("reading failed", errno), errno);
    }
    if (n == 0) break;
    if (bytes.size() + static_cast<std::size_t>(n) > limit)
      return Fail(rg_FileProblem::TooLarge,
                  "it is larger than " + std::to_string(limit) + " bytes");
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return bytes;
}

std::atomic<unsigned> tempCounter{0};

}  // namespace

Result<std::string> ReadRegularFile(const fs::path& file, std::size_t limit) {
  if (file.empty()) return Fail(rg_FileProblem::Missing, "no file name was given");
  // Non-blocking, so that opening a FIFO never waits for a writer.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int code = errno;
    if (code == ENOENT) return Fail(rg_FileProblem::Missing, "it does not exist", code);
    return Fail(rg_FileProblem::Failed, Reason("it cannot be opened", code), code);
  }
  Result<std::string> read;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    read = Fail(rg_FileProblem::Failed, Reason("it cannot be examined", errno), errno);
  } else if (std::string why = NotRegular(st.st_mode); !why.empty()) {
    read = Fail(ProblemOf(st.st_mode), std::move(why));
  } else if (static_cast<std::uintmax_t>(st.st_size) > limit) {
    read = Fail(rg_FileProblem::TooLarge, "it is larger than " + std::to_string(limit) + " bytes");
  } else {
    read = ReadAll(fd, limit);
  }
  ::close(fd);
  return read;
}

Result<std::string> ReadDescriptor(int fd, std::size_t limit) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    if (errno == EBADF) return Fail(rg_FileProblem::Closed, "it is closed", errno);
    return Fail(rg_FileProblem::Failed, Reason("it cannot be examined", errno), errno);
  }
  if (S_ISDIR(st.st_mode)) return Fail(rg_FileProblem::Folder, "it is a folder");
  return ReadAll(fd, limit);
}

namespace {

// The file a write to target replaces (the end of its links), or why none.
std::string ResolveWriteTarget(const fs::path& target, fs::path& file) {
  if (target.empty()) return "no file name was given";
  struct stat st {};
  if (::lstat(target.c_str(), &st) != 0) {
    if (errno != ENOENT) return Reason("it cannot be examined", errno);
    file = target;
    const fs::path parent = target.has_parent_path() ? target.parent_path() : fs::path(".");
    struct stat dir {};
    if (::stat(parent.c_str(), &dir) != 0) return Reason("its folder cannot be used", errno);
    if (!S_ISDIR(dir.st_mode)) return "its folder is not a folder";
    return {};
  }
  if (!S_ISLNK(st.st_mode)) {
    file = target;
    return NotRegular(st.st_mode);
  }
  char* resolved = ::realpath(target.c_str(), nullptr);
  if (resolved == nullptr) {
    return errno == ENOENT ? "it is a link to nothing"
                           : Reason("its link cannot be followed", errno);
  }
  file = resolved;
  std::free(resolved);
  if (::stat(file.c_str(), &st) != 0) return Reason("it cannot be examined", errno);
  return NotRegular(st.st_mode);
}

}  // namespace

Result<void> CheckWriteTarget(const fs::path& target) {
  fs::path file;
  if (std::string why = ResolveWriteTarget(target, file); !why.empty())
    return Fail(rg_FileProblem::Failed, std::move(why));
  return {};
}

rg_AtomicFile::rg_AtomicFile(const fs::path& target) {
  if (std::string why = ResolveWriteTarget(target, file_); !why.empty()) {
    error_ = std::move(why);
    return;
  }
  // An existing file keeps its permissions; a new one gets the umask's.
  mode_t mode = 0666;
  struct stat st {};
  const bool exists = ::stat(file_.c_str(), &st) == 0;
  if (exists) mode = st.st_mode & 07777;
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temp_ = file_;
    temp_.replace_filename("." + file_.filename().string() + ".part-" + std::to_string(::getpid()) +
                           "-" + std::to_string(tempCounter++));
    fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    const int code = errno;
    temp_.clear();
    Fail("the file cannot be created beside it", code);
    return;
  }
  if (exists && ::fchmod(static_cast<int>(fd_), mode) != 0)
    Fail("its permissions cannot be kept", errno);
}

rg_AtomicFile::~rg_AtomicFile() {
  if (!committed_) Discard();
}

void rg_AtomicFile::Fail(const std::string& what, int code) {
  // The first failure is the one to tell; clean-up never replaces it.
  if (error_.empty()) {
    error_ = Reason(what, code);
    errorNumber_ = code;
  }
  Discard();
}

void rg_AtomicFile::Discard() {
  if (fd_ >= 0) ::close(static_cast<int>(fd_));
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

bool rg_AtomicFile::Write(std::string_view bytes) {
  if (!Ok()) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(static_cast<int>(fd_), bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("writing failed", errno);
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool rg_AtomicFile::Commit() {
  if (!Ok()) return false;
  if (::fsync(static_cast<int>(fd_)) != 0) {
    Fail("flushing to the disk failed", errno);
    return false;
  }
  const int fd = static_cast<int>(fd_);
  fd_ = -1;
  if (::close(fd) != 0) {
    Fail("closing failed", errno);
    return false;
  }
  if (::rename(temp_.c_str(), file_.c_str()) != 0) {
    Fail("renaming into place failed", errno);
    return false;
  }
  temp_.clear();
  committed_ = true;
  // The rename itself is made durable; a file system that cannot sync a
  // folder (EINVAL) has nothing to make durable.
  const fs::path parent = file_.has_parent_path() ? file_.parent_path() : fs::path(".");
  const int dir = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    const bool synced = ::fsync(dir) == 0 || errno == EINVAL;
    const int code = errno;
    ::close(dir);
    if (!synced) {
      error_ = Reason("flushing the folder to the disk failed", code);
      errorNumber_ = code;
      return false;
    }
  }
  return true;
}

Result<void> WriteFileAtomically(const fs::path& target, std::string_view bytes) {
  rg_AtomicFile file(target);
  if (file.Write(bytes) && file.Commit()) return {};
  return Fail(rg_FileProblem::Failed, file.Error(), file.ErrorNumber());
}

}  // namespace rg_com_ptl_xyh

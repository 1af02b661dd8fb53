#pragma once
// Files the program reads and writes itself: every read bounded while it
// happens, every write replacing a regular file whole or not at all, and
// every failure along the way said.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace rg_com_ptl_xyh {

// The error number of a file another program holds open, which Windows
// refuses to replace or read; no errno value says it, and POSIX never does.
inline constexpr int kErrorInUse = 0x10020;

// A refused read's Failure names the problem, the system's error number
// where one failed, and says why in English without the file's name ("it is
// a folder").

// A regular file (or a link to one) of at most limit bytes. The limit holds
// while reading, so a file that grows meanwhile is refused too. A FIFO is
// refused without waiting for a writer.
Result<std::string> ReadRegularFile(const std::filesystem::path& file, std::size_t limit);
// An open descriptor to its end (standard input: a pipe, a file, a
// terminal), at most limit bytes; a folder and a closed descriptor are
// refused.
Result<std::string> ReadDescriptor(int fd, std::size_t limit);

// Whether target can be written as a file: a new file in an existing
// folder, a regular file, or a link to one; the failure says why not.
Result<void> CheckWriteTarget(const std::filesystem::path& target);

// A file written beside its target and renamed over it once complete, so a
// failed write never leaves half a file where a good one was. A link to a
// regular file keeps being the link: the file it names is replaced. The
// temporary file goes when the object does unless Commit succeeded.
class rg_AtomicFile {
 public:
  explicit rg_AtomicFile(const std::filesystem::path& target);
  ~rg_AtomicFile();
  rg_AtomicFile(const rg_AtomicFile&) = delete;
  rg_AtomicFile& operator=(const rg_AtomicFile&) = delete;

  // False once anything failed; Error() says what first failed.
  bool Ok() const { return error_.empty(); }
  const std::string& Error() const { return error_; }
  // The system's error number of that first failure; 0 when the target
  // itself was refused (a folder, a FIFO, a device, a socket, no name).
  int ErrorNumber() const { return errorNumber_; }
  bool Write(std::string_view bytes);
  // Flushed to the disk, closed and renamed over the target.
  bool Commit();

 private:
  void Fail(const std::string& what, int code);
  void Discard();

  std::filesystem::path file_;  // what the rename replaces
  std::filesystem::path temp_;
  std::intptr_t fd_ = -1;  // a descriptor, or on Windows a HANDLE
  bool committed_ = false;
  std::string error_;
  int errorNumber_ = 0;
};

// The whole of bytes as target; the failure says what failed and the
// system's error number (0 when the target itself was refused).
Result<void> WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

}  // namespace rg_com_ptl_xyh

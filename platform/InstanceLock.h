#pragma once
// The single-instance lock: an exclusive lock on a file for the life of the
// process (flock on POSIX; on Windows the file opened with no sharing). The system drops it when
// the process dies, so a crash never blocks the next start.
#include <cstdint>
#include <filesystem>
#include <string>

namespace rg_com_ptl_xyh {

class rg_InstanceLock {
 public:
  rg_InstanceLock() = default;
  ~rg_InstanceLock() { Release(); }
  rg_InstanceLock(const rg_InstanceLock&) = delete;
  rg_InstanceLock& operator=(const rg_InstanceLock&) = delete;

  enum class Outcome {
    Acquired,
    HeldElsewhere,  // another copy of the program runs
    Failed,         // the file cannot be made or locked at all; reason says why
  };
  // Creates the folder as needed.
  Outcome Take(const std::filesystem::path& file, std::string* reason = nullptr);
  // True when the lock was taken.
  bool Acquire(const std::filesystem::path& file) { return Take(file) == Outcome::Acquired; }
  void Release();
  bool Held() const;

 private:
  std::intptr_t fd_ = -1;  // a descriptor, or on Windows a HANDLE
};

}  // namespace rg_com_ptl_xyh

#pragma once
// The bell beside the single-instance lock: on POSIX a Unix datagram socket
// named "<lock>.bell" in the lock's folder, on Windows a named pipe whose
// name is made from the lock's path. The copy that holds the lock listens;
// a second start sends one short message and ends. Nothing blocks: the
// listener is read when it is readable, and a ring either reaches a
// listener at once or fails at once.
#include <cstdint>
#include <filesystem>
#include <string>

namespace rg_com_ptl_xyh {

class rg_BellSocket {
 public:
  rg_BellSocket() = default;
  ~rg_BellSocket() { Close(); }
  rg_BellSocket(const rg_BellSocket&) = delete;
  rg_BellSocket& operator=(const rg_BellSocket&) = delete;

  // Where the bell of a lock file lives.
  static std::filesystem::path PathFor(const std::filesystem::path& lockFile);

  // Only by the copy that holds the lock: whatever a crashed copy left at
  // the bell's name is removed first. False (reason says why) when no bell
  // could be made; the program then runs without one.
  bool Listen(const std::filesystem::path& lockFile, std::string* reason = nullptr);
  // What the event loop watches: the descriptor to watch for reading
  // (POSIX) or the event handle set when a ring waits (Windows); -1 when
  // nobody listens.
  std::intptr_t Descriptor() const { return fd_; }
  // Reads every datagram waiting, without blocking; the number of rings
  // among them.
  int TakeRings();
  void Close();

  // True when a listening copy received the ring. Refuses to send through
  // anything at the bell's name but a socket (a link is never followed).
  static bool Ring(const std::filesystem::path& lockFile);

 private:
  std::intptr_t fd_ = -1;
  // Windows: the pipe and its pending connection (an OVERLAPPED).
  std::intptr_t pipe_ = -1;
  alignas(8) unsigned char pending_[32] = {};
  std::filesystem::path path_;
  unsigned long long device_ = 0;
  unsigned long long inode_ = 0;
};

}  // namespace rg_com_ptl_xyh

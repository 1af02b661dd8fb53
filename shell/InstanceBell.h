#pragma once
// How a second start reaches the copy that runs: a local socket beside the
// single-instance lock. The running copy listens; a second one rings and
// ends, and the running copy brings its window to the front.
#include <QObject>

#include <filesystem>

class QLocalServer;

namespace rg_com_ptl_xyh {

class rg_InstanceBell : public QObject {
  Q_OBJECT
 public:
  explicit rg_InstanceBell(QObject* parent = nullptr);
  ~rg_InstanceBell() override;

  // Only by the copy that holds the lock, so a socket left by a crashed
  // copy can be cleared. False when no socket could be made.
  bool Listen(const std::filesystem::path& lockFile);
  // True when the running copy took the ring within the time.
  static bool Ring(const std::filesystem::path& lockFile, int timeoutMs = 2000);
  // The socket's name: its path beside the lock, or a short name when the
  // path is too long for a socket.
  static QString Name(const std::filesystem::path& lockFile);

 signals:
  void rung();

 private:
  QLocalServer* server_ = nullptr;
};

}  // namespace rg_com_ptl_xyh

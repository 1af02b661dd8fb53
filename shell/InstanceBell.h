#pragma once
// How a second start reaches the copy that runs: the bell beside the
// single-instance lock (platform/BellSocket.h), watched by the event loop.
// The running copy listens; a second one rings and ends, and the running
// copy brings its window to the front.
#include <QObject>
#include <QWidget>

#include <filesystem>

#include "platform/BellSocket.h"

namespace rg_com_ptl_xyh {

class rg_InstanceBell : public QObject {
  Q_OBJECT
 public:
  explicit rg_InstanceBell(QObject* parent = nullptr);
  ~rg_InstanceBell() override;

  // Only by the copy that holds the lock, so a socket left by a crashed
  // copy can be cleared. False when no socket could be made.
  bool Listen(const std::filesystem::path& lockFile);
  // True when the running copy took the ring; never waits.
  static bool Ring(const std::filesystem::path& lockFile) { return rg_BellSocket::Ring(lockFile); }

 signals:
  void rung();

 private:
  rg_BellSocket socket_;
  // What watches the bell for the event loop: a QSocketNotifier, on
  // Windows a QWinEventNotifier (InstanceBell_win.cpp).
  QObject* notifier_ = nullptr;
};

// The running copy's answer to a ring: the window restored, raised and
// active, and a message or question open in it in front of it, since the
// window takes no input until it is answered.
void BringForward(QWidget* window);

}  // namespace rg_com_ptl_xyh

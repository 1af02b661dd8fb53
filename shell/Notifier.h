#pragma once
// Word of a win on the desktop: the one thing the window asks of the
// system's notifications, behind a small interface so that a test can stand
// in for the tray. Each system's way lives in its own file (Notifier_posix,
// Notifier_win), chosen by CMake.
#include <QString>

#include <memory>

class QObject;

namespace rg_com_ptl_xyh {

class rg_Notifier {
 public:
  virtual ~rg_Notifier() = default;
  // Shows the message; false when the system has no way to (no tray, no
  // notification service), and nothing was shown.
  virtual bool Show(const QString& title, const QString& text) = 0;
};

// The system's notifier: a tray message where a tray exists; on Linux
// otherwise the desktop's notification service.
std::unique_ptr<rg_Notifier> MakeSystemNotifier(QObject* parent);

}  // namespace rg_com_ptl_xyh

#include "shell/InstanceBell.h"

#include <QApplication>
#include <QWinEventNotifier>

#include <windows.h>

namespace rg_com_ptl_xyh {

rg_InstanceBell::rg_InstanceBell(QObject* parent) : QObject(parent) {}

rg_InstanceBell::~rg_InstanceBell() {
  delete notifier_;  // before the descriptor it watches is closed
  notifier_ = nullptr;
}

bool rg_InstanceBell::Listen(const std::filesystem::path& lockFile) {
  delete notifier_;
  notifier_ = nullptr;
  if (!socket_.Listen(lockFile)) return false;
  auto* notifier = new QWinEventNotifier(
      reinterpret_cast<HANDLE>(socket_.Descriptor()),  // NOLINT(performance-no-int-to-ptr)
      this);
  notifier_ = notifier;
  connect(notifier, &QWinEventNotifier::activated, this, [this] {
    // Several rings waiting bring the window forward once.
    if (socket_.TakeRings() > 0) emit rung();
  });
  return true;
}

void BringForward(QWidget* window) {
  window->showNormal();
  window->raise();
  window->activateWindow();
  // Minimised while a message box was open, the window never tells Qt so
  // (it is disabled), and showNormal above does nothing: the system is
  // asked directly. The ringing copy allowed this one to take the front.
  const auto restore = [](QWidget* w) {
    const auto hwnd = reinterpret_cast<HWND>(w->winId());  // NOLINT(performance-no-int-to-ptr)
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    SetForegroundWindow(hwnd);
  };
  restore(window);
  if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != window)
    restore(modal);
}

}  // namespace rg_com_ptl_xyh

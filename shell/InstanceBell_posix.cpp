#include "shell/InstanceBell.h"

#include <QApplication>
#include <QSocketNotifier>

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
  auto* notifier =
      new QSocketNotifier(static_cast<qintptr>(socket_.Descriptor()), QSocketNotifier::Read, this);
  notifier_ = notifier;
  connect(notifier, &QSocketNotifier::activated, this, [this] {
    // Several rings waiting bring the window forward once.
    if (socket_.TakeRings() > 0) emit rung();
  });
  return true;
}

void BringForward(QWidget* window) {
  window->showNormal();
  window->raise();
  window->activateWindow();
  if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != window) {
    modal->raise();
    modal->activateWindow();
  }
}

}  // namespace rg_com_ptl_xyh

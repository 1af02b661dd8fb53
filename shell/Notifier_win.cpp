#include <QApplication>
#include <QSystemTrayIcon>

#include "shell/Notifier.h"

namespace rg_com_ptl_xyh {

namespace {

// Windows always has the notification area: its balloon is the message.
class WindowsNotifier : public rg_Notifier {
 public:
  explicit WindowsNotifier(QObject* parent) : parent_(parent) {}

  bool Show(const QString& title, const QString& text) override {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
    if (tray_ == nullptr) tray_ = new QSystemTrayIcon(QApplication::windowIcon(), parent_);
    tray_->show();
    tray_->showMessage(title, text, QSystemTrayIcon::Information, 10000);
    return true;
  }

 private:
  QObject* parent_;
  QSystemTrayIcon* tray_ = nullptr;
};

}  // namespace

std::unique_ptr<rg_Notifier> MakeSystemNotifier(QObject* parent) {
  return std::make_unique<WindowsNotifier>(parent);
}

}  // namespace rg_com_ptl_xyh

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QSystemTrayIcon>

#include "shell/Notifier.h"

namespace rg_com_ptl_xyh {

namespace {

constexpr int kShownMs = 10000;

class LinuxNotifier : public rg_Notifier {
 public:
  explicit LinuxNotifier(QObject* parent) : parent_(parent) {}

  bool Show(const QString& title, const QString& text) override {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
      if (tray_ == nullptr) {
        tray_ = new QSystemTrayIcon(QApplication::windowIcon(), parent_);
        tray_->setToolTip(QStringLiteral("星衍推号"));
      }
      tray_->show();
      tray_->showMessage(title, text, QSystemTrayIcon::Information, kShownMs);
      return true;
    }
    return ToService(title, text);
  }

 private:
  // org.freedesktop.Notifications on the session bus; the body is plain
  // text (saved titles are the player's own words, never markup).
  static bool ToService(const QString& title, const QString& text) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr ||
        !bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.Notifications")))
      return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QString body = text.toHtmlEscaped();
    call << QStringLiteral("星衍推号") << 0u << QStringLiteral("com.ptl.xyh") << title << body
         << QStringList() << QVariantMap() << kShownMs;
    const QDBusMessage reply = bus.call(call, QDBus::Block, 3000);
    return reply.type() == QDBusMessage::ReplyMessage;
  }

  QObject* parent_;
  QSystemTrayIcon* tray_ = nullptr;
};

}  // namespace

std::unique_ptr<rg_Notifier> MakeSystemNotifier(QObject* parent) {
  return std::make_unique<LinuxNotifier>(parent);
}

}  // namespace rg_com_ptl_xyh

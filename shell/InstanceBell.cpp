#include "shell/InstanceBell.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include "platform/Folders.h"

namespace rg_com_ptl_xyh {

namespace {
constexpr char kRing[] = "raise\n";
// Unix socket paths hold about a hundred bytes.
constexpr int kMaxSocketPath = 100;
}  // namespace

rg_InstanceBell::rg_InstanceBell(QObject* parent) : QObject(parent) {}

rg_InstanceBell::~rg_InstanceBell() = default;

QString rg_InstanceBell::Name(const std::filesystem::path& lockFile) {
  const QString path = QString::fromStdString(PathToUtf8(lockFile)) + QStringLiteral(".bell");
#ifndef _WIN32
  if (path.toUtf8().size() < kMaxSocketPath) return path;
#endif
  const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
  return QStringLiteral("xyh-") + QString::fromLatin1(hash);
}

bool rg_InstanceBell::Listen(const std::filesystem::path& lockFile) {
  const QString name = Name(lockFile);
  delete server_;
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  QLocalServer::removeServer(name);
  if (!server_->listen(name)) return false;
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        // Only the one word; anything else on the socket is ignored.
        if (socket->readAll().startsWith(QByteArray(kRing).trimmed())) emit rung();
        socket->disconnectFromServer();
      });
    }
  });
  return true;
}

bool rg_InstanceBell::Ring(const std::filesystem::path& lockFile, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(Name(lockFile));
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(kRing);
  const bool sent = socket.waitForBytesWritten(timeoutMs);
  socket.waitForDisconnected(timeoutMs);
  return sent;
}

}  // namespace rg_com_ptl_xyh

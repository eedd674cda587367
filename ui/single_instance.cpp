#include "ui/single_instance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <pwd.h>
#include <unistd.h>

namespace plumex {
namespace {
constexpr char kRestore[] = "restore\n";
}

QString SingleInstanceName() {
  QString override_name = qEnvironmentVariable("PLUMEX_INSTANCE");
  if (!override_name.isEmpty()) return override_name;
  QString user;
  if (const passwd* pw = getpwuid(getuid())) user = QString::fromLocal8Bit(pw->pw_name);
  if (user.isEmpty()) user = QString::number(getuid());
  return QStringLiteral("Plumex-") + user;
}

bool HandOverToRunningInstance(const QString& name, int timeout_ms) {
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(timeout_ms)) return false;
  socket.write(kRestore);
  if (!socket.waitForBytesWritten(timeout_ms)) return false;
  // The running instance answers once it has taken the request.
  socket.waitForReadyRead(timeout_ms);
  socket.disconnectFromServer();
  return true;
}

InstanceServer::InstanceServer(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (!socket->canReadLine()) return;
        QByteArray line = socket->readLine();
        if (line == kRestore) {
          emit restoreRequested();
          socket->write("ok\n");
          socket->flush();
        }
      });
    }
  });
}

bool InstanceServer::Listen(const QString& name) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (server_->listen(name)) return true;
  if (server_->serverError() != QAbstractSocket::AddressInUseError) return false;
  // Nobody answered on it (HandOverToRunningInstance came first), so it is left over.
  QLocalServer::removeServer(name);
  return server_->listen(name);
}

}  // namespace plumex

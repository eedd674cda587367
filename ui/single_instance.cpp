#include "ui/single_instance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <pwd.h>
#include <unistd.h>

namespace plumex {
namespace {
constexpr char kRestore[] = "restore\n";
constexpr char kCompose[] = "compose ";
}

QString SingleInstanceName(const std::filesystem::path& mail_root) {
  QString prefix = qEnvironmentVariable("PLUMEX_INSTANCE");
  if (prefix.isEmpty()) {
    QString user;
    if (const passwd* pw = getpwuid(getuid())) user = QString::fromLocal8Bit(pw->pw_name);
    if (user.isEmpty()) user = QString::number(getuid());
    prefix = QStringLiteral("Plumex-") + user;
  }
  // The same store reached by another spelling of its path is the same store.
  std::error_code ec;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(mail_root, ec);
  if (ec) canonical = mail_root.lexically_normal();
  std::string text = canonical.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  const QByteArray digest = QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Sha256);
  return prefix + QLatin1Char('-') + QString::fromLatin1(digest.toHex().left(16));
}

bool HandOverToRunningInstance(const QString& name, int timeout_ms, const QString& mailto) {
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(timeout_ms)) return false;
  if (!mailto.isEmpty()) socket.write(kCompose + mailto.toUtf8().replace('\n', ' ') + "\n");
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
        while (socket->canReadLine()) {
          QByteArray line = socket->readLine();
          if (line.startsWith(kCompose)) {
            emit composeRequested(QString::fromUtf8(line.mid(sizeof kCompose - 1).trimmed()));
          } else if (line == kRestore) {
            emit restoreRequested();
            socket->write("ok\n");
            socket->flush();
          }
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

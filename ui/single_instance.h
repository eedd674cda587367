// One running program per user: a second start finds the first through a local socket named
// after the user, asks it to restore and raise its window, and exits without a window.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace plumex {

// "Plumex-" + the user's name; $PLUMEX_INSTANCE replaces it (tests run their own instances).
QString SingleInstanceName();

// True when a running instance took the restore request.
bool HandOverToRunningInstance(const QString& name, int timeout_ms = 2000);

class InstanceServer : public QObject {
  Q_OBJECT
 public:
  explicit InstanceServer(QObject* parent = nullptr);
  // Starts listening; a socket left behind by a program that crashed is replaced.
  bool Listen(const QString& name);

 signals:
  void restoreRequested();

 private:
  QLocalServer* server_;
};

}  // namespace plumex

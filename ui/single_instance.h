// One running program per mail store: a second start on the same store finds the first
// through a local socket named after the user and the store, asks it to restore and raise its
// window (and to open a "mailto:" address it was given), and exits without a window. Two
// stores can be open at once, each once.
#pragma once

#include <QObject>
#include <QString>
#include <filesystem>

class QLocalServer;

namespace plumex {

// "Plumex-" + the user's name + "-" + a digest of the store's path; $PLUMEX_INSTANCE replaces
// the first part (tests run their own instances).
QString SingleInstanceName(const std::filesystem::path& mail_root);

// True when a running instance took the restore request; a "mailto:" address goes with it.
bool HandOverToRunningInstance(const QString& name, int timeout_ms = 2000, const QString& mailto = QString());

class InstanceServer : public QObject {
  Q_OBJECT
 public:
  explicit InstanceServer(QObject* parent = nullptr);
  // Starts listening; a socket left behind by a program that crashed is replaced.
  bool Listen(const QString& name);

 signals:
  void restoreRequested();
  // The second start was given a "mailto:" address.
  void composeRequested(const QString& mailto);

 private:
  QLocalServer* server_;
};

}  // namespace plumex

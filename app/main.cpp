// The Qt program: one instance per user, the windows created in their order, the message loop.
#include <QApplication>
#include <QStringList>
#include <optional>
#include <string>

#include "platform/mail_root.h"
#include "ui/app_windows.h"
#include "ui/frm_main.h"
#include "ui/single_instance.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Plumex"));
  QApplication::setQuitOnLastWindowClosed(false);

  std::optional<std::string> root;
  const QStringList args = QApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--root") && i + 1 < args.size())
      root = args[++i].toStdString();
    else if (args[i].startsWith(QLatin1String("--root=")))
      root = args[i].mid(7).toStdString();
  }

  // Before any window exists: a running instance takes over and this one leaves.
  const QString instance = plumex::SingleInstanceName();
  if (plumex::HandOverToRunningInstance(instance)) return 0;
  plumex::InstanceServer server;
  server.Listen(instance);

  plumex::AppWindows windows(plumex::ResolveMailRoot(root));
  plumex::TfrmMain* main_window = windows.frmMain.get();
  QObject::connect(&server, &plumex::InstanceServer::restoreRequested, main_window,
                   &plumex::TfrmMain::RestoreFromSecondInstance);
  QObject::connect(main_window, &plumex::TfrmMain::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
  windows.ShowAtStart();
  return app.exec();
}

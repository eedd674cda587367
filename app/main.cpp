// The Qt program: one instance per mail store, the windows created in their order, the
// message loop. Usage: plumex [--root DIR] [mailto:ADDRESS]
#include <QApplication>
#include <QIcon>
#include <QStringList>
#include <optional>
#include <string>

#include "platform/mail_root.h"
#include "ui/app_windows.h"
#include "ui/frm_main.h"
#include "ui/japanese_translations.h"
#include "ui/single_instance.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Plumex"));
  QApplication::setApplicationVersion(QStringLiteral(PLUMEX_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("plumex"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("plumex")));  // installed in hicolor
  QApplication::setQuitOnLastWindowClosed(false);
  plumex::LoadJapaneseTranslations(app);

  std::optional<std::string> root;
  QString mailto;
  const QStringList args = QApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--root") && i + 1 < args.size())
      root = args[++i].toStdString();
    else if (args[i].startsWith(QLatin1String("--root=")))
      root = args[i].mid(7).toStdString();
    else if (args[i].startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
      mailto = args[i];
  }
  const std::filesystem::path mail_root = plumex::ResolveMailRoot(root);

  // Before any window exists: an instance running on the same store takes over (and the
  // address to write to) and this one leaves.
  const QString instance = plumex::SingleInstanceName(mail_root);
  if (plumex::HandOverToRunningInstance(instance, 2000, mailto)) return 0;
  plumex::InstanceServer server;
  server.Listen(instance);

  plumex::AppWindows windows(mail_root);
  plumex::TfrmMain* main_window = windows.frmMain.get();
  QObject::connect(&server, &plumex::InstanceServer::composeRequested, main_window, &plumex::TfrmMain::ComposeMailto);
  QObject::connect(&server, &plumex::InstanceServer::restoreRequested, main_window,
                   &plumex::TfrmMain::RestoreFromSecondInstance);
  QObject::connect(main_window, &plumex::TfrmMain::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
  windows.ShowAtStart();
  main_window->OfferAccountSetup();
  if (!mailto.isEmpty()) main_window->ComposeMailto(mailto);
  return app.exec();
}

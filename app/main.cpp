// The Qt program: one instance per mail store, the windows created in their order, the
// message loop. Usage: plumex [--root DIR] [mailto:ADDRESS]
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QStringList>
#include <optional>
#include <string>

#include "platform/mail_root.h"
#include "platform/store_lock.h"
#include "port/error_text.h"
#include "shell/shell_texts.h"
#include "ui/qt_text.h"
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

  // One writer per store: a plumex-cli command writing it (a scheduled receive, say) is waited
  // for a few seconds; a store that stays taken is said so, and the program ends.
  std::optional<plumex::StoreLock> store_lock;
  try {
    store_lock = plumex::StoreLock::Acquire(mail_root);
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, QStringLiteral("Plumex"), plumex::ToQ(plumex::ErrorText(e)));
    return 1;
  }
  if (!store_lock) {
    QMessageBox::critical(nullptr, QStringLiteral("Plumex"),
                          QString::fromUtf8(plumex::texts::kStoreBusy.data(), plumex::texts::kStoreBusy.size()) +
                              plumex::PathToQ(mail_root));
    return 1;
  }

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

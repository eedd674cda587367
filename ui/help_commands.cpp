#include "ui/help_commands.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWidget>

#include "shell/library_versions.h"
#include "ui/close_on_escape.h"
#include "ui/place_on_screen.h"

#ifndef PLUMEX_VERSION
#define PLUMEX_VERSION "5.0"
#endif
#ifndef PLUMEX_HOMEPAGE
#define PLUMEX_HOMEPAGE "https://plumex.example.jp/"
#endif

namespace plumex {
namespace {

// A browser the desktop would start for the scheme: the user's choice ($BROWSER), the
// desktop's default handler, or one of the usual browsers on the path.
bool DesktopHasBrowser(const QString& scheme) {
  if (!qEnvironmentVariableIsEmpty("BROWSER")) return true;
  const QString xdg_mime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
  if (!xdg_mime.isEmpty()) {
    QProcess query;
    query.start(xdg_mime, {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/") + scheme});
    if (query.waitForFinished(3000) && !query.readAllStandardOutput().trimmed().isEmpty()) return true;
  }
  for (const char* name : {"x-www-browser", "firefox", "firefox-esr", "chromium", "google-chrome", "epiphany-browser"})
    if (!QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty()) return true;
  return false;
}

}  // namespace

QUrl OnlineHelpUrl() { return QUrl(QStringLiteral(PLUMEX_HOMEPAGE)); }

std::string VersionText(const std::filesystem::path& mail_root) {
  return VersionInformation(PLUMEX_VERSION, mail_root, qVersion());
}

QWidget* ShowGuide(QWidget* parent, std::function<void(const QUrl&)> open_link) {
  auto* window = parent->findChild<QWidget*>(QStringLiteral("frmGuide"), Qt::FindDirectChildrenOnly);
  if (!window) {
    window = new QWidget(parent, Qt::Window);
    window->setObjectName(QStringLiteral("frmGuide"));
    window->setWindowTitle(QStringLiteral("Plumex 使用方法"));
    auto* browser = new QTextBrowser(window);
    browser->setObjectName(QStringLiteral("guideText"));
    browser->setOpenLinks(false);
    QObject::connect(browser, &QTextBrowser::anchorClicked, window,
                     [open_link](const QUrl& url) { if (open_link) open_link(url); });
    QFile guide(QStringLiteral(":/help/guide.html"));
    if (guide.open(QIODevice::ReadOnly)) browser->setHtml(QString::fromUtf8(guide.readAll()));
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    window->resize(640, 560);
    CloseOnEscape(window);
  }
  if (!window->isVisible()) PlaceOnScreen(window, parent);
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

bool OpenInBrowser(const QUrl& url) { return DesktopHasBrowser(url.scheme()) && QDesktopServices::openUrl(url); }

}  // namespace plumex

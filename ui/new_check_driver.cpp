#include "ui/new_check_driver.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVariantMap>

#include "platform/clock.h"
#include "store/generated_id.h"
#include "ui/frm_main.h"
#include "ui/frm_new_check.h"
#include "ui/icons.h"
#include "ui/qt_text.h"
#include "ui/run_guarded.h"

namespace plumex {
namespace {

// A desktop notification over the session bus, sent without waiting for an answer: nothing
// happens where no notification service runs.
void DesktopNotification(const QString& title, const QString& text) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
  call << QStringLiteral("Plumex") << 0u << QString() << title << text << QStringList() << QVariantMap() << -1;
  bus.send(call);
}

}  // namespace

NewCheckDriver::NewCheckDriver(AppCore& core, TfrmMain& main, TfrmNewCheck& window, QObject* parent)
    : QObject(parent), core_(core), main_(main), window_(window) {
  timer_ = new QTimer(this);
  timer_->setSingleShot(true);  // a tick never overlaps the next: the timer runs again after it
  connect(timer_, &QTimer::timeout, this, &NewCheckDriver::Tick);
  connect(&window_, &TfrmNewCheck::finishClicked, this, &NewCheckDriver::Finish);
  // The icon goes with the main window, and when a second start brings the window back.
  connect(&main_, &TfrmMain::closed, this, [this] {
    timer_->stop();
    RemoveIcon();
  });
  connect(&main_, &TfrmMain::restored, this, &NewCheckDriver::RemoveIcon);
  // One short beep, which returns at once: the window never waits for a sound.
  beep = [] { QApplication::beep(); };
  notify = DesktopNotification;
}

NewCheckDriver::~NewCheckDriver() { RemoveIcon(); }

bool NewCheckDriver::Start(NewCheckCommands::StartKind kind) {
  AppCore& core = core_;
  std::optional<int> seconds;
  RunGuarded(nullptr, core.Ui(), [&] { seconds = core.MailCheck().Start(kind); });
  if (!seconds) return false;
  if (kind == NewCheckCommands::StartKind::AfterDialog) window_.Clear();
  if (!core.NewCheck().receive_all) window_.SetLabel(QString());
  HideMainWindow();
  timer_->start(*seconds * 1000);  // the first check one interval later
  return true;
}

// A tick belongs to no window: what it tells goes to the window in front. Its own failure is
// shown like a command's, and the check goes on.
void NewCheckDriver::Tick() {
  timer_->stop();
  AppCore& core = core_;
  NewCheckTickResult result;
  RunGuarded(nullptr, core.Ui(), [&] { result = core.MailCheck().Tick(); });
  main_.SyncTreeSelection();  // a receive may have put the inbox on screen
  // "終了" pressed during the tick ended the check: nothing more is shown.
  if (!core.MailCheck().Active()) return;
  RunGuarded(nullptr, core.Ui(), [&] { Announce(result); });
  if (result.restart) timer_->start();
}

void NewCheckDriver::Announce(const NewCheckTickResult& result) {
  if (!result.rows.empty()) {
    window_.AddRows(result.rows);
    if (window_.Label().isEmpty()) {
      const LocalDateTime now = ToLocal(core_.MailCheck().Check().Now());
      window_.SetLabel(QStringLiteral("新着１号発見! 日時は、") + ToQ(FormatReceivedDate(now)));
    }
    if (beep) beep();
    if (!QSystemTrayIcon::isSystemTrayAvailable() && notify)
      notify(QStringLiteral("Plumex"), QStringLiteral("新着メールが%1件あります。").arg(result.rows.size()));
  }
  for (const std::string& text : result.forward_failures) window_.AddForwardFailure(ToQ(text));
  if (!result.rows.empty() || !result.forward_failures.empty()) window_.ShowOver(&main_);
}

void NewCheckDriver::StopTimer() { timer_->stop(); }

void NewCheckDriver::Finish() {
  timer_->stop();
  RunGuarded(nullptr, core_.Ui(), [this] { core_.MailCheck().Finish(); });
  RemoveIcon();
  RestoreMainWindow();
  window_.Clear();
  window_.hide();
}

void NewCheckDriver::HideMainWindow() {
  if (QSystemTrayIcon::isSystemTrayAvailable()) {
    if (!icon_) {
      icon_ = new QSystemTrayIcon(icons::Button(QStringLiteral("P"), QColor(0, 128, 255)), this);
      icon_->setToolTip(QStringLiteral("Plumexは、ここです.."));
      connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Trigger) return;
        RemoveIcon();
        RestoreMainWindow();
      });
    }
    icon_->show();
    main_.hide();
  } else {
    // No notification area to come back from: minimised, the window stays in reach.
    main_.showMinimized();
  }
}

void NewCheckDriver::RestoreMainWindow() {
  main_.setWindowState(main_.windowState() & ~Qt::WindowMinimized);
  main_.show();
  main_.raise();
  main_.activateWindow();
}

void NewCheckDriver::RemoveIcon() {
  if (!icon_) return;
  icon_->hide();
  icon_->deleteLater();
  icon_ = nullptr;
}

}  // namespace plumex

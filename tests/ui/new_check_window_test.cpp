// The new-mail check in the real windows, on the offscreen platform: the main window goes
// behind the notification-area icon (or, without a notification area, is minimised), a tick
// that found mail fills the check window with one beep, and "終了" brings the window back. A
// typed interval is refused before anything is hidden.
#include <QLabel>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "ui/app_windows.h"
#include "ui/frm_main.h"
#include "ui/frm_new_check.h"
#include "ui/new_check_driver.h"

using namespace plumex;

namespace {

class ScriptedPort : public QtUiPort {
 public:
  QStringList messages;
  MsgAnswer MessageBox(const std::string& text, MsgIcon, MsgButtons buttons) override {
    messages << QString::fromStdString(Cp932ToUtf8(text));
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Yes;
  }
};

struct Windows {
  QTemporaryDir dir;
  ScriptedPort* port = nullptr;
  std::unique_ptr<AppWindows> windows;
  int beeps = 0, notes = 0;

  Windows() {
    const std::filesystem::path root = dir.path().toStdString();
    // The account's server refuses at once (port 1): a tick finds nothing there.
    WriteLines(root / "Account.ini", {Utf8ToCp932("受信箱\t127.0.0.1\tme\tsecret\t127.0.0.1\tme@x\t1\t1\t0")});
    auto owned = std::make_unique<ScriptedPort>();
    port = owned.get();
    windows = std::make_unique<AppWindows>(root, std::move(owned));
    windows->ShowAtStart();
    windows->newCheck->beep = [this] { ++beeps; };
    windows->newCheck->notify = [this](const QString&, const QString&) { ++notes; };
  }
  TfrmMain* Main() const { return windows->frmMain.get(); }
  TfrmNewCheck* Check() const { return windows->frmNewCheck.get(); }
};

NewMailRow Row(const char* subject) {
  return {Utf8ToCp932("受信箱"), Utf8ToCp932(subject), "taro@example.jp", "2026/12/10_09:00:00", "512", "<x@y>"};
}

}  // namespace

class NewCheckWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void waitsOutOfTheWayAnnouncesOnceAndFinishRestores() {
    Windows w;
    TfrmMain* main = w.Main();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    main->FindAction(QStringLiteral("設定/新着チェックを継続する"))->trigger();
    NewCheckDriver* driver = w.windows->newCheck.get();
    QVERIFY(driver->Timer()->isActive());
    QCOMPARE(driver->Timer()->interval(), 30000);
    QCOMPARE(main->LblMode()->text(), QStringLiteral("新着"));
    QCOMPARE(main->StatusPanel(1)->text(), QStringLiteral("新着ﾁｪｯｸ中（30秒間隔）"));
    const bool tray = QSystemTrayIcon::isSystemTrayAvailable();
    if (tray) {
      QVERIFY(!main->isVisible());
      QVERIFY(driver->TrayIcon());
      QCOMPARE(driver->TrayIcon()->toolTip(), QStringLiteral("Plumexは、ここです.."));
    } else {
      QTRY_VERIFY(main->isMinimized());  // never hidden without a way back
      QVERIFY(!driver->TrayIcon());
    }

    // A tick that cannot reach the server finds nothing, stays quiet and waits again.
    driver->Tick();
    QVERIFY(driver->Timer()->isActive());
    QCOMPARE(w.beeps, 0);
    QVERIFY(!w.Check()->isVisible());

    // Two messages found in one tick: listed, one beep, the window in front.
    NewCheckTickResult found;
    found.rows = {Row("会議"), Row("見積")};
    driver->Announce(found);
    QVERIFY(w.Check()->isVisible());
    QCOMPARE(w.Check()->ListView()->topLevelItemCount(), 2);
    QCOMPARE(w.Check()->ListView()->topLevelItem(0)->text(1), QStringLiteral("会議"));
    QVERIFY(w.Check()->Label().startsWith(QStringLiteral("新着１号発見! 日時は、")));
    QCOMPARE(w.beeps, 1);
    QCOMPARE(w.notes, tray ? 0 : 1);
    QVERIFY(w.Check()->windowFlags() & Qt::WindowStaysOnTopHint);

    w.Check()->btnFinish()->click();
    QVERIFY(w.port->messages.contains(QStringLiteral("新着チェックを中断します。")));
    QVERIFY(main->isVisible());
    QTRY_VERIFY(!main->isMinimized());
    QVERIFY(!driver->TrayIcon());
    QVERIFY(!driver->Timer()->isActive());
    QVERIFY(!w.Check()->isVisible());
    QCOMPARE(w.Check()->ListView()->topLevelItemCount(), 0);
    QVERIFY(!main->Core().MailCheck().Active());
    QCOMPARE(main->LblMode()->text(), QStringLiteral("通常"));
  }

  void aTypedIntervalIsRefusedBeforeTheWindowGoes() {
    Windows w;
    TfrmMain* main = w.Main();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    main->Core().NewCheck().interval = "abc";  // New.ini edited by hand
    main->FindAction(QStringLiteral("設定/新着チェックを継続する"))->trigger();
    QCOMPARE(w.port->messages.size(), 1);
    QVERIFY(w.port->messages[0].contains(QStringLiteral("間隔")));
    QVERIFY(main->isVisible());
    QVERIFY(!main->isMinimized());
    QVERIFY(!w.windows->newCheck->Timer()->isActive());
    QVERIFY(!main->Core().MailCheck().Active());
  }
};

QTEST_MAIN(NewCheckWindowTest)
#include "new_check_window_test.moc"

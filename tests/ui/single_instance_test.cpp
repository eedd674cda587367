// Two processes: this test runs the first instance (the same wiring as the program's entry),
// then starts the real program a second time, which must hand over and exit without a window.
#include <QLocalServer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include "platform/code_page.h"
#include "platform/text_file.h"
#include "ui/app_windows.h"
#include "ui/frm_main.h"
#include "ui/single_instance.h"

using namespace plumex;

class SingleInstanceTest : public QObject {
  Q_OBJECT
 private slots:
  void secondStartRestoresTheFirstAndExits() {
    const QString name = QStringLiteral("plumex-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QTemporaryDir first_root, second_root;
    WriteLines(std::filesystem::path(first_root.path().toStdString()) / "Account.ini", {"A\th"});

    InstanceServer server;
    QVERIFY(server.Listen(name));
    AppWindows windows(std::filesystem::path(first_root.path().toStdString()));
    TfrmMain* main = windows.frmMain.get();
    QObject::connect(&server, &InstanceServer::restoreRequested, main, &TfrmMain::RestoreFromSecondInstance);
    QSignalSpy restored(main, &TfrmMain::restored);
    main->ShowAtStart();
    main->showMinimized();
    QTRY_VERIFY(main->isMinimized());

    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PLUMEX_INSTANCE"), name);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(PLUMEX_EXE), {QStringLiteral("--root"), second_root.path()});
    QVERIFY(second.waitForStarted(10000));
    // The first instance keeps running its event loop while the second one talks to it.
    QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20000);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(restored.count(), 1);
    QVERIFY(!main->isMinimized());
    QVERIFY(main->isVisible());
    // The second start made no window: its start-up would have created folders in its root.
    QVERIFY(QDir(second_root.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
  }

  void leftoverSocketOfACrashedInstanceIsTakenOver() {
    const QString name = QStringLiteral("plumex-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString path = QDir::tempPath() + QLatin1Char('/') + name;
    {
      QFile stale(path);
      QVERIFY(stale.open(QIODevice::WriteOnly));
    }
    QVERIFY(!HandOverToRunningInstance(name, 500));
    InstanceServer server;
    QVERIFY(server.Listen(name));
    QSignalSpy requested(&server, &InstanceServer::restoreRequested);
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PLUMEX_INSTANCE"), name);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(env);
    QTemporaryDir root;
    second.start(QStringLiteral(PLUMEX_EXE), {QStringLiteral("--root"), root.path()});
    QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20000);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(requested.count(), 1);
  }
};

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"

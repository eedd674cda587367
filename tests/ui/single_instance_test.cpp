// Two processes: this test runs the first instance (the same wiring as the program's entry),
// then starts the real program again: on the same store it must hand over and exit without a
// window, on another store it runs as a program of its own.
#include <QComboBox>
#include <QLineEdit>
#include <QLocalServer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "ui/app_windows.h"
#include "ui/frm_main.h"
#include "ui/frm_send.h"
#include "ui/single_instance.h"

using namespace plumex;

class SingleInstanceTest : public QObject {
  Q_OBJECT
 private slots:
  // A second start on the same store hands over (with the address it was given) and exits;
  // a start on another store opens its own window.
  void oneInstancePerStore() {
    const QString prefix = QStringLiteral("plumex-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces).left(8);
    qputenv("PLUMEX_INSTANCE", prefix.toUtf8());
    QTemporaryDir first_root, other_root;
    const std::filesystem::path first(first_root.path().toStdString());
    WriteLines(first / "Account.ini", {"A\th\tu\tp\ts\ta@x\t110\t25\t0"});

    InstanceServer server;
    QVERIFY(server.Listen(SingleInstanceName(first)));
    AppWindows windows(first);
    TfrmMain* main = windows.frmMain.get();
    QObject::connect(&server, &InstanceServer::composeRequested, main, &TfrmMain::ComposeMailto);
    QObject::connect(&server, &InstanceServer::restoreRequested, main, &TfrmMain::RestoreFromSecondInstance);
    QSignalSpy restored(main, &TfrmMain::restored);
    main->ShowAtStart();
    main->showMinimized();
    QTRY_VERIFY(main->isMinimized());

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PLUMEX_INSTANCE"), prefix);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // The same store by another spelling of its path.
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(PLUMEX_EXE), {QStringLiteral("--root"), first_root.path() + QStringLiteral("/."),
                                              QStringLiteral("mailto:hanako@example.jp?subject=%E8%A6%8B%E7%A9%8D")});
    QVERIFY(second.waitForStarted(10000));
    // The first instance keeps running its event loop while the second one talks to it.
    QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20000);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(restored.count(), 1);
    QVERIFY(!main->isMinimized());
    QVERIFY(windows.frmSend->isVisible());
    QCOMPARE(windows.frmSend->edtTo()->currentText(), QStringLiteral("hanako@example.jp"));
    QCOMPARE(windows.frmSend->edtSubject()->text(), QStringLiteral("見積"));

    // Another store: a program of its own, which answers for that store and keeps running.
    QProcess other;
    other.setProcessEnvironment(env);
    other.start(QStringLiteral(PLUMEX_EXE), {QStringLiteral("--root"), other_root.path()});
    QVERIFY(other.waitForStarted(10000));
    const QString other_name = SingleInstanceName(std::filesystem::path(other_root.path().toStdString()));
    QTRY_VERIFY_WITH_TIMEOUT(HandOverToRunningInstance(other_name, 500), 20000);
    QCOMPARE(other.state(), QProcess::Running);
    QCOMPARE(restored.count(), 1);  // the first instance heard nothing of it
    QVERIFY(QFileInfo::exists(other_root.filePath(QStringLiteral("plumex.ini"))) ||
            QFileInfo::exists(other_root.filePath(QStringLiteral("Address"))));
    other.terminate();
    QVERIFY(other.waitForFinished(10000));
    qunsetenv("PLUMEX_INSTANCE");
  }

  void leftoverSocketOfACrashedInstanceIsTakenOver() {
    const QString prefix = QStringLiteral("plumex-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces).left(8);
    qputenv("PLUMEX_INSTANCE", prefix.toUtf8());
    QTemporaryDir root;
    const QString name = SingleInstanceName(std::filesystem::path(root.path().toStdString()));
    qunsetenv("PLUMEX_INSTANCE");
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
    env.insert(QStringLiteral("PLUMEX_INSTANCE"), prefix);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(PLUMEX_EXE), {QStringLiteral("--root"), root.path()});
    QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20000);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(requested.count(), 1);
  }
};

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"

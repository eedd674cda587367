// Server delete mode in the real main window against the Dovecot of the test servers: the
// toolbar's "削" lists the mailbox under the magenta mode label, a chosen message's server is
// marked as a deletion candidate, and "・削除候補のみ削除する" deletes it on the server.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "shell/server_delete_commands.h"
#include "tests/protocol/test_servers.h"
#include "ui/app_windows.h"
#include "ui/frm_main.h"

using namespace plumex;

namespace {

class QuietPort : public QtUiPort {
 public:
  QStringList messages;
  MsgAnswer MessageBox(const std::string& text, MsgIcon, MsgButtons) override {
    messages << QString::fromStdString(Cp932ToUtf8(text));
    return MsgAnswer::Yes;
  }
};

std::string Message(int n, const std::string& server) {
  return "Received: from client.example by " + server + " with SMTP\r\nMessage-ID: <sd" + std::to_string(n) +
         "@example.jp>\r\nFrom: taro@example.jp\r\nSubject: subject " + std::to_string(n) +
         "\r\nDate: Tue, 08 Sep 2009 12:3" + std::to_string(n) + ":00 +0900\r\n\r\nbody\r\n";
}

// Chooses the action the way a person does: its menu opens first.
void Choose(QAction* action) {
  QVERIFY(action);
  for (QObject* o : action->associatedObjects())
    if (auto* menu = qobject_cast<QMenu*>(o)) emit menu->aboutToShow();
  QVERIFY2(action->isEnabled(), qPrintable(action->text()));
  action->trigger();
}

QStringList Subjects(QTreeView* list) {
  QStringList subjects;
  for (int r = 0; r < list->model()->rowCount(); ++r) subjects << list->model()->index(r, kColSubject).data().toString();
  return subjects;
}

}  // namespace

class ServerDeleteWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void marksACandidateAndDeletesIt() {
    auto servers = test::TestServers::Find();
    if (!servers) QSKIP("PLUMEX_TEST_SERVERS not set");
    servers->MakeMailbox("uidelete", {Message(1, "mx.example"), Message(2, "spam.example"), Message(3, "mx.example")});
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    WriteLines(root / "Account.ini", {servers->AccountLine("テスト", "uidelete", {.rest = "0\t>\t0\t0"})});
    WriteLines(root / "plumex.ini", {"[CurAccount]", Utf8ToCp932("Position=テスト")});

    auto port = std::make_unique<QuietPort>();
    QuietPort* script = port.get();
    AppWindows windows(root, std::move(port));
    TfrmMain* main = windows.frmMain.get();
    main->ShowAtStart();
    QVERIFY(QTest::qWaitForWindowExposed(main));

    Choose(main->FindAction(QStringLiteral("tool/メール削除モード")));
    QVERIFY2(script->messages.isEmpty(), qPrintable(script->messages.join('|')));
    QCOMPARE(main->LblMode()->text(), QStringLiteral("削除"));
    QVERIFY(main->LblMode()->styleSheet().contains(QStringLiteral("#ff00ff")));
    QCOMPARE(main->StatusPanel(1)->text(), QStringLiteral("削除モードで接続中。メールは3件です。"));
    QTreeView* list = main->ListView1();
    QCOMPARE(Subjects(list), (QStringList{"subject 1", "subject 2", "subject 3"}));
    // Server order stays: a column click sorts nothing here.
    list->header()->sectionClicked(kColSubject);
    QCOMPARE(Subjects(list), (QStringList{"subject 1", "subject 2", "subject 3"}));

    list->selectionModel()->select(list->model()->index(1, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Choose(main->FindAction(QStringLiteral("編集/・削除候補にする")));
    std::vector<std::string> servers_file;
    QVERIFY(ReadLines(root / "NoDomain.ini", servers_file));
    QCOMPARE(servers_file, std::vector<std::string>{"spam.example"});
    QCOMPARE(list->model()->index(1, kColPriority).data().toString(), QString::fromUtf8(kCandidatePriority.data()));
    QVERIFY(!list->model()->index(1, kColPriorityIcon).data(Qt::DecorationRole).isNull());

    Choose(main->FindAction(QStringLiteral("編集/・削除候補のみ削除する")));
    QVERIFY2(script->messages.isEmpty(), qPrintable(script->messages.join('|')));
    QCOMPARE(Subjects(list), (QStringList{"subject 1", "subject 3"}));
    QCOMPARE(main->StatusPanel(1)->text(), QStringLiteral("削除モードで接続中。メールは2件です。"));

    Choose(main->FindAction(QStringLiteral("編集/メール削除モード解除")));
    QCOMPARE(main->LblMode()->text(), QStringLiteral("通常"));
    QCOMPARE(list->model()->rowCount(), 0);
    QCOMPARE(main->StatusPanel(1)->text(), QString());
  }
};

QTEST_MAIN(ServerDeleteWindowTest)
#include "server_delete_window_test.moc"

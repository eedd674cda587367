// "受信" in the real main window against the Dovecot of the test servers: the new mail is
// listed, the status bar counts it, and a click shows its Japanese body.
#include <QAction>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTreeView>
#include <QtTest>

#include "text/base64.h"
#include "text/code_page.h"
#include "platform/text_file.h"
#include "shell/message_list.h"
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

std::string Iso(const std::string& utf8) {
  std::string out;
  ConvertCharset("UTF-8", "ISO-2022-JP", utf8, out);
  return out;
}

std::string Message(int n, const std::string& subject, const std::string& body) {
  return "Message-ID: <ui" + std::to_string(n) + "@example.jp>\r\nFrom: taro@example.jp\r\nSubject: =?ISO-2022-JP?B?" +
         Base64Encode(Iso(subject)) + "?=\r\nDate: Tue, 08 Sep 2009 12:3" + std::to_string(n) +
         ":00 +0900\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n\r\n" + Iso(body) + "\r\n";
}

}  // namespace

class ReceiveWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void receiveListsTheNewMail() {
    auto servers = test::TestServers::Find();
    if (!servers) QSKIP("PLUMEX_TEST_SERVERS not set");
    servers->MakeMailbox("uirecv", {Message(1, "会議のお知らせ", "来週の会議です。"), Message(2, "見積書", "お見積り")});
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    WriteLines(root / "Account.ini", {servers->AccountLine("テスト", "uirecv", {.rest = "0\t>\t0\t0"})});
    WriteLines(root / "plumex.ini", {"[CurAccount]", Utf8ToCp932("Position=テスト")});
    std::filesystem::create_directories(root / "受信" / "テスト" / "取引先");
    WriteLines(root / "受信" / "テスト" / "取引先" / "MsgID.ini", {});

    auto port = std::make_unique<QuietPort>();
    QuietPort* script = port.get();
    AppWindows windows(root, std::move(port));
    TfrmMain* main = windows.frmMain.get();
    main->ShowAtStart();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QCOMPARE(main->ListView1()->model()->rowCount(), 0);
    // Started from a folder of the account: the new mail is listed from the inbox, and the
    // tree highlights the inbox the list shows.
    QTreeView* tree = main->TreeView1();
    const QModelIndex inbox = tree->model()->index(0, 0, tree->model()->index(0, 0));
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(tree->currentIndex().parent(), inbox);

    main->FindAction(QStringLiteral("tool/受信"))->trigger();
    QCOMPARE(tree->currentIndex(), inbox);
    QVERIFY(tree->selectionModel()->isSelected(inbox));
    QVERIFY2(script->messages.isEmpty(), qPrintable(script->messages.join('|')));
    QCOMPARE(main->StatusPanel(1)->text(), QStringLiteral("新着メールは2件です。"));
    QCOMPARE(main->LblMode()->text(), QStringLiteral("通常"));
    QTreeView* list = main->ListView1();
    QCOMPARE(list->model()->rowCount(), 2);
    QCOMPARE(list->model()->index(0, kColSubject).data().toString(), QStringLiteral("見積書"));  // newest first
    QVERIFY(list->model()->index(0, kColSubject).data(Qt::FontRole).value<QFont>().bold());
    QCOMPARE(main->TreeView1()->model()->index(0, 0, main->TreeView1()->model()->index(0, 0)).data().toString(),
             QStringLiteral("テスト  (2)"));

    const QModelIndex second = list->model()->index(1, kColSubject);
    list->scrollTo(second);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(second).center());
    QVERIFY(main->memBody()->toPlainText().contains(QStringLiteral("来週の会議です。")));

    // Again: nothing new.
    main->FindAction(QStringLiteral("送受信/受信"))->trigger();
    QCOMPARE(main->StatusPanel(1)->text(), QStringLiteral("新着メールは0件です。"));
    QCOMPARE(list->model()->rowCount(), 2);
  }
};

QTEST_MAIN(ReceiveWindowTest)
#include "receive_window_test.moc"

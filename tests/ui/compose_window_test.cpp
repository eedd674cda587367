// The compose window as a user drives it: completion on Enter, priority, an attachment, sent
// through the real submission server and read back by Python's email package; then a reply
// to received mail with its quote and "返信:".
#include <QCheckBox>
#include <QClipboard>
#include <QMimeData>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

#include "text/base64.h"
#include "text/code_page.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "shell/message_list.h"
#include "store/tab_line.h"
#include "tests/protocol/test_servers.h"
#include "ui/app_windows.h"
#include "ui/frm_main.h"
#include "ui/frm_send.h"

using namespace plumex;

namespace {

class YesPort : public QtUiPort {
 public:
  QStringList messages;
  QStringList questions;  // Warning, Yes/No
  MsgAnswer MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) override {
    messages << QString::fromStdString(Cp932ToUtf8(text));
    if (icon == MsgIcon::Warning && buttons == MsgButtons::YesNo) questions << messages.back();
    return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Yes;  // trusts the test CA's certificate
  }
};

std::string Sj(const char* utf8) { return Utf8ToCp932(utf8); }

QString Run(const QString& command) {
  FILE* p = popen(command.toStdString().c_str(), "r");
  QByteArray out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, static_cast<int>(n));
  pclose(p);
  return QString::fromUtf8(out);
}

}  // namespace

class ComposeWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void composeSendAndReply() {
    auto servers = test::TestServers::Find();
    if (!servers) QSKIP("PLUMEX_TEST_SERVERS not set");
    std::string iso;
    ConvertCharset("UTF-8", "ISO-2022-JP", "明日の打ち合わせ\r\nよろしく", iso);
    servers->MakeMailbox("uicompose", {"Message-ID: <orig@example.jp>\r\nFrom: <hanako@example.jp>\r\nSubject: "
                                       "=?ISO-2022-JP?B?" + Base64Encode([] {
                                         std::string s;
                                         ConvertCharset("UTF-8", "ISO-2022-JP", "打ち合わせ", s);
                                         return s;
                                       }()) + "?=\r\nDate: Tue, 08 Sep 2009 12:34:56 +0900\r\n"
                                       "Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\n" + iso + "\r\n"});
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    WriteLines(root / "Account.ini",
               {servers->AccountLine("テスト", "uicompose",
                                     {.address = "me@example.jp", .smtp = true, .rest = "0\t>\t0\t-1"})});
    WriteLines(root / "plumex.ini", {"[CurAccount]", Sj("Position=テスト")});
    std::filesystem::create_directories(root / "受信" / "テスト");
    WriteLines(root / "受信" / "テスト" / "syomei.ini", {"--", Sj("山田")});
    std::filesystem::create_directories(root / "Address");
    WriteLines(root / "Address" / "友人.adr", {Sj("山田 太郎") + "\ttaro@example.jp\t", Sj("佐藤") + "\tsato@example.jp\t"});
    WriteFileAtomic(root / "資料.txt", Sj("持ち物：ノート\r\n"));

    auto port = std::make_unique<YesPort>();
    YesPort* script = port.get();
    AppWindows windows(root, std::move(port));
    TfrmMain* main = windows.frmMain.get();
    TfrmSend* send = windows.frmSend.get();
    main->ShowAtStart();
    QVERIFY(QTest::qWaitForWindowExposed(main));

    QCOMPARE(send->ComboBox1()->currentText(), QStringLiteral("me@example.jp"));  // filled at creation
    main->FindAction(QStringLiteral("tool/新規作成"))->trigger();
    QVERIFY(send->isVisible());
    QCOMPARE(send->Memo1()->toPlainText(), QStringLiteral("\n\n--\n山田"));
    QCOMPARE(send->ComboBox1()->currentText(), QStringLiteral("me@example.jp"));
    // "差込メール" hides the To box.
    QTest::mouseClick(send->CheckBox1(), Qt::LeftButton);
    QVERIFY(!send->edtTo()->isVisible());
    QTest::mouseClick(send->CheckBox1(), Qt::LeftButton);
    QVERIFY(send->edtTo()->isVisible());

    // "添付ファイル貼り付け": a new message with the copied files attached.
    auto* copied = new QMimeData;
    copied->setUrls({QUrl::fromLocalFile(dir.filePath(QStringLiteral("資料.txt")))});
    QApplication::clipboard()->setMimeData(copied);
    main->FindAction(QStringLiteral("編集/添付ファイル貼り付け"))->trigger();
    QCOMPARE(send->Attachments(), QStringList{dir.filePath(QStringLiteral("資料.txt"))});

    // Completion: part of an address and Enter.
    send->edtTo()->lineEdit()->setFocus();
    QTest::keyClicks(send->edtTo()->lineEdit(), QStringLiteral("taro"));
    QTest::keyClick(send->edtTo()->lineEdit(), Qt::Key_Return);
    QCOMPARE(send->edtTo()->currentText(), QStringLiteral("\"山田 太郎\"<taro@example.jp>,"));
    // "あて先の追加" keeps that address; the next completion puts it after the new one.
    QTest::mouseClick(send->findChild<QToolButton*>(QStringLiteral("SpeedButton1")), Qt::LeftButton);
    QCOMPARE(send->edtTo()->currentText(), QString());
    QTest::keyClicks(send->edtTo()->lineEdit(), QStringLiteral("sato"));
    QTest::keyClick(send->edtTo()->lineEdit(), Qt::Key_Return);
    QCOMPARE(send->edtTo()->currentText(),
             QStringLiteral("\"佐藤\"<sato@example.jp>,\"山田 太郎\"<taro@example.jp>,"));
    send->edtSubject()->setFocus();
    send->edtSubject()->insert(QStringLiteral("テスト送信"));
    QTest::keyClick(send->edtSubject(), Qt::Key_Return);
    QCOMPARE(send->focusWidget(), static_cast<QWidget*>(send->Memo1()));  // Enter in the subject moves on
    send->Memo1()->moveCursor(QTextCursor::Start);
    send->Memo1()->insertPlainText(QStringLiteral("本文です。"));
    QTest::mouseClick(send->CheckPriority(), Qt::LeftButton);
    QVERIFY(send->CheckPriority()->isChecked());
    send->AddAttachment(dir.filePath(QStringLiteral("資料.txt")));  // the same file again: listed once
    QCOMPARE(send->ListBox1()->count(), 1);
    send->grab().save(QStringLiteral("compose_window.png"));

    QVERIFY2(send->SendMail(), qPrintable(script->messages.join('|')));
    QVERIFY(!send->isVisible());
    QCOMPARE(main->StatusPanel(1)->text(), QStringLiteral("送信しました"));
    // The test CA is unknown to the system: the certificate question, then its fingerprint kept.
    QCOMPARE(script->questions.size(), 1);
    QVERIFY(script->questions[0].startsWith(QStringLiteral("サーバ証明書を確認できませんでした。\r\n")));
    QVERIFY(script->questions[0].endsWith(QStringLiteral("この証明書を信頼して接続しますか？")));
    std::vector<std::string> trusted;
    ReadLines(root / "TrustedCerts.ini", trusted);
    QCOMPARE(trusted.size(), 1u);
    std::vector<std::string> rows;
    ReadLines(root / "送信" / "Send.ini", rows);
    QCOMPARE(rows.size(), 1u);
    const std::string id = FieldOf(rows[0], 0);
    const auto delivered = servers->WaitForDelivered(id.substr(1, id.size() - 2));
    QVERIFY(!delivered.empty());
    const QString parsed =
        Run(QStringLiteral("/usr/bin/python3 '%1' '%2'").arg(QStringLiteral(PLUMEX_PARSE_SENT_MAIL),
                                                             QString::fromStdString(delivered.string())));
    QVERIFY2(parsed.contains(QStringLiteral("subject: \"テスト送信\"")), qPrintable(parsed));
    QVERIFY(parsed.contains(QStringLiteral("taro@example.jp")));
    QVERIFY(parsed.contains(QStringLiteral("sato@example.jp")));
    QVERIFY(parsed.contains(QStringLiteral("x_priority: \"2\"")));
    QVERIFY(parsed.contains(QStringLiteral("\"name\": \"資料.txt\"")));
    QVERIFY(parsed.contains(QStringLiteral("本文です。")));
    QVERIFY(ReadFileBytes(delivered).value_or("").find("\nReferences:") == std::string::npos);

    // Reply to received mail.
    main->FindAction(QStringLiteral("tool/受信"))->trigger();
    QTreeView* list = main->ListView1();
    QCOMPARE(list->model()->rowCount(), 1);
    const QModelIndex first = list->model()->index(0, kColSubject);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(first).center());
    main->FindAction(QStringLiteral("tool/返信"))->trigger();
    QVERIFY(send->isVisible());
    QCOMPARE(send->edtSubject()->text(), QStringLiteral("返信:打ち合わせ"));
    QCOMPARE(send->edtTo()->currentText(), QStringLiteral("hanako@example.jp"));
    const QString body = send->Memo1()->toPlainText();
    QVERIFY2(body.startsWith(QStringLiteral("\n\n-------------------ｵﾘｼﾞﾅﾙﾒｯｾｰｼﾞ-------------------\n>  明日の打ち合わせ\n>  よろしく")),
             qPrintable(body));
    QVERIFY(body.endsWith(QStringLiteral("--\n山田")));
    send->grab().save(QStringLiteral("compose_reply.png"));

    // The reply refers to the message replied to; a new message after it refers to nothing.
    auto send_and_read = [&](size_t row) -> std::string {
      if (!send->SendMail()) return "not sent: " + script->messages.join('|').toStdString();
      std::vector<std::string> sent;
      ReadLines(root / "送信" / "Send.ini", sent);
      if (sent.size() != row + 1) return "no row";
      const std::string sent_id = FieldOf(sent[row], 0);
      return ReadFileBytes(servers->WaitForDelivered(sent_id.substr(1, sent_id.size() - 2))).value_or("");
    };
    const std::string reply = send_and_read(1);
    QVERIFY2(reply.find("\nReferences: <orig@example.jp>\n") != std::string::npos, reply.c_str());
    main->FindAction(QStringLiteral("tool/新規作成"))->trigger();
    send->edtTo()->setCurrentText(QStringLiteral("taro@example.jp"));
    send->edtSubject()->setText(QStringLiteral("別件"));
    const std::string unrelated = send_and_read(2);
    QVERIFY2(unrelated.find("Subject:") != std::string::npos, unrelated.c_str());
    QVERIFY(unrelated.find("\nReferences:") == std::string::npos);
  }
};

QTEST_MAIN(ComposeWindowTest)
#include "compose_window_test.moc"

// The account window driven as a user would, on the offscreen platform: the first account of
// an empty store, saved and closed, is the account in use after a restart, with its signature.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "shell/account_commands.h"
#include "ui/app_windows.h"
#include "ui/frm_account.h"
#include "ui/frm_main.h"
#include "shell/main_shell.h"

using namespace plumex;

namespace {

class ScriptedPort : public QtUiPort {
 public:
  QStringList messages;
  MsgAnswer answer = MsgAnswer::Ok;
  MsgAnswer MessageBox(const std::string& text, MsgIcon, MsgButtons) override {
    messages << QString::fromStdString(Cp932ToUtf8(text));
    return answer;
  }
};

// Typing: key clicks for ASCII; Japanese arrives as an input method commits it.
void Type(QLineEdit* edit, const QString& text) {
  edit->setFocus();
  edit->clear();
  for (QChar c : text) {
    if (c.unicode() < 0x80) QTest::keyClicks(edit, QString(c));
    else edit->insert(QString(c));
  }
}

}  // namespace

class AccountWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void firstAccountSurvivesARestart() {
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    {
      auto port = std::make_unique<ScriptedPort>();
      ScriptedPort* script = port.get();
      AppWindows windows(root, std::move(port));
      TfrmMain* main = windows.frmMain.get();
      main->ShowAtStart();
      QCOMPARE(script->messages.size(), 1);  // no Account.ini yet
      TfrmAccount* w = windows.frmAccount.get();
      main->FindAction(QStringLiteral("tool/アカウント設定"))->trigger();
      QVERIFY(w->isVisible());
      QVERIFY(!w->btnAdd()->isVisible());  // nothing to add to yet

      QTest::mouseClick(w->btnClose(), Qt::LeftButton);  // refused: the fields are empty
      QVERIFY(script->messages.last().startsWith(QStringLiteral("タイトルと必須項目だけは入力してください。")));
      QVERIFY(w->isVisible());

      Type(w->edtAccount(), QStringLiteral("仕事"));
      Type(w->edtAddress(), QStringLiteral("\"山田\"<yamada@example.jp>"));
      Type(w->edtPop(), QStringLiteral("pop.example.jp"));
      Type(w->edtSmtp(), QStringLiteral("smtp.example.jp"));
      Type(w->edtUser(), QStringLiteral("yamada"));
      Type(w->edtPassword(), QStringLiteral("pw"));
      QCOMPARE(w->edtPassword()->echoMode(), QLineEdit::Password);
      w->memSignature()->setFocus();
      w->memSignature()->insertPlainText(QStringLiteral("山田"));
      QTest::keyClicks(w->memSignature(), QStringLiteral(" "));
      QTest::keyClick(w->memSignature(), Qt::Key_Return);
      QPushButton* date = nullptr;
      for (QPushButton* b : w->findChildren<QPushButton*>())
        if (b->text() == QStringLiteral("日付欄を追加")) date = b;
      QVERIFY(date);
      QTest::mouseClick(date, Qt::LeftButton);
      QTest::mouseClick(w->btnSave(), Qt::LeftButton);
      QCOMPARE(script->messages.last(), QStringLiteral("保存しました。"));
      QVERIFY(w->btnAdd()->isVisible());
      QCOMPARE(w->lblNumber()->text(), QStringLiteral("1"));

      // The port must be a number from 1 to 65535.
      Type(w->edtPopPort(), QStringLiteral("99999"));
      QTest::mouseClick(w->btnSave(), Qt::LeftButton);
      QCOMPARE(script->messages.last(), QStringLiteral("ポート番号は1～65535の数字で入力してください。"));
      Type(w->edtPopPort(), QStringLiteral("110"));

      QTest::mouseClick(w->btnClose(), Qt::LeftButton);
      QVERIFY(!w->isVisible());
      QVERIFY(main->LblAccount()->text().contains(QStringLiteral("ｱｶｳﾝﾄ:仕事")));
      QVERIFY(QFile::exists(dir.filePath(QStringLiteral("Account.ini"))));
      main->close();
    }
    {
      auto port = std::make_unique<ScriptedPort>();
      ScriptedPort* script = port.get();
      AppWindows windows(root, std::move(port));
      windows.frmMain->ShowAtStart();
      QVERIFY(script->messages.isEmpty());
      AccountCommands& accounts = windows.core->Accounts();
      QCOMPARE(QString::fromStdString(Cp932ToUtf8(accounts.State().CurrentAccount)), QStringLiteral("仕事"));
      QVERIFY(accounts.InUse().has_value());
      QCOMPARE(accounts.InUse()->signature.size(), 2u);
      QCOMPARE(QString::fromStdString(Cp932ToUtf8(accounts.InUse()->signature[1])), QStringLiteral("%SSdate%"));
      QCOMPARE(QString::fromStdString(accounts.InUse()->pop3.host), QStringLiteral("pop.example.jp"));
      windows.frmMain->FindAction(QStringLiteral("設定/アカウント"))->trigger();
      QCOMPARE(windows.frmAccount->edtAccount()->text(), QStringLiteral("仕事"));
      QCOMPARE(windows.frmAccount->memSignature()->toPlainText(), QStringLiteral("山田 \n%SSdate%"));
      QImage shot = windows.frmAccount->grab().toImage();
      shot.save(QStringLiteral("account_window.png"));
      windows.frmMain->close();
    }
  }

  // Two accounts: the arrows with the record number, the tab order, the date field over a
  // selection, "削除" with its question, Escape.
  void browseDateFieldDeleteAndEscape() {
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    WriteLines(root / "Account.ini", {"a\tpop.a\tua\tpa\tsmtp.a\ta@x\t110\t25\t0",
                                      "b\tpop.b\tub\tpb\tsmtp.b\tb@x\t995\t25\t-1\t|\t-1\t0"});
    auto port = std::make_unique<ScriptedPort>();
    ScriptedPort* script = port.get();
    AppWindows windows(root, std::move(port));
    TfrmMain* main = windows.frmMain.get();
    main->ShowAtStart();
    TfrmAccount* w = windows.frmAccount.get();
    main->FindAction(QStringLiteral("設定/アカウント"))->trigger();
    QVERIFY(QTest::qWaitForWindowActive(w));

    QWidget* order[] = {w->edtAccount(), w->edtAddress(), w->edtPop(),  w->edtSmtp(),   w->edtUser(), w->edtPassword(),
                        w->memSignature(), w->btnAdd(),   w->btnDelete(), w->btnSave(), w->btnClose()};
    w->edtAccount()->setFocus();
    for (size_t i = 1; i < std::size(order); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), order[i]);
    }

    QCOMPARE(w->edtAccount()->text(), QStringLiteral("a"));
    QTest::mouseClick(w->btnNext(), Qt::LeftButton);
    QCOMPARE(w->edtAccount()->text(), QStringLiteral("b"));
    QCOMPARE(w->lblNumber()->text(), QStringLiteral("2"));
    QCOMPARE(w->edtReplyMark()->text(), QStringLiteral("|"));
    QVERIFY(w->chkPopSsl()->isChecked() && w->chkDelete()->isChecked() && !w->chkSmtpSsl()->isChecked());
    // Browsing changes nothing: "a" stays in use until "閉じる" chooses another.
    QCOMPARE(main->Core().Accounts().State().CurrentAccount, std::string("a"));
    QVERIFY(main->LblAccount()->text().contains(QStringLiteral("ｱｶｳﾝﾄ:a")));

    // "日付欄を追加" replaces the selected text.
    QPlainTextEdit* sig = w->memSignature();
    sig->setFocus();
    QTest::keyClicks(sig, QStringLiteral("date: XX"));
    QTest::keyClick(sig, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(sig, Qt::Key_Left, Qt::ShiftModifier);
    for (QPushButton* b : w->findChildren<QPushButton*>())
      if (b->text() == QStringLiteral("日付欄を追加")) QTest::mouseClick(b, Qt::LeftButton);
    QCOMPARE(sig->toPlainText(), QStringLiteral("date: %SSdate%"));

    // No keeps the account; Yes deletes it with its folder and node.
    script->answer = MsgAnswer::No;
    QTest::mouseClick(w->btnDelete(), Qt::LeftButton);
    QVERIFY(script->messages.last().startsWith(QStringLiteral("現在のアカウント及び\r\n")));
    QCOMPARE(main->Core().Accounts().State().AccountList.size(), 2u);
    script->answer = MsgAnswer::Yes;
    QTest::mouseClick(w->btnDelete(), Qt::LeftButton);
    QCOMPARE(main->Core().Accounts().State().AccountList.size(), 1u);
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("受信/b"))));
    QCOMPARE(main->Shell().ReceiveTree().Top(0)->ChildCount(), 1u);
    QCOMPARE(w->edtAccount()->text(), QStringLiteral("a"));
    QCOMPARE(w->lblNumber()->text(), QStringLiteral("1"));

    QTest::keyClick(w, Qt::Key_Escape);  // "閉じる"
    QVERIFY(!w->isVisible());
    QCOMPARE(ReadFileBytes(root / "Account.ini").value_or(""), std::string("a\tpop.a\tua\tpa\tsmtp.a\ta@x\t110\t25\t0\r\n"));
    main->close();
  }

  // A close whose file cannot be written is reported in a message box; nothing escapes the
  // button's slot and the window stays usable.
  void aFailedWriteIsShownNotThrown() {
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    auto port = std::make_unique<ScriptedPort>();
    ScriptedPort* script = port.get();
    AppWindows windows(root, std::move(port));
    windows.frmMain->ShowAtStart();
    TfrmAccount* w = windows.frmAccount.get();
    windows.frmMain->FindAction(QStringLiteral("tool/アカウント設定"))->trigger();
    Type(w->edtAccount(), QStringLiteral("a"));
    Type(w->edtAddress(), QStringLiteral("a@example.jp"));
    Type(w->edtPop(), QStringLiteral("pop.example.jp"));
    Type(w->edtSmtp(), QStringLiteral("smtp.example.jp"));
    Type(w->edtUser(), QStringLiteral("a"));
    Type(w->edtPassword(), QStringLiteral("pw"));
    std::filesystem::create_directories(root / "Account.ini");  // the account list cannot be replaced
    QTest::mouseClick(w->btnSave(), Qt::LeftButton);
    script->messages.clear();
    QTest::mouseClick(w->btnClose(), Qt::LeftButton);  // closing writes the account list
    QVERIFY2(!script->messages.isEmpty(), "nothing was shown");
    QVERIFY2(script->messages.last().startsWith(QStringLiteral("ファイルに書き込めませんでした")),
             qPrintable(script->messages.join('|')));
    QVERIFY(w->isVisible());
  }

  // A known address fills in the provider's servers and its log-in; an OAuth2 account needs no
  // password, and Account.ini keeps none for it.
  void logInMethodFromAKnownAddress() {
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    auto port = std::make_unique<ScriptedPort>();
    ScriptedPort* script = port.get();
    AppWindows windows(root, std::move(port));
    TfrmMain* main = windows.frmMain.get();
    main->ShowAtStart();
    TfrmAccount* w = windows.frmAccount.get();
    main->FindAction(QStringLiteral("tool/アカウント設定"))->trigger();
    QVERIFY(w->isVisible());
    QCOMPARE(w->cmbLogin()->currentIndex(), 0);
    QVERIFY(w->edtPassword()->isEnabled());
    QVERIFY(!w->btnSignIn()->isEnabled());

    Type(w->edtAccount(), QStringLiteral("mail"));
    Type(w->edtAddress(), QStringLiteral("taro@hotmail.com"));
    QTest::keyClick(w->edtAddress(), Qt::Key_Return);  // editing finished
    QCOMPARE(w->edtPop()->text(), QStringLiteral("outlook.office365.com"));
    QCOMPARE(w->edtSmtpPort()->text(), QStringLiteral("587"));
    QVERIFY(w->chkPopSsl()->isChecked());
    QCOMPARE(w->edtUser()->text(), QStringLiteral("taro@hotmail.com"));
    QCOMPARE(w->cmbLogin()->currentText(), QStringLiteral("OAuth2 (Microsoft)"));
    QVERIFY(!w->edtPassword()->isEnabled());
    QVERIFY(w->btnSignIn()->isEnabled());
    QVERIFY(w->edtTenant()->isVisible());
    QVERIFY(!w->edtTokenUrl()->isVisible());
    QVERIFY(w->lblLoginNotice()->text().contains(QStringLiteral("サインイン")));

    QTest::mouseClick(w->btnSave(), Qt::LeftButton);
    QCOMPARE(script->messages.last(), QStringLiteral("保存しました。"));
    QTest::mouseClick(w->btnClose(), Qt::LeftButton);
    QVERIFY(!w->isVisible());
    const std::string line = ReadFileBytes(root / "Account.ini").value_or("");
    QVERIFY2(line.find("mail\toutlook.office365.com\ttaro@hotmail.com\t\tsmtp-mail.outlook.com\t") == 0, line.c_str());
    QVERIFY(line.find("\toauth2\t\tmicrosoft\t") != std::string::npos);
  }
};

QTEST_MAIN(AccountWindowTest)
#include "account_window_test.moc"

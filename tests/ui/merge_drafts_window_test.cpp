// Mail merge, delayed sending and drafts in the real windows: a sheet loaded into the grid,
// record 2 previewed and the merge sent through the real submission server; a message queued
// with a delay and sent by the main window's timer; the question on closing the compose window
// with unsent text, and a draft reopened by a double click.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

#include <random>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "shell/message_list.h"
#include "tests/protocol/test_servers.h"
#include "ui/app_windows.h"
#include "ui/frm_insert.h"
#include "ui/frm_insert_log.h"
#include "ui/frm_main.h"
#include "ui/frm_preview.h"
#include "ui/frm_send.h"

using namespace plumex;

namespace {

// Records every message and answers from a script: Yes (the test CA's certificate is trusted),
// OK, or the next scripted answer.
class ScriptedPort : public QtUiPort {
 public:
  QStringList messages;
  QList<MsgAnswer> answers;
  MsgAnswer MessageBox(const std::string& text, MsgIcon, MsgButtons buttons) override {
    messages << QString::fromStdString(Cp932ToUtf8(text));
    if (buttons != MsgButtons::Ok && buttons != MsgButtons::YesNo && !answers.isEmpty()) return answers.takeFirst();
    return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Yes;
  }
};

std::string Sj(const char* utf8) { return Utf8ToCp932(utf8); }

std::string UniqueDomain() {
  std::random_device rd;
  return "@m" + std::to_string(rd()) + ".example.jp";
}

QAction* ActionNamed(QWidget* window, const QString& text) {
  for (QAction* a : window->findChildren<QAction*>())
    if (a->text() == text) return a;
  return nullptr;
}

struct Store {
  QTemporaryDir dir;
  std::filesystem::path root{dir.path().toStdString()};
  void Write(const std::string& smtp_port) {
    WriteLines(root / "Account.ini", {Sj("テスト") + "\t127.0.0.1\tsender\tsecret\t127.0.0.1\tme@example.jp\t1\t" +
                                          smtp_port + "\t0\t>\t0\t-1"});
    WriteLines(root / "plumex.ini", {"[CurAccount]", Sj("Position=テスト")});
    std::filesystem::create_directories(root / "受信" / "テスト");
  }
};

}  // namespace

class MergeDraftsWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void sheetInTheGridPreviewAndMergeSend() {
    auto servers = test::TestServers::Find();
    if (!servers) QSKIP("PLUMEX_TEST_SERVERS not set");
    Store store;
    store.Write(servers->Get("SMTP_PORT"));
    const std::string domain = UniqueDomain();
    WriteLines(store.root / "sheet.csv", {Sj("宛先,名前"), "one" + domain + "," + Sj("一郎"),
                                          "two" + domain + "," + Sj("二郎"), "three" + domain + "," + Sj("三郎")});
    auto port = std::make_unique<ScriptedPort>();
    ScriptedPort* script = port.get();
    AppWindows w(store.root, std::move(port));
    TfrmMain* main = w.frmMain.get();
    TfrmSend* send = w.frmSend.get();
    TfrmInsert* sheet = w.frmInsert.get();
    main->ShowAtStart();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    main->FindAction(QStringLiteral("ファイル/メールの作成"))->trigger();
    QVERIFY(send->isVisible());

    ActionNamed(send, QStringLiteral("差し込むファイルの指定"))->trigger();
    QVERIFY(sheet->isVisible());
    QVERIFY(sheet->isModal());
    sheet->LoadFile(store.root / "sheet.csv");
    QAbstractItemModel* grid = sheet->StringGrid1()->model();
    QCOMPARE(grid->rowCount(), 4);
    QCOMPARE(grid->columnCount(), 2);
    QCOMPARE(grid->index(2, 1).data().toString(), QStringLiteral("二郎"));
    QCOMPARE(grid->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(0, 255, 0));
    QCOMPARE(sheet->Edit2()->text(), QStringLiteral("4"));
    QVERIFY(sheet->LblinsertFilename()->text().endsWith(QStringLiteral("sheet.csv")));
    sheet->grab().save(QStringLiteral("merge_sheet.png"));
    sheet->close();
    QVERIFY(!sheet->isVisible());
    QVERIFY(send->CheckBox1()->isChecked());
    QVERIFY(ActionNamed(send, QStringLiteral("名前(%SS2%)")));

    // The placeholder from the column item goes where the caret was.
    send->edtSubject()->setFocus();
    send->edtSubject()->setText(QStringLiteral("ご案内 "));
    send->MergeMenu()->aboutToShow();
    ActionNamed(send, QStringLiteral("名前(%SS2%)"))->trigger();
    QCOMPARE(send->edtSubject()->text(), QStringLiteral("ご案内 %SS2%"));
    send->Memo1()->setPlainText(QStringLiteral("%SS2%様\nご案内です。"));

    ActionNamed(send, QStringLiteral("プレビュー"))->trigger();
    TfrmPreView* preview = w.frmPreView.get();
    QVERIFY(preview->isVisible());
    QCOMPARE(preview->LblRecNum()->text(), QStringLiteral("1"));
    QTest::mouseClick(preview->NextButton(), Qt::LeftButton);
    QCOMPARE(preview->LblRecNum()->text(), QStringLiteral("2"));
    QCOMPARE(preview->Memo1()->toPlainText(), QStringLiteral("二郎様\nご案内です。"));
    QTest::mouseClick(preview->NextButton(), Qt::LeftButton);
    QTest::mouseClick(preview->NextButton(), Qt::LeftButton);
    QCOMPARE(preview->LblRecNum()->text(), QStringLiteral("3"));
    QCOMPARE(script->messages.last(), QStringLiteral("最後のデータです"));
    preview->close();

    QVERIFY2(send->SendMail(), qPrintable(script->messages.join('|')));
    QVERIFY(!send->isVisible());
    // The merge log opens after the send.
    QVERIFY(w.frmInsertLog->isVisible());
    const QString log = w.frmInsertLog->Memo1()->toPlainText();
    QCOMPARE(log.count(QStringLiteral("\tOK")), 3);
    for (const char* who : {"one", "two", "three"}) QVERIFY(!servers->WaitForDelivered(who + domain).empty());
  }

  void queuedMessageIsSentByTheTimer() {
    auto servers = test::TestServers::Find();
    if (!servers) QSKIP("PLUMEX_TEST_SERVERS not set");
    Store store;
    store.Write(servers->Get("SMTP_PORT"));
    auto port = std::make_unique<ScriptedPort>();
    ScriptedPort* script = port.get();
    AppWindows w(store.root, std::move(port));
    TfrmMain* main = w.frmMain.get();
    TfrmSend* send = w.frmSend.get();
    main->ShowAtStart();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QVERIFY(!main->DelayedSendLabelShown());
    QVERIFY(!main->FindAction(QStringLiteral("送受信/時差送信解除"))->isEnabled());

    main->FindAction(QStringLiteral("ファイル/メールの作成"))->trigger();
    const std::string domain = UniqueDomain();
    send->edtTo()->setCurrentText(QString::fromStdString("later" + domain));
    send->edtSubject()->setText(QStringLiteral("時差のテスト"));
    send->cmbAfterSend()->setCurrentText(QStringLiteral("1"));
    QVERIFY(send->SendMail());
    QVERIFY(script->messages.contains(QStringLiteral("1分後に送信します")));
    QVERIFY(main->DelayedSendLabelShown());
    QVERIFY(main->FindAction(QStringLiteral("送受信/時差送信解除"))->isEnabled());
    QCOMPARE(main->DelayedSendTimer()->interval(), 60000);
    // Not due yet: a tick sends nothing.
    main->DelayedSendTick();
    QVERIFY(main->DelayedSendLabelShown());
    // A minute later by the queue's clock; the timer's next tick sends it.
    main->Core().DelayedSend().Queue().SetClock([] { return std::time(nullptr) + 61; });
    main->DelayedSendTimer()->start(10);
    QTRY_VERIFY2_WITH_TIMEOUT(!main->DelayedSendLabelShown(), qPrintable(script->messages.join('|').replace(QStringLiteral("\r\n"), QStringLiteral(" "))), 20000);
    QVERIFY(!main->DelayedSendTimer()->isActive());
    QVERIFY(!servers->WaitForDelivered("later" + domain).empty());
  }

  void closingWithUnsentTextAsksAndAReopenedDraftIsSavedOver() {
    Store store;
    store.Write("1");
    auto port = std::make_unique<ScriptedPort>();
    ScriptedPort* script = port.get();
    AppWindows w(store.root, std::move(port));
    TfrmMain* main = w.frmMain.get();
    TfrmSend* send = w.frmSend.get();
    main->ShowAtStart();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    const QString question = QStringLiteral("送信していないメールがあります。\r\n\r\n一時保存しますか？\r\n（「いいえ」を選ぶとメールを破棄します）");

    // Nothing typed: closes without a word.
    main->FindAction(QStringLiteral("ファイル/メールの作成"))->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(send));
    QTest::keyClick(send, Qt::Key_Escape);
    QVERIFY(!send->isVisible());
    QVERIFY(script->messages.isEmpty());

    // Typed text: Escape asks; "キャンセル" keeps the window, "いいえ" throws it away.
    main->FindAction(QStringLiteral("ファイル/メールの作成"))->trigger();
    send->Memo1()->insertPlainText(QStringLiteral("書きかけ"));
    send->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(send));
    script->answers = {MsgAnswer::Cancel};
    QTest::keyClick(send, Qt::Key_Escape);
    QCOMPARE(script->messages, QStringList{question});
    QVERIFY(send->isVisible());
    script->answers = {MsgAnswer::No};
    ActionNamed(send, QStringLiteral("中止"))->trigger();
    QVERIFY(!send->isVisible());
    QVERIFY(!std::filesystem::exists(store.root / "一時保存" / "temp.ini"));

    // An attachment alone asks too; "はい" keeps the message as a draft.
    main->FindAction(QStringLiteral("ファイル/メールの作成"))->trigger();
    WriteLines(store.root / "memo.txt", {"x"});
    send->AddAttachment(QString::fromStdString((store.root / "memo.txt").string()));
    send->edtSubject()->setText(QStringLiteral("下書き"));
    script->messages.clear();
    script->answers = {MsgAnswer::Yes};
    QVERIFY(send->close());
    QCOMPARE(script->messages, QStringList{question});
    std::vector<std::string> rows;
    ReadLines(store.root / "一時保存" / "temp.ini", rows);
    QCOMPARE(rows.size(), 1u);

    // The drafts folder, its row double-clicked: the draft comes back, and saving over it
    // replaces it.
    QTreeView* tree = main->TreeView2();
    QModelIndex drafts;
    for (int r = 0; r < tree->model()->rowCount(); ++r)
      if (tree->model()->index(r, 0).data().toString().startsWith(QStringLiteral("一時保存"))) drafts = tree->model()->index(r, 0);
    QVERIFY(drafts.isValid());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(drafts).center());
    QTreeView* list = main->ListView1();
    QCOMPARE(list->model()->rowCount(), 1);
    const QRect row = list->visualRect(list->model()->index(0, kColSubject));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QVERIFY(send->isVisible());
    QCOMPARE(send->edtSubject()->text(), QStringLiteral("下書き"));
    QCOMPARE(send->ListBox1()->count(), 1);
    send->edtSubject()->setText(QStringLiteral("下書き（改）"));
    QAction* overwrite = ActionNamed(send, QStringLiteral("一時保存上書き"));
    QVERIFY(overwrite->isEnabled());
    overwrite->trigger();
    QVERIFY(!send->isVisible());
    rows.clear();
    ReadLines(store.root / "一時保存" / "temp.ini", rows);
    QCOMPARE(rows.size(), 1u);
    QVERIFY(Cp932ToUtf8(rows[0]).find("下書き（改）") != std::string::npos);
    QCOMPARE(list->model()->rowCount(), 1);

    // Quitting the program with a message being written asks the same question first:
    // "キャンセル" keeps both windows, "はい" keeps the message as a draft and the program ends.
    main->FindAction(QStringLiteral("ファイル/メールの作成"))->trigger();
    send->edtSubject()->setText(QStringLiteral("終了前"));
    script->messages.clear();
    script->answers = {MsgAnswer::Cancel};
    QVERIFY(!main->close());
    QCOMPARE(script->messages, QStringList{question});
    QVERIFY(main->isVisible() && send->isVisible());
    script->answers = {MsgAnswer::Yes};
    QVERIFY(main->close());
    rows.clear();
    ReadLines(store.root / "一時保存" / "temp.ini", rows);
    QCOMPARE(rows.size(), 2u);
  }
};

QTEST_MAIN(MergeDraftsWindowTest)
#include "merge_drafts_window_test.moc"

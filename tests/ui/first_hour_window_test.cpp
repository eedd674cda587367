// What a new user meets in the first hour, in the real windows: the message on screen is the
// one reply acts on, the tree shows the folder the list shows, a message box belongs to the
// window whose command raised it, Qt's own buttons and dialogs speak Japanese, the first
// account window lies on screen, and the window's place and folder come back after a restart.
#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QtTest>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "shell/app_core.h"
#include "store/file_key.h"
#include "ui/app_windows.h"
#include "ui/folder_tree_model.h"
#include "ui/frm_account.h"
#include "ui/frm_main.h"
#include "ui/frm_send.h"
#include "ui/japanese_translations.h"

using namespace plumex;

namespace {

// Answers every box with its first choice and notes the window each one belongs to.
class OwnerRecordingPort : public QtUiPort {
 public:
  QStringList messages;
  QList<QWidget*> owners;
  MsgAnswer MessageBox(const std::string& text, MsgIcon, MsgButtons buttons) override {
    messages << QString::fromStdString(Cp932ToUtf8(text));
    owners << DialogParent();
    return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Yes;
  }
};

std::string Sj(const char* utf8) { return Utf8ToCp932(utf8); }

void WriteMessage(const std::filesystem::path& folder, const std::string& id, const char* from, const char* body) {
  std::filesystem::create_directories(folder);
  WriteLines(folder / (MakeFileKey(id) + ".txt"),
             {Sj("差出人:") + Sj(from), "ReplyTo:", "-------------------", Sj(body)});
}

std::string Row(const std::string& id, const char* subject, const char* from, const char* date) {
  return id + "\t" + Sj(subject) + "\t" + Sj(from) + "\t" + date + "\t100\t2\t2\t2";
}

// Accounts A (in use) and B. A's inbox: two mails from two people; its folder "取引先": one.
void WriteStore(const std::filesystem::path& root) {
  WriteLines(root / "Account.ini", {"A\tpop.a\tua\tpa\tsmtp.a\ta@example.jp\t110\t25\t0",
                                    "B\tpop.b\tub\tpb\tsmtp.b\tb@example.jp\t110\t25\t0"});
  WriteLines(root / "plumex.ini", {"[CurAccount]", "Position=A"});
  const auto inbox = root / "受信" / "A";
  WriteMessage(inbox, "<sato@x>", "佐藤 <sato@example.jp>", "佐藤の本文です");
  WriteMessage(inbox, "<yamada@x>", "山田 <yamada@example.jp>", "山田の本文です");
  WriteLines(inbox / "MsgID.ini", {Row("<sato@x>", "見積", "佐藤 <sato@example.jp>", "2009/09/02_10:00:00"),
                                   Row("<yamada@x>", "会議", "山田 <yamada@example.jp>", "2009/09/01_10:00:00")});
  WriteMessage(inbox / "取引先", "<client@x>", "client@example.jp", "取引先の本文");
  WriteLines(inbox / "取引先" / "MsgID.ini", {Row("<client@x>", "注文", "client@example.jp", "2009/08/01_10:00:00")});
  WriteMessage(root / "受信" / "B", "<b1@x>", "b@example.jp", "Bの本文");
  WriteLines(root / "受信" / "B" / "MsgID.ini", {Row("<b1@x>", "B宛", "b@example.jp", "2009/07/01_10:00:00")});
}

QPoint CellCentre(QTreeView* view, int row, int column = 0) {
  return view->visualRect(view->model()->index(row, column)).center();
}

// The folder the tree highlights (current and selected), as a store path.
std::string NodePath(QTreeView* tree) {
  const QModelIndex i = tree->currentIndex();
  if (!i.isValid() || !tree->selectionModel()->isSelected(i)) return {};
  const FolderNode* node = static_cast<FolderTreeModel*>(tree->model())->NodeOf(i);
  return node ? Cp932ToUtf8(node->Path()) : std::string();
}

}  // namespace

class FirstHourWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { QVERIFY(LoadJapaneseTranslations(*QCoreApplication::instance())); }

  // The arrow keys show the row they reach, and "返信" answers that very message: recipient,
  // subject and quote from one mail.
  void replyAnswersTheMessageOnScreen() {
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    WriteStore(root);
    AppWindows windows(root, std::make_unique<OwnerRecordingPort>());
    TfrmMain* main = windows.frmMain.get();
    main->ShowAtStart();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QTreeView* list = main->ListView1();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, CellCentre(list, 0, kColSubject));
    QVERIFY(main->memBody()->toPlainText().contains(QStringLiteral("佐藤の本文")));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QVERIFY(main->memBody()->toPlainText().contains(QStringLiteral("山田の本文")));

    main->FindAction(QStringLiteral("tool/返信"))->trigger();
    TfrmSend* compose = windows.frmSend.get();
    QVERIFY(compose->isVisible());
    QCOMPARE(compose->edtTo()->currentText(), QStringLiteral("山田 <yamada@example.jp>"));
    QCOMPARE(compose->edtSubject()->text(), QStringLiteral("返信:会議"));
    QVERIFY(compose->Memo1()->toPlainText().contains(QStringLiteral("山田の本文")));
    QVERIFY(!compose->Memo1()->toPlainText().contains(QStringLiteral("佐藤")));
  }

  // Keys in the tree open the folder they reach; the account window's arrows browse without
  // switching, and "閉じる" on another account puts its inbox in the list and its node
  // highlighted in the tree.
  void theTreeHighlightsTheFolderTheListShows() {
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    WriteStore(root);
    AppWindows windows(root, std::make_unique<OwnerRecordingPort>());
    TfrmMain* main = windows.frmMain.get();
    main->ShowAtStart();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QTreeView* tree = main->TreeView1();
    QCOMPARE(NodePath(tree), std::string("受信\\A\\"));
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Down);  // A's folder "取引先"
    QCOMPARE(NodePath(tree), std::string("受信\\A\\取引先\\"));
    QCOMPARE(Cp932ToUtf8(main->Core().State().CurrentFolderPath), std::string("受信\\A\\取引先\\"));
    QCOMPARE(main->Shell().List().Count(), 1u);

    TfrmAccount* account = windows.frmAccount.get();
    main->FindAction(QStringLiteral("設定/アカウント"))->trigger();
    QTest::mouseClick(account->btnNext(), Qt::LeftButton);
    QCOMPARE(account->edtAccount()->text(), QStringLiteral("B"));
    QCOMPARE(main->Core().State().CurrentAccount, std::string("A"));  // only shown so far
    QCOMPARE(NodePath(tree), std::string("受信\\A\\取引先\\"));
    QTest::mouseClick(account->btnClose(), Qt::LeftButton);
    QVERIFY(!account->isVisible());
    QCOMPARE(main->Core().State().CurrentAccount, std::string("B"));
    QCOMPARE(NodePath(tree), std::string("受信\\B\\"));
    QCOMPARE(main->Shell().List().Count(), 1u);
    QCOMPARE(main->Shell().List().MessageId(0), std::string_view("<b1@x>"));
  }

  // Reading: long lines wrap, the date column holds the whole date at its standard width and
  // its arrow shows the newest first, a text attachment reads in its own code, and a send
  // folder's column says it lists recipients.
  void readingShowsWholeDatesRecipientsAndTheSortColumn() {
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    WriteStore(root);
    const auto attachments = root / "受信" / "A" / "Attachment" / MakeFileKey("<sato@x>");
    std::filesystem::create_directories(attachments);
    WriteFileAtomic(attachments / "memo.txt", "UTF-8 のメモです\r\n");
    std::filesystem::create_directories(root / "送信");
    WriteLines(root / "送信" / "Send.ini", {Row("<sent@x>", "お礼", "hanako@example.jp", "2009/09/03_101500")});
    AppWindows windows(root, std::make_unique<OwnerRecordingPort>());
    TfrmMain* main = windows.frmMain.get();
    main->ShowAtStart();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QCOMPARE(main->memBody()->lineWrapMode(), QTextEdit::WidgetWidth);

    QTreeView* list = main->ListView1();
    const QString date = list->model()->index(0, kColDate).data().toString();
    QCOMPARE(date, QStringLiteral("2009/09/02 10:00:00"));
    QVERIFY(list->columnWidth(kColDate) > list->fontMetrics().horizontalAdvance(date));
    QVERIFY(list->header()->isSortIndicatorShown());
    QCOMPARE(list->header()->sortIndicatorSection(), static_cast<int>(kColDate));
    QCOMPARE(list->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    QTest::mouseClick(list->header()->viewport(), Qt::LeftButton, {},
                      QPoint(list->header()->sectionViewportPosition(kColSubject) + 5, 5));
    QCOMPARE(list->header()->sortIndicatorSection(), static_cast<int>(kColSubject));
    QCOMPARE(list->header()->sortIndicatorOrder(), Qt::AscendingOrder);

    int sato = list->model()->index(0, kColMsgId).data().toString() == QStringLiteral("<sato@x>") ? 0 : 1;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, CellCentre(list, sato, kColSubject));
    QVERIFY(main->PreviewPane()->isVisible());
    QCOMPARE(main->PreviewText()->toPlainText(), QStringLiteral("UTF-8 のメモです\n"));

    QCOMPARE(list->model()->headerData(kColCorrespondent, Qt::Horizontal).toString(), QStringLiteral("差出人"));
    QTreeView* sent = main->TreeView2();
    QTest::mouseClick(sent->viewport(), Qt::LeftButton, {}, CellCentre(sent, 0));
    QCOMPARE(list->model()->headerData(kColCorrespondent, Qt::Horizontal).toString(), QStringLiteral("あて先"));
    QCOMPARE(list->model()->index(0, kColCorrespondent).data().toString(), QStringLiteral("hanako@example.jp"));
    QCOMPARE(list->model()->index(0, kColDate).data().toString(), QStringLiteral("2009/09/03 10:15:00"));
  }

  // A message raised by the compose window's or the account window's command is shown over
  // that window, not behind it over the main window.
  void aMessageBelongsToTheWindowThatRaisedIt() {
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    WriteStore(root);
    auto port = std::make_unique<OwnerRecordingPort>();
    OwnerRecordingPort* script = port.get();
    AppWindows windows(root, std::move(port));
    TfrmMain* main = windows.frmMain.get();
    main->ShowAtStart();
    main->FindAction(QStringLiteral("tool/新規作成"))->trigger();
    TfrmSend* compose = windows.frmSend.get();
    QVERIFY(compose->isVisible());
    QToolBar* tools = compose->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    QVERIFY(tools);
    QAction* send = nullptr;
    for (QAction* a : tools->actions())
      if (a->iconText() == QStringLiteral("送信")) send = a;
    QVERIFY(send);
    send->trigger();  // no recipient yet
    QCOMPARE(script->messages.last(), QStringLiteral("あて先が指定されていません"));
    QCOMPARE(script->owners.last(), static_cast<QWidget*>(compose));

    TfrmAccount* account = windows.frmAccount.get();
    main->FindAction(QStringLiteral("設定/アカウント"))->trigger();
    account->edtAddress()->clear();
    QTest::mouseClick(account->btnClose(), Qt::LeftButton);
    QVERIFY(script->messages.last().endsWith(QStringLiteral("入力されていない項目: 自分のメールアドレス")));
    QCOMPARE(script->owners.last(), static_cast<QWidget*>(account));
    QVERIFY(account->isVisible());
  }

  // The standard buttons of a question and the file dialog are Qt's own, in Japanese.
  void questionAndFileDialogAreJapanese() {
    QtUiPort port;
    QStringList buttons;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box);
      for (QAbstractButton* b : box->buttons()) buttons << b->text();
      box->button(QMessageBox::No)->click();
    });
    QCOMPARE(port.MessageBox(Sj("よろしいですか？"), MsgIcon::Question, MsgButtons::YesNoCancel), MsgAnswer::No);
    QStringList japanese{QStringLiteral("いいえ(&N)"), QStringLiteral("キャンセル"), QStringLiteral("はい(&Y)")};
    buttons.sort();
    japanese.sort();
    QCOMPARE(buttons, japanese);

    QStringList labels, dialog_buttons;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      for (QLabel* l : dialog->findChildren<QLabel*>())
        if (!l->text().isEmpty()) labels << l->text();
      for (QAbstractButton* b : dialog->findChild<QDialogButtonBox*>()->buttons()) dialog_buttons << b->text();
      dialog->reject();
    });
    QVERIFY(!port.ChooseSaveFile("a.txt", Sj("すべてのファイル(*.*)")));
    QVERIFY2(labels.contains(QStringLiteral("ファイル名(&N):")), qPrintable(labels.join('|')));
    QVERIFY2(labels.contains(QStringLiteral("アドレス:")), qPrintable(labels.join('|')));
    QVERIFY2(dialog_buttons.contains(QStringLiteral("キャンセル")), qPrintable(dialog_buttons.join('|')));
    for (const QString& english : {QStringLiteral("Look in:"), QStringLiteral("File name:"), QStringLiteral("Cancel")})
      QVERIFY(!labels.contains(english) && !dialog_buttons.contains(english));
  }

  // A link with no browser to open it says so instead of doing nothing.
  void aLinkWithoutABrowserSaysSo() {
    QTemporaryDir empty_path;
    const QByteArray path = qgetenv("PATH"), browser = qgetenv("BROWSER");
    qputenv("PATH", empty_path.path().toUtf8());
    qunsetenv("BROWSER");
    OwnerRecordingPort port;
    port.OpenUrl("https://example.jp/shiryou/");
    qputenv("PATH", path);
    if (!browser.isEmpty()) qputenv("BROWSER", browser);
    QCOMPARE(port.messages, QStringList{QStringLiteral("リンクを開くウェブブラウザが見つかりません。\r\nhttps://example.jp/shiryou/")});
  }

  // A store without accounts opens the account window, wholly on the screen; Escape on it
  // empty says what is missing.
  void firstRunOpensTheAccountWindowOnScreen() {
    QTemporaryDir dir;
    auto port = std::make_unique<OwnerRecordingPort>();
    OwnerRecordingPort* script = port.get();
    AppWindows windows(std::filesystem::path(dir.path().toStdString()), std::move(port));
    TfrmMain* main = windows.frmMain.get();
    main->ShowAtStart();
    main->OfferAccountSetup();
    TfrmAccount* account = windows.frmAccount.get();
    QVERIFY(QTest::qWaitForWindowExposed(account));
    const QRect screen = account->screen()->availableGeometry();
    QVERIFY2(screen.contains(account->frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                       .arg(account->frameGeometry().x())
                                                                       .arg(account->frameGeometry().y())
                                                                       .arg(account->frameGeometry().width())
                                                                       .arg(account->frameGeometry().height())));
    QTest::keyClick(account, Qt::Key_Escape);
    QVERIFY(script->messages.last().contains(QStringLiteral("入力されていない項目: アカウント名、")));
    QCOMPARE(script->owners.last(), static_cast<QWidget*>(account));
    QVERIFY(account->isVisible());
  }

  // The place of the window and the folder on screen come back after a restart.
  void placeAndFolderSurviveARestart() {
    QTemporaryDir dir;
    const std::filesystem::path root(dir.path().toStdString());
    WriteStore(root);
    {
      AppWindows windows(root, std::make_unique<OwnerRecordingPort>());
      TfrmMain* main = windows.frmMain.get();
      main->ShowAtStart();
      QVERIFY(QTest::qWaitForWindowExposed(main));
      main->move(70, 40);
      QTRY_COMPARE(main->pos(), QPoint(70, 40));
      QTreeView* tree = main->TreeView1();
      tree->setFocus();
      QTest::keyClick(tree, Qt::Key_Down);
      QCOMPARE(NodePath(tree), std::string("受信\\A\\取引先\\"));
      main->close();
    }
    AppWindows windows(root, std::make_unique<OwnerRecordingPort>());
    TfrmMain* main = windows.frmMain.get();
    main->ShowAtStart();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QCOMPARE(main->pos(), QPoint(70, 40));
    QCOMPARE(NodePath(main->TreeView1()), std::string("受信\\A\\取引先\\"));
    QCOMPARE(main->Shell().List().MessageId(0), std::string_view("<client@x>"));
    QCOMPARE(main->Core().State().CurrentAccount, std::string("A"));
  }
};

QTEST_MAIN(FirstHourWindowTest)
#include "first_hour_window_test.moc"

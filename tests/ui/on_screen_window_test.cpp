// What the person sees is what the commands act on, in the real windows: every refill of the
// compose window asks about a message being written; the viewer emptied by a delete, a move,
// an extraction or a folder change offers no command on the message gone; "メールを上書き保存する"
// never destroys HTML mail; the HTML view shows the message's own pictures and opens a link
// only after showing where it leads; and the findings of a first afternoon in the window.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QtTest>

#include <functional>

#include "text/code_page.h"
#include "text/sjis_text.h"
#include "platform/text_file.h"
#include "shell/message_list.h"
#include "store/file_key.h"
#include "ui/app_windows.h"
#include "ui/frm_main.h"
#include "ui/frm_send.h"
#include "ui/safe_text_browser.h"

using namespace plumex;

namespace {

// Records every message box and link, and answers from a script (Yes / OK when it is empty).
class ScriptedPort : public QtUiPort {
 public:
  QStringList messages;
  QList<MsgIcon> icons;
  QList<MsgAnswer> answers;
  QStringList urls;
  MsgAnswer MessageBox(const std::string& text, MsgIcon icon, MsgButtons buttons) override {
    messages << QString::fromStdString(Cp932ToUtf8(text));
    icons << icon;
    if (buttons != MsgButtons::Ok && !answers.isEmpty()) return answers.takeFirst();
    return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Yes;
  }
  std::optional<std::string> InputBox(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  void OpenUrl(const std::string& url) override { urls << QString::fromStdString(url); }
  void OpenFile(const std::filesystem::path&) override {}
};

void WriteUtf8(const std::filesystem::path& file, const std::vector<std::string>& utf8_lines) {
  std::filesystem::create_directories(file.parent_path());
  std::vector<std::string> lines;
  for (const auto& l : utf8_lines) lines.push_back(Utf8ToCp932(l));
  WriteLines(file, lines);
}

std::string ReadUtf8(const std::filesystem::path& file) { return Cp932ToUtf8(ReadFileBytes(file).value_or("<missing>")); }

const QString kDiscardQuestion =
    QStringLiteral("送信していないメールがあります。\r\n\r\n一時保存しますか？\r\n（「いいえ」を選ぶとメールを破棄します）");

// A store with one account and three messages in its inbox: a plain-text one that quotes HTML,
// one with a text part, an HTML part with an inline picture, a remote picture and a deceptive
// link, and one more; an empty subfolder and an address book.
struct Store {
  QTemporaryDir dir;
  std::filesystem::path root{dir.path().toStdString()};
  std::filesystem::path inbox = root / "受信" / "テスト";
  Store() {
    WriteUtf8(root / "Account.ini", {"テスト\t127.0.0.1\tme\tpw\t127.0.0.1\tme@example.jp\t110\t25\t0\t>\t0\t0"});
    WriteUtf8(root / "plumex.ini", {"[CurAccount]", "Position=テスト"});
    WriteUtf8(inbox / "MsgID.ini", {"<plain@x>\t平文\ttaro@example.jp\t2009/03/03_10:00:00\t10\t2\t2\t2",
                                    "<html@x>\tHTML\ttaro@example.jp\t2009/03/02_10:00:00\t10\t1\t2\t2",
                                    "<other@x>\t別件\ttaro@example.jp\t2009/03/01_10:00:00\t10\t2\t2\t2"});
    WriteUtf8(inbox / (MakeFileKey("<plain@x>") + ".txt"),
              {"差出人:taro@example.jp", "件名:平文", "-------------------", "例:", "<html><body>引用</body></html>", "以上です。"});
    WriteUtf8(inbox / (MakeFileKey("<html@x>") + ".txt"),
              {"差出人:taro@example.jp", "件名:HTML", "Content-ID:<logo@x>\tlogo.png", "-------------------", "本文です",
               "",
               "<html><body><p>本文です</p><img src=\"cid:logo@x\"><img src=\"https://tracker.example/t.gif\">"
               "<p><a href=\"https://evil.example/login\">https://bank.example/login</a></p></body></html>"});
    std::filesystem::create_directories(inbox / "Attachment" / MakeFileKey("<html@x>"));
    QImage logo(24, 24, QImage::Format_RGB32);
    logo.fill(Qt::red);
    logo.save(QString::fromStdString((inbox / "Attachment" / MakeFileKey("<html@x>") / "logo.png").string()));
    WriteUtf8(inbox / (MakeFileKey("<other@x>") + ".txt"), {"差出人:taro@example.jp", "-------------------", "別件です"});
    WriteUtf8(inbox / "子" / "MsgID.ini", {});
    WriteUtf8(root / "Address" / "友人.adr", {"山田 太郎\ttaro@example.jp\t"});
    WriteUtf8(root / "添付.txt", {"x"});
  }
};

struct Window {
  Store& store;
  ScriptedPort* script = nullptr;
  std::unique_ptr<AppWindows> w;
  TfrmMain* main = nullptr;
  TfrmSend* send = nullptr;
  explicit Window(Store& s) : store(s) {
    auto port = std::make_unique<ScriptedPort>();
    script = port.get();
    w = std::make_unique<AppWindows>(store.root, std::move(port));
    main = w->frmMain.get();
    send = w->frmSend.get();
    main->ShowAtStart();
    main->resize(900, 700);
  }
  // The row's cell, laid out and in view.
  QPoint CellOf(const std::string& id) {
    QTreeView* list = main->ListView1();
    QApplication::processEvents();
    const QModelIndex index = list->model()->index(RowOf(id), kColSubject);
    list->scrollTo(index);
    return list->visualRect(index).center();
  }
  int RowOf(const std::string& id) {
    MessageList& list = main->Shell().List();
    for (size_t r = 0; r < list.Count(); ++r)
      if (list.MessageId(r) == id) return static_cast<int>(r);
    return -1;
  }
  // A click on the row: it is chosen and shown.
  void Show(const std::string& id) {
    QTest::mouseClick(main->ListView1()->viewport(), Qt::LeftButton, {}, CellOf(id));
    QVERIFY2(main->Shell().State().Viewer.shown_row.rfind(id, 0) == 0, id.c_str());
  }
  void DoubleClick(const std::string& id) {
    const QPoint at = CellOf(id);
    QTest::mouseClick(main->ListView1()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(main->ListView1()->viewport(), Qt::LeftButton, {}, at);
  }
  FolderNode* Node(const std::string& utf8_path) { return main->Shell().ReceiveTree().FindByPath(Utf8ToCp932(utf8_path)); }
  // The menu holding the action, its enable rules run as when it opens.
  QAction* Offered(const QString& key) {
    QAction* a = main->FindAction(key);
    for (QObject* o : a->associatedObjects())
      if (auto* menu = qobject_cast<QMenu*>(o)) QMetaObject::invokeMethod(menu, "aboutToShow");
    return a;
  }
  int Questions() const { return static_cast<int>(script->messages.count(kDiscardQuestion)); }
};

}  // namespace

class OnScreenWindowTest : public QObject {
  Q_OBJECT
 private slots:
  // Every path that refills the compose window asks first while it holds a message being
  // written: "キャンセル" keeps it, "いいえ" throws it away and the refill goes on.
  void everyRefillAsksAboutTheMessageBeingWritten() {
    Store store;
    Window win(store);
    QVERIFY(QTest::qWaitForWindowExposed(win.main));
    const QString attachment = QString::fromStdString((store.root / "添付.txt").string());
    const struct {
      const char* name;
      std::function<void()> refill;
    } paths[] = {
        {"メールの作成", [&] { win.main->FindAction(QStringLiteral("ファイル/メールの作成"))->trigger(); }},
        {"返信", [&] { win.main->FindAction(QStringLiteral("送受信/返信"))->trigger(); }},
        {"転送", [&] { win.main->FindAction(QStringLiteral("送受信/転送"))->trigger(); }},
        {"double click", [&] { win.DoubleClick("<other@x>"); }},
        {"drop", [&] { win.main->DropFiles({attachment}); }},
        {"添付ファイル貼り付け",
         [&] {
           auto* copied = new QMimeData;
           copied->setUrls({QUrl::fromLocalFile(attachment)});
           QApplication::clipboard()->setMimeData(copied);
           win.main->FindAction(QStringLiteral("編集/添付ファイル貼り付け"))->trigger();
         }},
        {"mailto", [&] { win.main->ComposeMailto(QStringLiteral("mailto:hanako@example.jp?subject=hi")); }},
    };
    for (const auto& path : paths) {
      // A message being written in a window that shows it.
      win.Show("<plain@x>");
      win.main->FindAction(QStringLiteral("ファイル/メールの作成"))->trigger();
      QVERIFY2(win.send->isVisible(), path.name);
      win.send->Memo1()->setPlainText(QStringLiteral("書きかけ"));
      win.script->messages.clear();

      win.script->answers = {MsgAnswer::Cancel};
      path.refill();
      QVERIFY2(win.Questions() == 1, path.name);
      QVERIFY2(win.send->Memo1()->toPlainText() == QStringLiteral("書きかけ"), path.name);
      QVERIFY2(win.send->ListBox1()->count() == 0, path.name);
      QVERIFY2(win.send->isVisible(), path.name);

      win.script->answers = {MsgAnswer::No};
      path.refill();
      QVERIFY2(win.Questions() == 2, path.name);
      QVERIFY2(!win.send->Memo1()->toPlainText().contains(QStringLiteral("書きかけ")), path.name);
      QVERIFY2(win.send->isVisible(), path.name);
    }
    // Unchanged content is refilled without a word.
    win.script->messages.clear();
    win.main->FindAction(QStringLiteral("ファイル/メールの作成"))->trigger();
    win.main->FindAction(QStringLiteral("ファイル/メールの作成"))->trigger();
    QCOMPARE(win.Questions(), 0);
    win.send->grab().save(QStringLiteral("refill_compose.png"));
  }

  // After a delete, a move, an extraction or a folder change nothing of the message shown
  // before is offered: no save, print, overwrite, reply or forward of a message gone, even
  // after typing into the emptied pane.
  void theEmptiedViewerOffersNoCommandOnTheMessageGone() {
    Store store;
    Window win(store);
    QVERIFY(QTest::qWaitForWindowExposed(win.main));
    const struct {
      const char* name;
      std::function<void()> act;
    } steps[] = {
        {"delete", [&] { win.main->FindAction(QStringLiteral("編集/ローカルメール削除"))->trigger(); }},
        {"move",
         [&] {
           win.main->Core().Run([&] {
             win.main->Core().Messages().DropRows(win.main->Core().Messages().SelectedRows(), Trees::Receive,
                                                  win.Node("受信\\テスト\\子\\"));
           });
         }},
        {"extraction", [&] { win.main->Core().Run([&] { win.main->Core().Search().Extract(Utf8ToCp932("です")); }); }},
        {"folder change", [&] { win.main->Core().SelectReceiveNode(win.Node("受信\\テスト\\子\\")); }},
    };
    const QStringList keys = {QStringLiteral("ファイル/メールを保存する"), QStringLiteral("ファイル/印刷"),
                              QStringLiteral("ファイル/メールを上書き保存する"), QStringLiteral("送受信/返信"),
                              QStringLiteral("送受信/転送"), QStringLiteral("表示/HTML表示")};
    for (const auto& step : steps) {
      win.main->Core().SelectReceiveNode(win.Node("受信\\テスト\\"));
      const std::string id(win.main->Shell().List().MessageId(0));
      win.Show(id);
      win.main->memBody()->insertPlainText(QStringLiteral("追記"));
      // Shown: all of them (the overwrite only for a plain-text message).
      for (const QString& key : keys)
        if (key != QStringLiteral("ファイル/メールを上書き保存する"))
          QVERIFY2(win.Offered(key)->isEnabled(), qPrintable(QString::fromUtf8(step.name) + " " + key));
      step.act();
      win.main->memBody()->insertPlainText(QStringLiteral("空の欄に入力"));
      for (const QString& key : keys)
        QVERIFY2(!win.Offered(key)->isEnabled(), qPrintable(QString::fromUtf8(step.name) + " " + key));
      QCOMPARE(win.main->Offers(), ViewerOffers{});
      // Triggered anyway (a shortcut), the overwrite writes no file back.
      const auto file = (step.name == std::string("move") ? store.inbox / "子" : store.inbox) / (MakeFileKey(id) + ".txt");
      const bool existed = std::filesystem::exists(file);
      win.main->FindAction(QStringLiteral("ファイル/メールを上書き保存する"))->trigger();
      QCOMPARE(std::filesystem::exists(file), existed);
      if (existed) QVERIFY(ReadUtf8(file).find("空の欄に入力") == std::string::npos);
    }
  }

  // A message with an HTML part is never written back from the text view; a plain-text one that
  // quotes HTML shows and keeps all of its text.
  void overwriteKeepsHtmlMailAndPlainTextWhole() {
    Store store;
    Window win(store);
    QVERIFY(QTest::qWaitForWindowExposed(win.main));
    const auto html_file = store.inbox / (MakeFileKey("<html@x>") + ".txt");
    const std::string html_before = ReadUtf8(html_file);
    win.Show("<html@x>");
    QCOMPARE(win.main->memBody()->toPlainText(), QStringLiteral("本文です\n"));
    win.main->memBody()->insertPlainText(QStringLiteral("直した"));
    QVERIFY(!win.Offered(QStringLiteral("ファイル/メールを上書き保存する"))->isEnabled());
    win.main->FindAction(QStringLiteral("ファイル/メールを上書き保存する"))->trigger();  // disabled: nothing
    // Reached another way, the command refuses and says why.
    win.script->messages.clear();
    win.main->Core().Run([&] {
      win.main->Core().MessageFiles().OverwriteShownMessage(Utf8ToCp932("差出人:x\r\n-------------------\r\n"),
                                                             Utf8ToCp932("直した\r\n"));
    });
    QCOMPARE(ReadUtf8(html_file), html_before);
    QCOMPARE(win.script->messages.size(), 1);
    QVERIFY(win.script->messages[0].contains(QStringLiteral("HTML")));

    win.Show("<plain@x>");
    QVERIFY(win.main->memBody()->toPlainText().contains(QStringLiteral("以上です。")));
    win.main->memBody()->moveCursor(QTextCursor::End);
    win.main->memBody()->insertPlainText(QStringLiteral("追伸"));
    QVERIFY(win.Offered(QStringLiteral("ファイル/メールを上書き保存する"))->isEnabled());
    win.main->FindAction(QStringLiteral("ファイル/メールを上書き保存する"))->trigger();
    const std::string plain = ReadUtf8(store.inbox / (MakeFileKey("<plain@x>") + ".txt"));
    QVERIFY2(plain.find("<html><body>引用</body></html>\r\n以上です。\r\n追伸") != std::string::npos, plain.c_str());
  }

  // "HTML表示": the inline picture from the message's own part, nothing remote; a link opens
  // only after its real target was shown, with a warning when its text shows another domain.
  void htmlViewShowsOwnPicturesAndAsksBeforeALinkOpens() {
    Store store;
    Window win(store);
    QVERIFY(QTest::qWaitForWindowExposed(win.main));
    win.main->resize(900, 700);
    win.Show("<html@x>");
    win.main->FindAction(QStringLiteral("表示/HTML表示"))->trigger();
    SafeTextBrowser* view = win.main->htmlView();
    QVERIFY(view->isVisible());
    QTRY_COMPARE(view->picturesShown(), 1);
    QVERIFY(view->resourceRequests() >= 1);  // the remote picture was asked for and refused
    win.main->grab().save(QStringLiteral("html_view.png"));

    QTextCursor link = view->document()->find(QStringLiteral("https://bank.example/login"));
    QVERIFY(!link.isNull());
    QTextCursor middle(view->document());
    middle.setPosition((link.selectionStart() + link.selectionEnd()) / 2);
    const QPoint at = view->cursorRect(middle).center();
    win.script->messages.clear();
    win.script->answers = {MsgAnswer::No};
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(win.script->messages.size(), 1);
    QVERIFY2(win.script->messages[0].startsWith(QStringLiteral("注意：リンクの文字は「bank.example」を示していますが、実際のリンク先は「evil.example」です。")),
             qPrintable(win.script->messages[0]));
    QVERIFY(win.script->messages[0].contains(QStringLiteral("https://evil.example/login")));
    QCOMPARE(win.script->icons.back(), MsgIcon::Warning);
    QVERIFY(win.script->urls.isEmpty());
    win.script->answers = {MsgAnswer::Yes};
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(win.script->urls, QStringList{QStringLiteral("https://evil.example/login")});
  }

  // Enter in the real recipient box (the key goes to the box, whose line edit has it as its
  // focus proxy) completes; a double click on "送信" sends once.
  void enterCompletesAndADoubleClickSendsOnce() {
    Store store;
    Window win(store);
    QVERIFY(QTest::qWaitForWindowExposed(win.main));
    win.main->FindAction(QStringLiteral("ファイル/メールの作成"))->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(win.send));
    win.send->activateWindow();
    win.send->edtTo()->setFocus();
    QTest::keyClicks(win.send->edtTo(), QStringLiteral("taro"));
    QTest::keyClick(win.send->edtTo(), Qt::Key_Return);
    QCOMPARE(win.send->edtTo()->currentText(), QStringLiteral("\"山田 太郎\"<taro@example.jp>,"));

    win.send->edtSubject()->setText(QStringLiteral("一度だけ"));
    win.send->cmbAfterSend()->setCurrentText(QStringLiteral("5"));  // queued: no server needed
    QAction* send_action = win.send->findChild<QAction*>(QStringLiteral("mnuSend"));
    QVERIFY(send_action);
    QWidget* button = nullptr;
    for (QToolBar* bar : win.send->findChildren<QToolBar*>())
      if (QWidget* b = bar->widgetForAction(send_action)) button = b;
    QVERIFY(button);
    QTest::mouseDClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(win.main->Core().DelayedSend().Queue().Entries().size(), 1u);
  }

  // The start-up password is typed unseen; the save dialog lists files by each filter.
  void passwordsAreMaskedAndFiltersAreReadable() {
    QtUiPort port;
    bool masked = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      masked = dialog->textEchoMode() == QLineEdit::Password;
      dialog->setTextValue(QStringLiteral("secret"));
      dialog->accept();
    });
    QCOMPARE(port.PasswordBox(Sjis("パスワード"), Sjis("パスワードを入力してください")), std::optional<std::string>("secret"));
    QVERIFY(masked);
    QCOMPARE(DialogFilterOf(Sjis("テキストファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*")),
             QStringLiteral("テキストファイル (*.txt);;すべてのファイル (*)"));
    QCOMPARE(DialogFilterOf(Sjis("すべてのファイル(*.*)")), QStringLiteral("すべてのファイル (*)"));
  }
};

QTEST_MAIN(OnScreenWindowTest)
#include "on_screen_window_test.moc"

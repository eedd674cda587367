// The real main window on a fixture store, driven with Qt Test on the offscreen platform.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTreeView>
#include <QtTest>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "settings/profile_file.h"
#include "shell/message_list.h"
#include "ui/app_windows.h"
#include "ui/frm_main.h"
#include "ui/frm_send.h"
#include "ui/message_list_model.h"
#include "ui/safe_text_browser.h"

using namespace plumex;

namespace {

// Answers every dialog without showing it and records what would have been shown.
class ScriptedPort : public QtUiPort {
 public:
  QStringList messages;
  QStringList urls;
  MsgAnswer MessageBox(const std::string& text, MsgIcon, MsgButtons) override {
    messages << QString::fromStdString(Cp932ToUtf8(text));
    return MsgAnswer::Ok;
  }
  std::optional<std::string> InputBox(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  void OpenUrl(const std::string& url) override { urls << QString::fromStdString(url); }
  void OpenFile(const std::filesystem::path&) override {}
};

std::filesystem::path P(const QString& s) { return std::filesystem::path(s.toStdString()); }

void WriteUtf8(const std::filesystem::path& file, const std::vector<std::string>& utf8_lines) {
  std::filesystem::create_directories(file.parent_path());
  std::vector<std::string> lines;
  for (const auto& l : utf8_lines) lines.push_back(Utf8ToCp932(l));
  WriteLines(file, lines);
}

QModelIndex FindChild(QAbstractItemModel* model, const QModelIndex& parent, const QString& prefix) {
  for (int r = 0; r < model->rowCount(parent); ++r) {
    QModelIndex i = model->index(r, 0, parent);
    if (i.data().toString().startsWith(prefix)) return i;
  }
  return {};
}

void Click(QAbstractItemView* view, const QModelIndex& index) {
  view->scrollTo(index);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir dir_;
  std::filesystem::path root_;

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    root_ = P(dir_.path());
    WriteUtf8(root_ / "Account.ini", {"テスト\tpop.example.jp\tuser"});
    WriteUtf8(root_ / "plumex.ini", {"[CurAccount]", "Position=テスト", "[Form]", "Width=900", "Height=640"});
    WriteUtf8(root_ / "受信/テスト/MsgID.ini",
              {"<a1@example.jp>\t会議のお知らせ\t山田 太郎 <taro@example.jp>\t2009/09/08_12:34:56\t2048\t1\t1\t1",
               "<a2@example.jp>\t先週の議事録\t佐藤 花子 <hanako@example.jp>\t2009/09/01_09:00:00\t1024\t2\t2\t2",
               "<a3@example.jp>\t【重要】サーバ移行\tadmin@example.jp\t2009/08/30_18:20:00\t4096\t2\t3\t2"});
    WriteUtf8(root_ / "受信/テスト/0a1@example.jp9.txt",
              {"あて名:user@example.jp", "ReplyTo:", "CCList:", "Message-ID:<a1@example.jp>", "References:",
               "差出人:山田 太郎 <taro@example.jp>", "件名:会議のお知らせ", "日時:2009/09/08_12:34:56",
               "ﾌｧｲﾙｻｲｽﾞ:2048", "-------------------", "皆様", "", "来週月曜日の午後二時から会議を行います。",
               "資料は http://example.jp/shiryou/ にあります。", "よろしくお願いします。",
               "<html><body><img src=\"http://tracker.example.jp/x.gif\">画像</body></html>"});
    QImage picture(64, 48, QImage::Format_RGB888);
    picture.fill(QColor(30, 120, 200));
    std::filesystem::create_directories(root_ / "受信/テスト/Attachment/0a1@example.jp9");
    QVERIFY(picture.save(QString::fromStdString((root_ / "受信/テスト/Attachment/0a1@example.jp9/地図.jpg").string()), "JPG"));
    WriteUtf8(root_ / "受信/テスト/Attachment/0a1@example.jp9/資料メモ.txt", {"持ち物：ノート"});
    WriteUtf8(root_ / "受信/テスト/仕事/MsgID.ini",
              {"<b1@example.jp>\t見積書の件\t鈴木 一郎 <ichiro@example.jp>\t2009/09/07_10:00:00\t512\t2\t1\t2"});
  }

  void startClickReadAndShutDown() {
    auto port = std::make_unique<ScriptedPort>();
    ScriptedPort* script = port.get();
    AppWindows windows(root_, std::move(port));
    TfrmMain* main = windows.frmMain.get();
    main->ShowAtStart();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QCOMPARE(main->windowTitle(), QStringLiteral("Plumex Ver5"));
    QCOMPARE(main->objectName(), QStringLiteral("TfrmMain"));
    QVERIFY(script->messages.isEmpty());
    // Every other window exists, hidden.
    QVERIFY(!windows.frmSend->isVisible());
    QCOMPARE(windows.frmSend->windowTitle(), QStringLiteral("メール作成"));

    // The saved account is listed at start, newest first, unread in bold.
    QTreeView* list = main->ListView1();
    QCOMPARE(list->model()->rowCount(), 3);
    QCOMPARE(list->model()->index(0, kColSubject).data().toString(), QStringLiteral("会議のお知らせ"));
    QVERIFY(list->model()->index(0, kColSubject).data(Qt::FontRole).value<QFont>().bold());
    QCOMPARE(list->model()->index(2, kColSubject).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    QCOMPARE(main->StatusPanel(0)->text(), QStringLiteral("3件"));
    QCOMPARE(main->LblMode()->text(), QStringLiteral("通常"));
    QVERIFY(main->LblAccount()->text().contains(QStringLiteral("ｱｶｳﾝﾄ:テスト")));
    QVERIFY(!main->DelayedSendLabelShown());

    // Click a folder, then back on the account.
    QAbstractItemModel* tree = main->TreeView1()->model();
    QModelIndex account = FindChild(tree, tree->index(0, 0), QStringLiteral("テスト"));
    QVERIFY(account.isValid());
    QModelIndex work = FindChild(tree, account, QStringLiteral("仕事"));
    QVERIFY(work.isValid());
    QCOMPARE(work.data().toString(), QStringLiteral("仕事  (1)"));
    Click(main->TreeView1(), work);
    QCOMPARE(list->model()->rowCount(), 1);
    QCOMPARE(list->model()->index(0, kColSubject).data().toString(), QStringLiteral("見積書の件"));
    Click(main->TreeView1(), account);
    QCOMPARE(list->model()->rowCount(), 3);
    QCOMPARE(account.data().toString(), QStringLiteral("テスト  (1)"));

    // Click the unread message: body, attachments, preview, read mark.
    Click(list, list->model()->index(0, kColSubject));
    QVERIFY(main->memBody()->toPlainText().contains(QStringLiteral("来週月曜日の午後二時から会議を行います。")));
    QVERIFY(!list->model()->index(0, kColSubject).data(Qt::FontRole).value<QFont>().bold());
    QCOMPARE(account.data().toString(), QStringLiteral("テスト"));
    std::vector<std::string> index_lines;
    ReadLines(root_ / "受信/テスト/MsgID.ini", index_lines);
    QVERIFY(Cp932ToUtf8(index_lines.at(0)).find("\t2\t1") != std::string::npos);
    QCOMPARE(main->lstAttach()->count(), 2);
    QCOMPARE(main->lstAttach()->item(0)->text(), QStringLiteral("地図.jpg"));
    QVERIFY(main->PreviewPane()->isVisible());
    QCOMPARE(main->PreviewPicture()->pixmap().size(), QSize(64, 48));
    QTest::mouseClick(main->lstAttach()->viewport(), Qt::LeftButton, {},
                      main->lstAttach()->visualItemRect(main->lstAttach()->item(1)).center());
    QCOMPARE(main->PreviewText()->toPlainText(), QStringLiteral("持ち物：ノート\n"));
    QTest::mouseClick(main->lstAttach()->viewport(), Qt::LeftButton, {},
                      main->lstAttach()->visualItemRect(main->lstAttach()->item(0)).center());
    QCOMPARE(main->PreviewPane()->currentIndex(), 0);

    // The link is coloured and opens on a click under the pointer.
    QTextEdit* body = main->memBody();
    int at = body->toPlainText().indexOf(QStringLiteral("http://example.jp/shiryou/")) + 10;
    QTextCursor c(body->document());
    c.setPosition(at + 1);
    QCOMPARE(c.charFormat().foreground().color(), QColor(0, 128, 64));
    c.setPosition(at);
    QPoint point = body->cursorRect(c).center() + QPoint(2, 0);
    QMouseEvent move(QEvent::MouseMove, point, body->viewport()->mapToGlobal(point), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(body->viewport(), &move);
    QCOMPARE(body->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mousePress(body->viewport(), Qt::LeftButton, {}, point);
    QCOMPARE(script->urls, QStringList{QStringLiteral("http://example.jp/shiryou/")});

    // Header panel on; the screenshot a person can look at.
    main->FindAction(QStringLiteral("表示/ヘッダ表示"))->trigger();
    QVERIFY(main->memHeader()->isVisible());
    QVERIFY(main->memHeader()->toPlainText().startsWith(QStringLiteral("あて名:user@example.jp")));
    QString shot_dir = qEnvironmentVariable("PLUMEX_SCREENSHOT_DIR", QDir::currentPath());
    QString shot = shot_dir + QStringLiteral("/main_window.png");
    QVERIFY(main->grab().save(shot));
    qInfo("screenshot: %s", qPrintable(shot));

    // The HTML view loads nothing: the tracking picture is asked for and refused.
    main->FindAction(QStringLiteral("表示/HTML表示"))->trigger();
    QVERIFY(main->htmlView()->isVisible());
    QVERIFY(!body->isVisible());
    QVERIFY(main->htmlView()->toPlainText().contains(QStringLiteral("画像")));
    QTRY_VERIFY(main->htmlView()->resourceRequests() > 0);
    main->FindAction(QStringLiteral("表示/テキスト表示(標準)"))->trigger();
    QVERIFY(body->isVisible());

    // Colour and sort from the menus.
    main->FindAction(QStringLiteral("list/着色/青"))->trigger();
    QCOMPARE(list->model()->index(0, kColSubject).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
    main->FindAction(QStringLiteral("表示/件名順"))->trigger();
    QCOMPARE(list->model()->index(0, kColSubject).data().toString(), QStringLiteral("【重要】サーバ移行"));

    // Files dropped on the window go to the compose window.
    main->DropFiles({QStringLiteral("/tmp/a.pdf")});
    QVERIFY(windows.frmSend->isVisible());
    QCOMPARE(windows.frmSend->Attachments(), QStringList{QStringLiteral("/tmp/a.pdf")});

    // "標準サイズへ", then shut down and find the settings written.
    main->FindAction(QStringLiteral("表示/標準サイズへ"))->trigger();
    QCOMPARE(main->BottomPane()->height(), 80);
    QCOMPARE(main->TreePane()->width(), 180);
    // The message being written (the dropped file) keeps the program open until it is dealt
    // with: its question was not answered with はい or いいえ.
    QVERIFY(!main->close());
    QVERIFY(windows.frmSend->isVisible());
    windows.frmSend->Dismiss();
    QVERIFY(main->close());
    ProfileFile ini = ProfileFile::Load(root_ / "plumex.ini");
    QCOMPARE(ini.ReadString("Header", "ON", ""), std::string("1"));
    QCOMPARE(ini.ReadString("Panel2", "Height", ""), std::string("80"));
    QCOMPARE(ini.ReadString("Panel4", "Width", ""), std::string("180"));
    QCOMPARE(ini.ReadString("ListView", "Columns2", ""), std::string("300"));
    QCOMPARE(ini.ReadString("Form", "Width", ""), std::string("600"));
    QCOMPARE(Cp932ToUtf8(ini.ReadString("CurAccount", "Position", "")), std::string("テスト"));
  }

  void menusAndShortcuts() {
    AppWindows windows(root_, std::make_unique<ScriptedPort>());
    TfrmMain* main = windows.frmMain.get();
    const char* const captions[] = {
        "ファイル/メールの作成", "ファイル/メールを開く", "ファイル/メールを保存する", "ファイル/メールを上書き保存する",
        "ファイル/印刷", "ファイル/切断", "ファイル/終了", "編集/メール削除モード開始", "編集/削除する",
        "編集/・削除候補にする", "編集/・削除候補からはずす", "編集/・削除候補のみ削除する", "編集/メール番号で削除",
        "編集/メール削除モード解除", "編集/ローカルメール削除", "編集/添付ファイル貼り付け", "編集/未読に戻す",
        "編集/既読にする", "検索/メールの抽出", "検索/関連付け抽出", "検索/現メール内本文検索", "表示/未読順",
        "表示/添付ファイル付き順", "表示/送信フォームを表示", "表示/ヘッダ非表示", "送受信/受信",
        "送受信/指定したメールを受信", "送受信/受信停止", "送受信/送信", "送受信/返信", "送受信/転送",
        "送受信/時差送信解除", "設定/アカウント", "設定/アドレス帳編集", "設定/メッセージルール", "設定/新着チェック",
        "設定/新着チェックを継続する", "設定/差込結果", "設定/メンテナンス", "設定/起動時パスワード/する",
        "設定/起動時パスワード/しない", "設定/Beckyファイルの読込み", "ヘルプ/使用方法", "ヘルプ/オンラインヘルプ",
        "ヘルプ/バージョン情報", "tool/終了", "tool/ﾒｰﾙの件名で検索", "tool/受信", "tool/新規作成", "tool/返信",
        "tool/転送", "tool/メール削除モード", "tool/中止", "tool/メール削除", "tool/アカウント設定",
        "tool/アドレス帳編集", "tree1/フォルダ作成", "tree1/フォルダ名変更", "tree1/フォルダ削除",
        "tree1/フォルダ内メール全削除", "tree2/フォルダ作成", "tree2/フォルダ名変更", "tree2/フォルダ削除",
        "list/メールを削除する", "list/メール削除モードへ", "list/メール削除モード解除", "list/着色/赤", "list/着色/緑",
        "list/着色/ピンク", "list/着色/水色", "list/着色/標準(黒)", "list/未読に戻す", "list/差出人をアドレス帳へ登録",
        "list/返信", "list/転送", "attach/名前を付けて保存", "attach/すべてを保存", "attach/直接実行", "body/コピー",
        "body/切り取り", "body/貼り付け", "body/メール本文検索", "body/選択文字列をアドレス帳へ登録"};
    for (const char* c : captions) QVERIFY2(main->FindAction(QString::fromUtf8(c)), c);
    struct Shortcut {
      const char* key;
      QKeySequence sequence;
    } shortcuts[] = {{"編集/コピー", QKeySequence(Qt::CTRL | Qt::Key_C)},
                     {"編集/切り取り", QKeySequence(Qt::CTRL | Qt::Key_X)},
                     {"編集/貼り付け", QKeySequence(Qt::CTRL | Qt::Key_V)},
                     {"検索/件名でﾒｰﾙの検索", QKeySequence(Qt::CTRL | Qt::Key_F)},
                     {"検索/件名で次を検索", QKeySequence(Qt::Key_F3)}};
    for (const auto& s : shortcuts) QCOMPARE(main->FindAction(QString::fromUtf8(s.key))->shortcut(), s.sequence);
    QVERIFY(main->FindAction(QStringLiteral("表示/更新日順"))->isChecked());
    QCOMPARE(main->FindAction(QStringLiteral("tool/中止"))->toolTip(), QStringLiteral("中止"));

    // While a command runs, what would start another is greyed and the stop commands stay;
    // Escape is "切断": it stops the run going on. Everything comes back when it ends.
    main->ShowAtStart();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    const QStringList starters = {QStringLiteral("tool/受信"), QStringLiteral("送受信/受信"),
                                  QStringLiteral("tool/メール削除モード"), QStringLiteral("設定/メンテナンス")};
    for (const QString& key : starters) QVERIFY2(main->FindAction(key)->isEnabled(), qPrintable(key));
    {
      auto run = main->Shell().Gate().TryEnter(RunKind::Search);
      QVERIFY(run && !run->StopRequested());
      for (const QString& key : starters) QVERIFY2(!main->FindAction(key)->isEnabled(), qPrintable(key));
      QVERIFY(main->FindAction(QStringLiteral("tool/中止"))->isEnabled());
      QVERIFY(main->FindAction(QStringLiteral("送受信/受信停止"))->isEnabled());
      QTest::keyClick(main, Qt::Key_Escape);
      QVERIFY(run->StopRequested());
    }
    for (const QString& key : starters) QVERIFY2(main->FindAction(key)->isEnabled(), qPrintable(key));

    // The progress bar lies over the second status panel.
    main->SetProgress(3, 10);
    QRect panel = main->StatusPanel(1)->geometry();
    QCOMPARE(main->Progress()->geometry(), QRect(panel.x() + 2, panel.y() + 2, panel.width() - 2, panel.height() - 2));
    QCOMPARE(main->StatusPanel(1)->width(), 300);
  }

  void maximisedRoundTrip() {
    WriteUtf8(root_ / "plumex.ini", {"[Form]", "Width=-1", "Height=-1"});
    {
      AppWindows windows(root_, std::make_unique<ScriptedPort>());
      windows.frmMain->ShowAtStart();
      QVERIFY(QTest::qWaitForWindowExposed(windows.frmMain.get()));
      QVERIFY(windows.frmMain->isMaximized());
      QVERIFY(windows.frmMain->close());
    }
    ProfileFile ini = ProfileFile::Load(root_ / "plumex.ini");
    QCOMPARE(ini.ReadString("Form", "Width", ""), std::string("-1"));
    QCOMPARE(ini.ReadString("Form", "Height", ""), std::string("-1"));
  }

  void closeQuestionCancelKeepsRunning() {
    WriteUtf8(root_ / "AfterSend/AfterSend.ini", {"q"});
    class CancelPort : public ScriptedPort {
      MsgAnswer MessageBox(const std::string&, MsgIcon, MsgButtons) override { return MsgAnswer::Cancel; }
    };
    AppWindows windows(root_, std::make_unique<CancelPort>());
    windows.frmMain->ShowAtStart();
    QVERIFY(!windows.frmMain->close());
    QVERIFY(windows.frmMain->isVisible());
    std::filesystem::remove_all(root_ / "AfterSend");
    QVERIFY(windows.frmMain->close());
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"

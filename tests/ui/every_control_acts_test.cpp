// Every enabled command of every window acts. Each menu item, toolbar button, context-menu entry
// and push button that a person can reach is chosen in windows built over a fresh copy of a
// fixture store, and something a person could notice must follow: a window opened, closed or
// changed, a question or a dialog, a file written, the clipboard, the focus, the state of the
// run. A command that cannot act where it stands must be disabled there; the commands not built
// yet always are, and say so.
#include <algorithm>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QSplitter>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QWidgetAction>
#include <QtTest>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "shell/message_list.h"
#include "tests/protocol/test_servers.h"
#include "ui/app_windows.h"
#include "ui/frm_account.h"
#include "ui/frm_add_address.h"
#include "ui/frm_address.h"
#include "ui/frm_insert.h"
#include "ui/frm_insert_log.h"
#include "ui/frm_main.h"
#include "ui/frm_new_check.h"
#include "ui/frm_preview.h"
#include "ui/frm_send.h"
#include "ui/frm_set.h"
#include "ui/safe_text_browser.h"

using namespace plumex;

namespace {

QString U(const std::string& cp932) { return QString::fromStdString(Cp932ToUtf8(cp932)); }

// Records what the program asks of a person and answers at once: Ok to notices, the cautious
// answer to questions, Cancel to inputs and file choosers.
class RecordingPort : public QtUiPort {
 public:
  QStringList calls;
  MsgAnswer MessageBox(const std::string& text, MsgIcon, MsgButtons buttons) override {
    calls << QStringLiteral("MessageBox ") + U(text);
    if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
    return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
  }
  std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                      const std::string&) override {
    calls << QStringLiteral("InputBox ") + U(caption) + U(prompt);
    return std::nullopt;
  }
  std::optional<std::filesystem::path> ChooseSaveFile(const std::string& name, const std::string&) override {
    calls << QStringLiteral("ChooseSaveFile ") + U(name);
    return std::nullopt;
  }
  std::optional<std::filesystem::path> ChooseFolder(const std::string& caption) override {
    calls << QStringLiteral("ChooseFolder ") + U(caption);
    return std::nullopt;
  }
  void OpenFile(const std::filesystem::path& file) override {
    calls << QStringLiteral("OpenFile ") + QString::fromStdString(file.string());
  }
  void OpenUrl(const std::string& url) override { calls << QStringLiteral("OpenUrl ") + U(url); }
};

void WriteUtf8(const std::filesystem::path& file, const std::vector<std::string>& utf8_lines) {
  std::filesystem::create_directories(file.parent_path());
  std::vector<std::string> lines;
  for (const auto& l : utf8_lines) lines.push_back(Utf8ToCp932(l));
  WriteLines(file, lines);
}

// Two accounts whose servers refuse connections at once (port 1 of this host); a folder of
// four messages (one unread, one red), the newest with an HTML part and two attachments.
void WriteFixtureStore(const std::filesystem::path& root) {
  WriteUtf8(root / "Account.ini", {"テスト\t127.0.0.1\tuser\tsecret\t127.0.0.1\tme@example.jp\t1\t1\t0\t>\t0\t0",
                                   "予備\t127.0.0.1\tspare\tsecret\t127.0.0.1\tspare@example.jp\t1\t1\t0\t>\t0\t0"});
  WriteUtf8(root / "plumex.ini", {"[CurAccount]", "Position=テスト", "[Form]", "Width=900", "Height=640"});
  WriteUtf8(root / "受信/テスト/MsgID.ini",
            {"<a1@example.jp>\t会議のお知らせ\t山田 太郎 <taro@example.jp>\t2009/09/08_12:34:56\t2048\t1\t1\t1",
             "<a2@example.jp>\t先週の議事録\t佐藤 花子 <hanako@example.jp>\t2009/09/01_09:00:00\t1024\t2\t2\t2",
             "<a3@example.jp>\t【重要】サーバ移行\tadmin@example.jp\t2009/08/30_18:20:00\t4096\t2\t3\t2",
             "<a4@example.jp>\t忘年会\t鈴木 一郎 <ichiro@example.jp>\t2009/08/20_10:00:00\t512\t1\t4\t1"});
  WriteUtf8(root / "受信/テスト/0a1@example.jp9.txt",
            {"あて名:user@example.jp", "ReplyTo:", "CCList:", "Message-ID:<a1@example.jp>", "References:",
             "差出人:山田 太郎 <taro@example.jp>", "件名:会議のお知らせ", "日時:2009/09/08_12:34:56",
             "ﾌｧｲﾙｻｲｽﾞ:2048", "-------------------", "皆様", "", "来週月曜日の午後二時から会議を行います。",
             "<html><body>会議</body></html>"});
  const auto attachments = root / "受信/テスト/Attachment/0a1@example.jp9";
  std::filesystem::create_directories(attachments);
  QImage picture(32, 24, QImage::Format_RGB888);
  picture.fill(QColor(30, 120, 200));
  picture.save(QString::fromStdString((attachments / "地図.jpg").string()), "JPG");
  WriteUtf8(attachments / "資料メモ.txt", {"持ち物：ノート"});
  WriteUtf8(root / "受信/テスト/仕事/MsgID.ini",
            {"<b1@example.jp>\t見積書の件\t鈴木 一郎 <ichiro@example.jp>\t2009/09/07_10:00:00\t512\t2\t1\t2"});
  WriteUtf8(root / "資料.txt", {"添付する資料"});
  WriteUtf8(root / "送信/会議/Send.ini", {});
  WriteUtf8(root / "NoDomain.ini", {"pop.example.jp"});
  WriteUtf8(root / "Address/友人.adr", {"佐藤 花子\thanako@example.jp\t", "伊藤 一郎\tichiro@example.jp\t営業"});
}

void Settle() {
  QTest::qWait(20);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QTest::qWait(20);
}

// The windows over their own copy of the fixture store, in one of the states the commands are
// chosen in.
enum class Stage { Main, ComposeBehind, HtmlShown, Account, SettingsRules, SettingsNewCheck, SettingsCandidates, SettingsSendRules, ServerDelete, AddressEditor, AddressPicker, Register };

// Server delete mode needs a POP3 server: the store's account reads a Dovecot mailbox of the
// test servers instead, refilled for every fixture (the commands delete there).
std::filesystem::path ServerStoreOf(const std::filesystem::path& store) { return store.parent_path() / "server-store"; }

std::string ServerMail(int n, const std::string& by) {
  return "Received: from client.example by " + by + " with SMTP\r\nMessage-ID: <s" + std::to_string(n) +
         "@example.jp>\r\nFrom: taro@example.jp\r\nSubject: server " + std::to_string(n) +
         "\r\nDate: Tue, 08 Sep 2009 12:3" + std::to_string(n) + ":00 +0900\r\n\r\nbody\r\n";
}

struct Fixture {
  QTemporaryDir dir;
  std::filesystem::path root;
  RecordingPort* port = nullptr;
  std::unique_ptr<AppWindows> windows;
  QStringList dialogs;  // modal dialogs that opened, closed by the watchdog

  TfrmMain* Main() const { return windows->frmMain.get(); }
  QList<QWidget*> All() const {
    const AppWindows& w = *windows;
    return {w.frmMain.get(), w.frmAccount.get(), w.frmSend.get(), w.frmAddress.get(), w.frmInsert.get(),
            w.frmSet.get(), w.frmNewCheck.get(), w.frmAddAddress.get(), w.frmPreView.get(), w.frmInsertLog.get()};
  }
  // What a person can click: the showing windows, or the application-modal one alone.
  QList<QWidget*> Reachable() const {
    QList<QWidget*> shown, modal;
    for (QWidget* w : All())
      if (w->isVisible()) (w->windowModality() == Qt::ApplicationModal ? modal : shown) << w;
    return modal.isEmpty() ? shown : modal;
  }
};

// The main window with the newest message shown (it is read now), every row of the list
// chosen (one still unread, one red), the first attachment current and the first body line
// selected in the focused body.
void SetUpMain(Fixture& f, const std::filesystem::path& store) {
  QVERIFY(f.dir.isValid());
  f.root = std::filesystem::path(f.dir.path().toStdString());
  std::filesystem::copy(store, f.root, std::filesystem::copy_options::recursive);
  auto port = std::make_unique<RecordingPort>();
  f.port = port.get();
  f.windows = std::make_unique<AppWindows>(f.root, std::move(port));
  TfrmMain* main = f.Main();
  main->ShowAtStart();
  QVERIFY(QTest::qWaitForWindowActive(main));
  QTreeView* list = main->ListView1();
  QCOMPARE(list->model()->rowCount(), 4);
  QModelIndex newest = list->model()->index(0, kColSubject);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(newest).center());
  QCOMPARE(main->lstAttach()->count(), 2);
  list->selectAll();
  main->lstAttach()->setCurrentRow(0);
  QTextEdit* body = main->memBody();
  body->setFocus();
  QTextCursor line = body->textCursor();
  line.movePosition(QTextCursor::Start);
  line.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
  body->setTextCursor(line);
  QApplication::clipboard()->clear();
  Settle();
}

void SetUp(Fixture& f, Stage stage, const std::filesystem::path& store) {
  SetUpMain(f, stage == Stage::ServerDelete ? ServerStoreOf(store) : store);
  if (QTest::currentTestFailed()) return;
  TfrmMain* main = f.Main();
  switch (stage) {
    case Stage::Main: break;
    case Stage::HtmlShown:
      main->FindAction(QStringLiteral("表示/HTML表示"))->trigger();
      QVERIFY(main->htmlView()->isVisible());
      break;
    case Stage::ComposeBehind: {
      // A message being written, an attachment chosen; then back to the main window.
      main->FindAction(QStringLiteral("ファイル/メールの作成"))->trigger();
      TfrmSend* send = f.windows->frmSend.get();
      QVERIFY(send->isVisible());
      send->edtTo()->setCurrentText(QStringLiteral("hanako@example.jp"));
      send->edtCC()->setCurrentText(QStringLiteral("ichiro@example.jp"));
      send->edtBCC()->setCurrentText(QStringLiteral("taro@example.jp"));
      send->edtSubject()->setText(QStringLiteral("打ち合わせ"));
      send->Memo1()->setPlainText(QStringLiteral("本文"));
      send->AddAttachment(QString::fromStdString((f.root / "資料.txt").string()));
      QCOMPARE(send->ListBox1()->count(), 1);
      send->ListBox1()->item(0)->setSelected(true);
      main->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(main));
      main->memBody()->setFocus();
      break;
    }
    case Stage::Account:
      f.windows->frmAccount->ShowAccount();
      QVERIFY(QTest::qWaitForWindowExposed(f.windows->frmAccount.get()));
      break;
    case Stage::ServerDelete: {
      // The server list of three messages, one a deletion candidate, all chosen.
      auto servers = test::TestServers::Find();
      QVERIFY(servers);
      servers->MakeMailbox("everycontrol", {ServerMail(1, "mx.example"), ServerMail(2, "spam.example"),
                                            ServerMail(3, "mx.example")});
      main->FindAction(QStringLiteral("tool/メール削除モード"))->trigger();
      QCOMPARE(main->LblMode()->text(), QStringLiteral("削除"));
      QCOMPARE(main->ListView1()->model()->rowCount(), 3);
      main->ListView1()->selectAll();
      main->ListView1()->setFocus();
      break;
    }
    case Stage::SettingsRules: {
      // A rule added to the folder "仕事" and chosen; the field changed since, so the input
      // makes another rule.
      main->FindAction(QStringLiteral("設定/メッセージルール"))->trigger();
      TfrmSet* set = f.windows->frmSet.get();
      QVERIFY(QTest::qWaitForWindowExposed(set));
      QTreeView* tree = set->RuleTree();
      const QModelIndex account = tree->model()->index(0, 0, tree->model()->index(0, 0));
      tree->setCurrentIndex(tree->model()->index(0, 0, account));
      QVERIFY(set->btnRuleAdd()->isEnabled());
      set->btnRuleAdd()->click();
      set->lstRule()->setCurrentRow(0);
      set->cmbField()->setCurrentIndex(1);
      break;
    }
    case Stage::SettingsNewCheck:
      main->FindAction(QStringLiteral("設定/新着チェック"))->trigger();
      QVERIFY(QTest::qWaitForWindowExposed(f.windows->frmSet.get()));
      break;
    case Stage::SettingsCandidates: {
      main->FindAction(QStringLiteral("設定/メッセージルール"))->trigger();
      TfrmSet* set = f.windows->frmSet.get();
      QVERIFY(QTest::qWaitForWindowExposed(set));
      set->PageControl()->setCurrentIndex(2);
      set->lstServer()->setCurrentRow(0);
      break;
    }
    case Stage::AddressEditor: {
      // A record shown, its remark changed since.
      main->FindAction(QStringLiteral("設定/アドレス帳編集"))->trigger();
      TfrmAddress* address = f.windows->frmAddress.get();
      QVERIFY(QTest::qWaitForWindowExposed(address));
      QCOMPARE(address->edtName()->text(), QStringLiteral("伊藤 一郎"));
      address->edtRemark()->setText(QStringLiteral("総務"));
      break;
    }
    case Stage::AddressPicker: {
      // Both records chosen, one of them in the To list and chosen there.
      main->FindAction(QStringLiteral("ファイル/メールの作成"))->trigger();
      TfrmSend* send = f.windows->frmSend.get();
      send->findChild<QToolButton*>(QStringLiteral("lblTo"))->click();
      TfrmAddress* address = f.windows->frmAddress.get();
      QVERIFY(QTest::qWaitForWindowExposed(address));
      address->ListView1()->setCurrentIndex(address->ListView1()->model()->index(0, 0));
      address->btnTo()->click();
      address->ListView1()->selectAll();
      address->lstTo()->setCurrentRow(0);
      break;
    }
    case Stage::Register:
      main->FindAction(QStringLiteral("list/差出人をアドレス帳へ登録"))->trigger();
      QVERIFY(QTest::qWaitForWindowExposed(f.windows->frmAddAddress.get()));
      break;
    case Stage::SettingsSendRules: {
      // The folder "会議" chosen and a pattern typed.
      main->FindAction(QStringLiteral("設定/メッセージルール"))->trigger();
      TfrmSet* set = f.windows->frmSet.get();
      QVERIFY(QTest::qWaitForWindowExposed(set));
      set->PageControl()->setCurrentIndex(3);
      QTreeView* tree = set->SendRuleTree();
      tree->setCurrentIndex(tree->model()->index(0, 0, tree->model()->index(0, 0)));
      set->edtPattern()->setText(QStringLiteral("会議"));
      break;
    }
  }
  f.port->calls.clear();
  Settle();
}

// --- The controls -----------------------------------------------------------------------

// The menus an action is chosen from, outermost first (a toolbar's action has none). A menu
// of the menu bar is the outermost, also when the bar's overflow menu holds it too.
QList<QMenu*> MenusOf(QAction* action) {
  QList<QMenu*> menus;
  for (QAction* a = action; a;) {
    QMenu* holder = nullptr;
    const QList<QObject*> holders = a->associatedObjects();
    if (std::any_of(holders.begin(), holders.end(), [](QObject* o) { return qobject_cast<QMenuBar*>(o); })) break;
    for (QObject* o : holders)
      if (auto* m = qobject_cast<QMenu*>(o)) holder = m;
    if (!holder) break;
    menus.prepend(holder);
    a = holder->menuAction();
  }
  return menus;
}

QString ControlName(QWidget* window, QObject* control) {
  QString path = window->objectName() + QStringLiteral(": ");
  if (auto* action = qobject_cast<QAction*>(control)) {
    for (QMenu* m : MenusOf(action)) path += (m->title().isEmpty() ? m->objectName() : m->title()) + QLatin1Char('/');
    for (QObject* o : action->associatedObjects())
      if (auto* bar = qobject_cast<QToolBar*>(o)) path += bar->objectName() + QLatin1Char('/');
    return path + action->text();
  }
  auto* button = static_cast<QAbstractButton*>(control);
  return path + QLatin1Char('[') + (button->objectName().isEmpty() ? button->text() : button->objectName()) + QLatin1Char(']');
}

// Menu items, toolbar and context-menu commands and buttons of a window, by name. Left out:
// separators, the items that only open a sub-menu, check items and check boxes (they flip
// their own tick), widgets standing in a toolbar, Qt's own buttons and toolbar buttons (their
// actions are listed).
QList<std::pair<QString, QObject*>> ControlsOf(QWidget* window) {
  QList<std::pair<QString, QObject*>> controls;
  auto add = [&](QObject* control) {
    QString name = ControlName(window, control);
    QString unique = name;
    for (int n = 2; std::any_of(controls.begin(), controls.end(), [&](auto& c) { return c.first == unique; }); ++n)
      unique = name + QStringLiteral(" #") + QString::number(n);
    controls.append({unique, control});
  };
  for (QAction* a : window->findChildren<QAction*>()) {
    if (a->isSeparator() || a->menu() || a->isCheckable() || qobject_cast<QWidgetAction*>(a) ||
        a->associatedObjects().isEmpty())
      continue;
    add(a);
  }
  for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
    auto* tool = qobject_cast<QToolButton*>(b);
    if (b->isCheckable() || b->objectName().startsWith(QStringLiteral("qt_")) || (tool && tool->defaultAction())) continue;
    add(b);
  }
  return controls;
}

// Whether a person can get at it: a context menu opens on its widget, which must be showing.
bool Reachable(QObject* control) {
  if (auto* action = qobject_cast<QAction*>(control)) {
    const QList<QMenu*> menus = MenusOf(action);
    const QWidget* owner = menus.isEmpty() ? nullptr : menus.front()->parentWidget();
    return !owner || owner->isWindow() || owner->isVisible();
  }
  return true;
}

// As a person sees it when about to choose it: the menus holding it open first.
bool Enabled(QObject* control) {
  if (auto* action = qobject_cast<QAction*>(control)) {
    for (QMenu* m : MenusOf(action)) emit m->aboutToShow();
    return action->isEnabled() && action->isVisible();
  }
  auto* button = static_cast<QAbstractButton*>(control);
  return button->isEnabled() && button->isVisible();
}

// Chooses the control; modal dialogs that open are noted and closed.
void Choose(Fixture& f, QObject* control) {
  QTimer watchdog;
  watchdog.setInterval(10);
  QObject::connect(&watchdog, &QTimer::timeout, [&f] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      f.dialogs << QString::fromLatin1(dialog->metaObject()->className()) + QLatin1Char(' ') + dialog->windowTitle();
      dialog->reject();
    }
  });
  watchdog.start();
  if (auto* action = qobject_cast<QAction*>(control)) action->trigger();
  else static_cast<QAbstractButton*>(control)->click();
  Settle();
}

// --- What a person could notice -------------------------------------------------------------

QString Name(const QObject* o) {
  if (!o) return QStringLiteral("-");
  return QString::fromLatin1(o->metaObject()->className()) + QLatin1Char(':') + o->objectName() + QLatin1Char('@') +
         QString::number(reinterpret_cast<quintptr>(o), 16);
}

QString Rect(const QRect& r) { return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()); }

void DumpModel(const QAbstractItemView* view, const QModelIndex& parent, QStringList& out) {
  const QAbstractItemModel* model = view->model();
  for (int r = 0; r < model->rowCount(parent); ++r) {
    QString row;
    for (int c = 0; c < model->columnCount(parent); ++c) {
      QModelIndex i = model->index(r, c, parent);
      row += i.data().toString() + QLatin1Char('|') + QString::number(i.data(Qt::FontRole).value<QFont>().bold()) +
             i.data(Qt::ForegroundRole).value<QColor>().name() + QLatin1Char(';');
    }
    QModelIndex first = model->index(r, 0, parent);
    if (auto* tree = qobject_cast<const QTreeView*>(view)) row += QString::number(tree->isExpanded(first));
    out << QStringLiteral("  row ") + row;
    DumpModel(view, first, out);
  }
}

QString TextCursor(const QTextCursor& c) { return QStringLiteral(" cursor %1-%2").arg(c.anchor()).arg(c.position()); }

QStringList Describe(const QWidget* w) {
  QStringList out{Name(w) + QLatin1Char(' ') + Rect(w->geometry()) + (w->isEnabled() ? QString() : QStringLiteral(" off"))};
  QString& line = out.front();
  if (auto* l = qobject_cast<const QLabel*>(w))
    line += QLatin1Char(' ') + l->text() + l->styleSheet() + QString::number(l->pixmap().cacheKey());
  else if (auto* b = qobject_cast<const QAbstractButton*>(w))
    line += QLatin1Char(' ') + b->text() + (b->isChecked() ? QStringLiteral(" ticked") : QString());
  else if (auto* e = qobject_cast<const QLineEdit*>(w))
    line += QLatin1Char(' ') + e->text() + QStringLiteral(" sel ") + e->selectedText();
  else if (auto* c = qobject_cast<const QComboBox*>(w))
    line += QLatin1Char(' ') + c->currentText() + QStringLiteral(" items ") + QString::number(c->count());
  else if (auto* t = qobject_cast<const QTextEdit*>(w))
    line += QLatin1Char(' ') + t->toHtml() + TextCursor(t->textCursor());
  else if (auto* p = qobject_cast<const QPlainTextEdit*>(w))
    line += QLatin1Char(' ') + p->toPlainText() + TextCursor(p->textCursor());
  else if (auto* s = qobject_cast<const QStackedWidget*>(w))
    line += QStringLiteral(" page ") + QString::number(s->currentIndex());
  else if (auto* bar = qobject_cast<const QProgressBar*>(w))
    line += QStringLiteral(" %1/%2").arg(bar->value()).arg(bar->maximum());
  else if (auto* split = qobject_cast<const QSplitter*>(w))
    for (int size : split->sizes()) line += QLatin1Char(' ') + QString::number(size);
  if (auto* view = qobject_cast<const QAbstractItemView*>(w); view && view->model()) {
    QStringList rows;
    for (const QModelIndex& i : view->selectionModel()->selectedIndexes()) rows << QString::number(i.row());
    line += QStringLiteral(" current ") + QString::number(view->currentIndex().row()) + QStringLiteral(" chosen ") +
            rows.join(QLatin1Char(','));
    DumpModel(view, QModelIndex(), out);
  }
  return out;
}

QStringList StoreFiles(const std::filesystem::path& root) {
  QStringList out;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    QString line = QStringLiteral("file ") + QString::fromStdString(entry.path().lexically_relative(root).string());
    if (entry.is_regular_file()) {
      QFile file(QString::fromStdString(entry.path().string()));
      file.open(QIODevice::ReadOnly);
      line += QLatin1Char(' ') + QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex());
    }
    out << line;
  }
  out.sort();
  return out;
}

QStringList Observe(Fixture& f) {
  QStringList out;
  out << QStringLiteral("focus ") + Name(QApplication::focusWidget());
  out << QStringLiteral("active ") + Name(QApplication::activeWindow());
  out << QStringLiteral("clipboard ") + QApplication::clipboard()->text();
  for (const QString& call : f.port->calls) out << QStringLiteral("asked ") + call;
  for (const QString& dialog : f.dialogs) out << QStringLiteral("dialog ") + dialog;
  const MainState& s = f.Main()->Shell().State();
  out << QStringLiteral("state mode %1 tree %2 stop %3 close %4 sort %5/%6 header %7 password %8 delayed %9")
             .arg(static_cast<int>(s.ViewMode)).arg(static_cast<int>(s.ActiveTree)).arg(f.Main()->Shell().Gate().StopRequested())
             .arg(s.CloseRequested).arg(static_cast<int>(s.SortKind)).arg(s.SortKey).arg(s.HeaderShown)
             .arg(s.StartPasswordOn).arg(s.DelayedSendLabelShown);
  out << QStringLiteral("state account %1 %2 folder %3 send folder %4 html %5")
             .arg(s.AccountPosition).arg(U(s.CurrentAccount), U(s.CurrentFolderPath), U(s.CurrentSendFolderPath))
             .arg(s.Viewer.html_shown);
  out << StoreFiles(f.root);
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (!top->isVisible()) continue;
    out << QStringLiteral("window ") + Name(top) + QLatin1Char(' ') + top->windowTitle() + QLatin1Char(' ') +
               Rect(top->geometry()) + QStringLiteral(" state %1 modality %2")
                                           .arg(static_cast<int>(top->windowState()))
                                           .arg(static_cast<int>(top->windowModality()));
    for (const QWidget* w : top->findChildren<QWidget*>())
      if (w->isVisible()) out << Describe(w);
    for (const QAction* a : top->findChildren<QAction*>())
      out << QStringLiteral("action ") + Name(a) + a->text() + QStringLiteral(" %1%2%3")
                                                                   .arg(a->isEnabled()).arg(a->isChecked()).arg(a->isVisible());
  }
  return out;
}

// The first lines that went and came, for the log.
QString Changes(const QStringList& before, const QStringList& after) {
  QStringList changed;
  for (const QString& line : before)
    if (!after.contains(line)) changed << QStringLiteral("-") + line.left(120);
  for (const QString& line : after)
    if (!before.contains(line)) changed << QStringLiteral("+") + line.left(120);
  return changed.mid(0, 4).join(QStringLiteral(" / "));
}

// The offscreen platform's notes on window features it lacks say nothing about the program.
QtMessageHandler qt_handler = nullptr;
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (!text.startsWith(QStringLiteral("This plugin does not support"))) qt_handler(type, context, text);
}

}  // namespace

class EveryControlActsTest : public QObject {
  Q_OBJECT
 private:
  QTemporaryDir store_dir_;
  std::filesystem::path store_;

 private slots:
  void initTestCase() {
    QVERIFY(store_dir_.isValid());
    store_ = std::filesystem::path(store_dir_.path().toStdString()) / "store";
    WriteFixtureStore(store_);
    if (auto servers = test::TestServers::Find()) {
      const auto server_store = ServerStoreOf(store_);
      WriteFixtureStore(server_store);
      WriteUtf8(server_store / "Account.ini",
                {"テスト\t127.0.0.1\teverycontrol\tsecret\t127.0.0.1\tme@example.jp\t" + servers->Get("POP3_PORT") +
                 "\t1\t0\t>\t0\t0"});
      WriteUtf8(server_store / "NoDomain.ini", {"spam.example"});
    }
    qt_handler = qInstallMessageHandler(QuietHandler);
  }

  // Ctrl+C copies a selection made after the body took the focus, though the menu's "コピー"
  // was disabled when the focus came without one.
  void copyKeyFollowsTheSelection() {
    Fixture f;
    SetUp(f, Stage::Main, store_);
    if (QTest::currentTestFailed()) return;
    TfrmMain* main = f.Main();
    QTextEdit* body = main->memBody();
    main->ListView1()->setFocus();
    body->moveCursor(QTextCursor::Start);
    body->setFocus();
    QVERIFY(!main->FindAction(QStringLiteral("編集/コピー"))->isEnabled());
    body->moveCursor(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    QTest::keyClick(body, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("皆様"));
  }

  // Escape closes each window but the main one, as it closes a dialog.
  void escapeClosesSecondaryWindows() {
    Fixture f;
    SetUp(f, Stage::Main, store_);
    if (QTest::currentTestFailed()) return;
    for (QWidget* window : f.All()) {
      if (window == f.Main()) continue;
      window->show();
      window->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(window));
      QWidget* target = window->focusWidget() ? window->focusWidget() : window;
      QTest::keyClick(target, Qt::Key_Escape);
      QTRY_VERIFY2(!window->isVisible(), qPrintable(window->objectName()));
    }
    QVERIFY(f.Main()->isVisible());
  }

  // A picture of the "設定" menu over the main window, to look at how disabled items show.
  void menuScreenshot() {
    Fixture f;
    SetUp(f, Stage::Main, store_);
    if (QTest::currentTestFailed()) return;
    TfrmMain* main = f.Main();
    QMenuBar* bar = main->menuBar();
    QAction* settings = nullptr;
    for (QAction* a : bar->actions())
      if (a->text() == QStringLiteral("設定")) settings = a;
    QVERIFY(settings && settings->menu());
    QMenu* menu = settings->menu();
    menu->popup(bar->mapToGlobal(bar->actionGeometry(settings).bottomLeft()));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QPixmap shot = main->grab();
    {
      QPainter painter(&shot);
      painter.drawPixmap(main->mapFromGlobal(menu->pos()), menu->grab());
    }
    menu->hide();
    const QString file =
        qEnvironmentVariable("PLUMEX_SCREENSHOT_DIR", QDir::currentPath()) + QStringLiteral("/main_window_menu.png");
    QVERIFY(shot.save(file));
    qInfo("screenshot: %s", qPrintable(file));
  }

  // Each row runs as a CTest entry of its own (tests/ui/CMakeLists.txt names them all).
  void everyEnabledControlActs_data() {
    QTest::addColumn<int>("stage_number");
    QTest::newRow("main window, a message shown") << int(Stage::Main);
    QTest::newRow("HTML view") << int(Stage::HtmlShown);
    QTest::newRow("a message being written behind the main window") << int(Stage::ComposeBehind);
    QTest::newRow("account window") << int(Stage::Account);
    QTest::newRow("settings, message rules") << int(Stage::SettingsRules);
    QTest::newRow("settings, new-mail check") << int(Stage::SettingsNewCheck);
    QTest::newRow("settings, deletion candidates") << int(Stage::SettingsCandidates);
    QTest::newRow("settings, send rules") << int(Stage::SettingsSendRules);
    QTest::newRow("server delete mode") << int(Stage::ServerDelete);
    QTest::newRow("address book, a record shown") << int(Stage::AddressEditor);
    QTest::newRow("address book, picking recipients") << int(Stage::AddressPicker);
    QTest::newRow("register window") << int(Stage::Register);
  }

  void everyEnabledControlActs() {
    QFETCH(int, stage_number);
    const auto stage = static_cast<Stage>(stage_number);
    if (stage == Stage::ServerDelete && !test::TestServers::Find()) QSKIP("PLUMEX_TEST_SERVERS not set");
    // The controls a person can reach in this state, and which of them are enabled.
    QStringList enabled, disabled;
    {
      Fixture f;
      SetUp(f, stage, store_);
      if (QTest::currentTestFailed()) return;
      for (QWidget* window : f.Reachable())
        for (const auto& [name, control] : ControlsOf(window))
          if (Reachable(control)) (Enabled(control) ? enabled : disabled) << name;
    }
    QVERIFY(!enabled.isEmpty());
    qInfo("disabled here: %s", qPrintable(disabled.join(QStringLiteral(", "))));

    // Each enabled one chosen in a state of its own.
    QStringList idle;
    for (const QString& name : enabled) {
      Fixture f;
      SetUp(f, stage, store_);
      if (QTest::currentTestFailed()) return;
      QObject* control = nullptr;
      for (QWidget* window : f.Reachable())
        for (const auto& [n, c] : ControlsOf(window))
          if (n == name) control = c;
      QVERIFY2(control && Enabled(control), qPrintable(name));
      const QStringList before = Observe(f);
      Choose(f, control);
      const QStringList after = Observe(f);
      if (before == after) idle << name;
      else qDebug("%s: %s", qPrintable(name), qPrintable(Changes(before, after)));
      // A window with nothing in it is never shown.
      for (QWidget* window : f.All())
        QVERIFY2(!window->isVisible() || !window->findChildren<QWidget*>().isEmpty(),
                 qPrintable(name + QStringLiteral(" opened the empty ") + window->objectName()));
    }
    QVERIFY2(idle.isEmpty(), qPrintable(QStringLiteral("enabled but did nothing: ") + idle.join(QStringLiteral(", "))));
  }
};

QTEST_MAIN(EveryControlActsTest)
#include "every_control_acts_test.moc"

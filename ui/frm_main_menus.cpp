// The main window's menu bar: every item forwards to a command, and is offered as its menu
// opens where the core's queries say it acts.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

#include "ui/frm_main.h"
#include "ui/frm_send.h"
#include "ui/text_commands.h"

namespace plumex {

QAction* TfrmMain::Add(QWidget* menu, const QString& prefix, const QString& caption, void (TfrmMain::*slot)(),
                       const QKeySequence& shortcut) {
  auto* action = new QAction(caption, menu);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  connect(action, &QAction::triggered, this, [this, slot] {
    if (slot) Run([&] { (this->*slot)(); });
  });
  menu->addAction(action);
  actions_.insert(prefix + QLatin1Char('/') + caption, action);
  return action;
}

void TfrmMain::EnableOnShow(QMenu* menu, QAction* action, std::function<bool()> can) {
  connect(menu, &QMenu::aboutToShow, this, [action, can = std::move(can)] { action->setEnabled(can()); });
}

void TfrmMain::BuildMenus() {
  QMenuBar* bar = menuBar();
  auto menu = [&](const QString& title) { return bar->addMenu(title); };
  const QString file = QStringLiteral("ファイル");
  QMenu* m = menu(file);
  Add(m, file, QStringLiteral("メールの作成"), &TfrmMain::mnuComposeClick);
  Add(m, file, QStringLiteral("メールを開く"), &TfrmMain::mnuOpenMailClick);
  QAction* save = Add(m, file, QStringLiteral("メールを保存する"), &TfrmMain::mnuSaveMailClick);
  QAction* overwrite = Add(m, file, QStringLiteral("メールを上書き保存する"), &TfrmMain::mnuOverwriteMailClick);
  QAction* print = Add(m, file, QStringLiteral("印刷"), &TfrmMain::mnuPrintClick);
  Add(m, file, QStringLiteral("切断"), &TfrmMain::mnuDisconnectClick);
  // They act on the message on screen, never on a row the keyboard merely highlighted.
  EnableOnShow(m, save, [this] { return Offers().save; });
  EnableOnShow(m, overwrite, [this] { return Offers().overwrite; });
  EnableOnShow(m, print, [this] { return Offers().print; });
  m->addSeparator();
  Add(m, file, QStringLiteral("終了"), &TfrmMain::mnuExitClick);

  const QString edit = QStringLiteral("編集");
  m = menu(edit);
  // Server delete mode. The commands on the server list act only while it is shown.
  auto server = [this](QAction* a, std::function<void(ServerDeleteCommands&)> command) {
    connect(a, &QAction::triggered, this, [this, command] { Run([&] { command(core_->ServerDelete()); }); });
    return a;
  };
  server(Add(m, edit, QStringLiteral("メール削除モード開始")), &ServerDeleteCommands::EnterDeleteMode);
  QAction* server_delete = server(Add(m, edit, QStringLiteral("削除する")), &ServerDeleteCommands::DeleteSelected);
  QAction* mark = server(Add(m, edit, QStringLiteral("・削除候補にする")), [](ServerDeleteCommands& c) { c.MarkSelected(true); });
  QAction* unmark = server(Add(m, edit, QStringLiteral("・削除候補からはずす")), [](ServerDeleteCommands& c) { c.MarkSelected(false); });
  QAction* candidates = server(Add(m, edit, QStringLiteral("・削除候補のみ削除する")), &ServerDeleteCommands::DeleteCandidates);
  server(Add(m, edit, QStringLiteral("メール番号で削除")), &ServerDeleteCommands::DeleteByNumber);
  // The same command as the list's "メール削除モード解除": it stops the new-mail timer too.
  QAction* leave = Add(m, edit, QStringLiteral("メール削除モード解除"), &TfrmMain::mnuLeaveDeleteModeClick);
  for (QAction* a : {server_delete, mark, unmark}) EnableOnShow(m, a, [this] { return core_->ServerDelete().CanActOnSelected(); });
  for (QAction* a : {candidates, leave}) EnableOnShow(m, a, [this] { return core_->ServerDelete().InMode(); });
  m->addSeparator();
  QAction* local_delete = Add(m, edit, QStringLiteral("ローカルメール削除"), &TfrmMain::mnuLocalDeleteClick);
  EnableOnShow(m, local_delete, [this] { return core_->Messages().CanDelete(); });
  m->addSeparator();
  QAction* copy = Add(m, edit, QStringLiteral("コピー"), &TfrmMain::mnuCopyClick, QKeySequence(Qt::CTRL | Qt::Key_C));
  QAction* cut = Add(m, edit, QStringLiteral("切り取り"), &TfrmMain::mnuCutClick, QKeySequence(Qt::CTRL | Qt::Key_X));
  QAction* paste = Add(m, edit, QStringLiteral("貼り付け"), &TfrmMain::mnuPasteClick, QKeySequence(Qt::CTRL | Qt::Key_V));
  // Kept current as the focus moves too, for the shortcuts. One left disabled by a selection
  // made since lets the key through to the text itself, which copies, cuts and pastes alike.
  auto text_commands = [copy, cut, paste] { EnableTextCommands(copy, cut, paste); };
  text_commands();
  connect(m, &QMenu::aboutToShow, this, text_commands);
  connect(qApp, &QApplication::focusChanged, this, [this, text_commands](QWidget*, QWidget* now) {
    if (now && now->window() == this) text_commands();
  });
  Add(m, edit, QStringLiteral("添付ファイル貼り付け"), &TfrmMain::mnuPasteAttachmentClick);
  m->addSeparator();
  QAction* unread = Add(m, edit, QStringLiteral("未読に戻す"), &TfrmMain::mnuUnreadClick);
  QAction* read = Add(m, edit, QStringLiteral("既読にする"), &TfrmMain::mnuReadClick);
  for (QAction* a : {unread, read}) EnableOnShow(m, a, [this] { return core_->Messages().CanMarkRead(); });

  const QString search = QStringLiteral("検索");
  m = menu(search);
  Add(m, search, QStringLiteral("メールの抽出"), &TfrmMain::mnuExtractClick);
  Add(m, search, QStringLiteral("関連付け抽出"), &TfrmMain::mnuRelatedClick);
  Add(m, search, QStringLiteral("件名でﾒｰﾙの検索"), &TfrmMain::mnuSearchSubjectClick, QKeySequence(Qt::CTRL | Qt::Key_F));
  ConnectSearchNext(Add(m, search, QStringLiteral("件名で次を検索"), &TfrmMain::mnuSearchNextClick, QKeySequence(Qt::Key_F3)));
  Add(m, search, QStringLiteral("現メール内本文検索"), &TfrmMain::mnuFindInBodyClick);

  const QString view = QStringLiteral("表示");
  m = menu(view);
  QAction* html = Add(m, view, QStringLiteral("HTML表示"), &TfrmMain::mnuHtmlClick);
  QAction* text = Add(m, view, QStringLiteral("テキスト表示(標準)"), &TfrmMain::mnuTextClick);
  QAction* source = Add(m, view, QStringLiteral("ソース表示"), &TfrmMain::mnuSourceClick);
  m->addSeparator();
  sort_group_ = new QActionGroup(this);
  sort_group_->setExclusive(true);
  const std::pair<const char*, SortKinds> sorts[] = {{"未読順", SortKinds::Unread},
                                                     {"添付ファイル付き順", SortKinds::Attachment},
                                                     {"更新日順", SortKinds::Date},
                                                     {"件名順", SortKinds::Subject},
                                                     {"差出人順", SortKinds::Correspondent}};
  for (const auto& [caption, kind] : sorts) {
    QAction* a = Add(m, view, QString::fromUtf8(caption));
    a->setCheckable(true);
    a->setChecked(kind == SortKinds::Date);
    sort_group_->addAction(a);
    sort_actions_.insert(static_cast<int>(kind), a);
    connect(a, &QAction::triggered, this, [this, kind = kind] { Run([&] { shell_->ChooseSort(kind); }); });
  }
  m->addSeparator();
  Add(m, view, QStringLiteral("標準サイズへ"), &TfrmMain::mnuStandardSizeClick);
  QAction* show_compose = Add(m, view, QStringLiteral("送信フォームを表示"), &TfrmMain::mnuShowComposeClick);
  m->addSeparator();
  auto* header_group = new QActionGroup(this);
  header_on_ = Add(m, view, QStringLiteral("ヘッダ表示"), &TfrmMain::mnuHeaderOnClick);
  header_off_ = Add(m, view, QStringLiteral("ヘッダ非表示"), &TfrmMain::mnuHeaderOffClick);
  for (QAction* a : {header_on_, header_off_}) {
    a->setCheckable(true);
    header_group->addAction(a);
  }
  header_off_->setChecked(true);
  // Each acts only where it changes what is shown: the HTML view needs a chosen message, the
  // text view is the way back from it, the compose window comes forward only when showing.
  EnableOnShow(m, source, [this] { return shell_->CanShowSource(); });
  EnableOnShow(m, html, [this] { return Offers().html; });
  EnableOnShow(m, text, [this] { return Offers().text; });
  EnableOnShow(m, show_compose, [this] { return compose_ && compose_->isVisible(); });

  const QString sendrecv = QStringLiteral("送受信");
  m = menu(sendrecv);
  Add(m, sendrecv, QStringLiteral("受信"), &TfrmMain::mnuRecieveClick);
  Add(m, sendrecv, QStringLiteral("指定したメールを受信"), &TfrmMain::mnuReceiveSelectedClick);
  Add(m, sendrecv, QStringLiteral("受信停止"), &TfrmMain::mnuDisconnectClick);
  m->addSeparator();
  Add(m, sendrecv, QStringLiteral("送信"), &TfrmMain::mnuSendClick);
  QAction* reply = Add(m, sendrecv, QStringLiteral("返信"), &TfrmMain::mnuReplyToClick);
  QAction* forward = Add(m, sendrecv, QStringLiteral("転送"), &TfrmMain::mnuForwardClick);
  QAction* forward_attached =
      Add(m, sendrecv, QStringLiteral("添付ファイルとして転送"), &TfrmMain::mnuForwardAsAttachmentClick);
  EnableOnShow(m, reply, [this] { return Offers().reply; });
  for (QAction* a : {forward, forward_attached}) EnableOnShow(m, a, [this] { return Offers().forward; });
  m->addSeparator();
  Add(m, sendrecv, QStringLiteral("時差送信解除"), &TfrmMain::mnuCancelDelayedClick)->setEnabled(false);

  const QString settings = QStringLiteral("設定");
  m = menu(settings);
  Add(m, settings, QStringLiteral("アカウント"), &TfrmMain::mnuAccountClick);
  Add(m, settings, QStringLiteral("アドレス帳編集"), &TfrmMain::mnuAddressClick);
  Add(m, settings, QStringLiteral("メッセージルール"), &TfrmMain::mnuRuleClick);
  Add(m, settings, QStringLiteral("新着チェック"), &TfrmMain::mnuNewCheckClick);
  Add(m, settings, QStringLiteral("新着チェックを継続する"), &TfrmMain::mnuContinueNewCheckClick);
  Add(m, settings, QStringLiteral("差込結果"), &TfrmMain::ShowMergeLog);
  Add(m, settings, QStringLiteral("メンテナンス"), &TfrmMain::mnuMaintenanceClick);
  QMenu* password = m->addMenu(QStringLiteral("起動時パスワード"));
  const QString password_key = settings + QStringLiteral("/起動時パスワード");
  password_on_ = Add(password, password_key, QStringLiteral("する"), &TfrmMain::mnuPasswordOnClick);
  password_off_ = Add(password, password_key, QStringLiteral("しない"), &TfrmMain::mnuPasswordOffClick);
  auto* password_group = new QActionGroup(this);
  for (QAction* a : {password_on_, password_off_}) {
    a->setCheckable(true);
    password_group->addAction(a);
  }
  password_off_->setChecked(true);
  Add(m, settings, QStringLiteral("Beckyファイルの読込み"), &TfrmMain::mnuImportMailboxClick);

  const QString help = QStringLiteral("ヘルプ");
  m = menu(help);
  Add(m, help, QStringLiteral("使用方法"), &TfrmMain::mnuGuideClick);
  Add(m, help, QStringLiteral("オンラインヘルプ"), &TfrmMain::mnuOnlineHelpClick);
  Add(m, help, QStringLiteral("バージョン情報"), &TfrmMain::mnuVersionClick);
}

}  // namespace plumex

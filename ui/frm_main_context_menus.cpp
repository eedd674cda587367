// The main window's context menus: the folder trees', the message list's, the attachment
// list's and the body's. Each belongs to the widget it opens on.
#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QTextEdit>
#include <QTreeView>

#include "ui/frm_main.h"
#include "ui/text_commands.h"

namespace plumex {

void TfrmMain::BuildContextMenus() {
  // Each context menu belongs to the widget it opens on. The folder commands act on the chosen
  // node of the tree in use: none on a tree's top, and nothing is made directly under "受信"
  // (accounts are made in the account window).
  auto folder_menu = [this](QWidget* tree, const QString& key) {
    auto* menu = new QMenu(tree);
    menu->setObjectName(key);
    QAction* create = Add(menu, key, QStringLiteral("フォルダ作成"), &TfrmMain::mnuFolderCreateClick);
    QAction* rename = Add(menu, key, QStringLiteral("フォルダ名変更"), &TfrmMain::mnuFolderRenameClick);
    QAction* remove = Add(menu, key, QStringLiteral("フォルダ削除"), &TfrmMain::mnuFolderDeleteClick);
    EnableOnShow(menu, create, [this] { return shell_->CanCreateFolder(); });
    EnableOnShow(menu, rename, [this] { return shell_->CanRenameFolder(); });
    EnableOnShow(menu, remove, [this] { return shell_->CanDeleteFolder(); });
    return menu;
  };
  QMenu* tree1 = folder_menu(TreeView1_, QStringLiteral("tree1"));
  QAction* delete_folder_mail =
      Add(tree1, QStringLiteral("tree1"), QStringLiteral("フォルダ内メール全削除"), &TfrmMain::mnuDeleteFolderMailClick);
  EnableOnShow(tree1, delete_folder_mail, [this] { return core_->Messages().CanDeleteFolderMail(); });
  connect(TreeView1_, &QWidget::customContextMenuRequested, this,
          [this, tree1](const QPoint& pos) { tree1->popup(TreeView1_->viewport()->mapToGlobal(pos)); });

  QMenu* tree2 = folder_menu(TreeView2_, QStringLiteral("tree2"));
  connect(TreeView2_, &QWidget::customContextMenuRequested, this,
          [this, tree2](const QPoint& pos) { tree2->popup(TreeView2_->viewport()->mapToGlobal(pos)); });

  const QString l = QStringLiteral("list");
  auto* list = new QMenu(ListView1_);
  list->setObjectName(l);
  QAction* list_delete = Add(list, l, QStringLiteral("メールを削除する"), &TfrmMain::mnuLocalDeleteClick);
  EnableOnShow(list, list_delete, [this] { return core_->Messages().CanDelete(); });
  Add(list, l, QStringLiteral("メール削除モードへ"), &TfrmMain::mnuDeleteModeClick);
  QAction* leave_mode = Add(list, l, QStringLiteral("メール削除モード解除"), &TfrmMain::mnuLeaveDeleteModeClick);
  EnableOnShow(list, leave_mode, [this] { return core_->ServerDelete().InMode(); });
  QMenu* colour = list->addMenu(QStringLiteral("着色"));
  const std::pair<const char*, const char*> colours[] = {
      {"赤", "3"}, {"青", "4"}, {"緑", "5"}, {"ピンク", "6"}, {"水色", "7"}, {"標準(黒)", "2"}};
  for (const auto& [caption, mark] : colours) {
    QAction* a = Add(colour, l + QStringLiteral("/着色"), QString::fromUtf8(caption));
    connect(a, &QAction::triggered, this, [this, mark = mark] { Run([&] { shell_->ColourMark(mark); }); });
    EnableOnShow(colour, a, [this, mark = mark] { return core_->Messages().CanColour(mark); });
  }
  QAction* list_unread = Add(list, l, QStringLiteral("未読に戻す"), &TfrmMain::mnuUnreadClick);
  EnableOnShow(list, list_unread, [this] { return core_->Messages().CanMarkRead(); });
  QAction* register_sender = Add(list, l, QStringLiteral("差出人をアドレス帳へ登録"), &TfrmMain::mnuRegisterSenderClick);
  EnableOnShow(list, register_sender, [this] { return core_->AddressBooks().CanRegisterSender(); });
  QAction* list_reply = Add(list, l, QStringLiteral("返信"), &TfrmMain::mnuReplyToClick);
  QAction* list_forward = Add(list, l, QStringLiteral("転送"), &TfrmMain::mnuForwardClick);
  QAction* list_forward_attached =
      Add(list, l, QStringLiteral("添付ファイルとして転送"), &TfrmMain::mnuForwardAsAttachmentClick);
  EnableOnShow(list, list_reply, [this] { return Offers().reply; });
  for (QAction* a : {list_forward, list_forward_attached}) EnableOnShow(list, a, [this] { return Offers().forward; });
  connect(ListView1_, &QWidget::customContextMenuRequested, this,
          [this, list](const QPoint& pos) { list->popup(ListView1_->viewport()->mapToGlobal(pos)); });

  auto* attach = new QMenu(lstAttach_);
  attach->setObjectName(QStringLiteral("attach"));
  QAction* save_as = Add(attach, QStringLiteral("attach"), QStringLiteral("名前を付けて保存"), &TfrmMain::mnuSaveAsClick);
  QAction* save_all = Add(attach, QStringLiteral("attach"), QStringLiteral("すべてを保存"), &TfrmMain::mnuSaveAllClick);
  QAction* execute = Add(attach, QStringLiteral("attach"), QStringLiteral("直接実行"), &TfrmMain::mnuExecuteClick);
  for (QAction* a : {save_as, execute})
    EnableOnShow(attach, a, [this] { return shell_->CanActOnAttachment(CurrentAttachment()); });
  EnableOnShow(attach, save_all, [this] { return shell_->CanSaveAllAttachments(); });
  connect(lstAttach_, &QWidget::customContextMenuRequested, this,
          [this, attach](const QPoint& pos) { attach->popup(lstAttach_->viewport()->mapToGlobal(pos)); });

  auto* body = new QMenu(memBody_);
  body->setObjectName(QStringLiteral("body"));
  QAction* body_copy = Add(body, QStringLiteral("body"), QStringLiteral("コピー"), &TfrmMain::mnuCopyClick);
  QAction* body_cut = Add(body, QStringLiteral("body"), QStringLiteral("切り取り"), &TfrmMain::mnuCutClick);
  QAction* body_paste = Add(body, QStringLiteral("body"), QStringLiteral("貼り付け"), &TfrmMain::mnuPasteClick);
  connect(body, &QMenu::aboutToShow, this,
          [body_copy, body_cut, body_paste] { EnableTextCommands(body_copy, body_cut, body_paste); });
  Add(body, QStringLiteral("body"), QStringLiteral("メール本文検索"), &TfrmMain::mnuFindInBodyClick);
  Add(body, QStringLiteral("body"), QStringLiteral("選択文字列をアドレス帳へ登録"), &TfrmMain::mnuRegisterSelectionClick);
  connect(memBody_, &QWidget::customContextMenuRequested, this,
          [this, body](const QPoint& pos) { body->popup(memBody_->viewport()->mapToGlobal(pos)); });
}

}  // namespace plumex

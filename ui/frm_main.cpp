#include "ui/frm_main.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>

#include "text/code_page.h"
#include "text/sjis_text.h"
#include "shell/mailto_address.h"
#include "ui/folder_tree_model.h"
#include "ui/frm_account.h"
#include "ui/frm_add_address.h"
#include "ui/frm_address.h"
#include "ui/frm_send.h"
#include "ui/frm_set.h"
#include "ui/help_commands.h"
#include "ui/message_list_model.h"
#include "ui/new_check_driver.h"
#include "ui/qt_text.h"
#include "ui/run_guarded.h"
#include "ui/send_check_offer_bar.h"
#include "ui/text_commands.h"

namespace plumex {

TfrmMain::TfrmMain(AppCore& core, QtUiPort& port, QWidget* parent)
    : QMainWindow(parent), port_(&port), core_(&core) {
  setObjectName(QStringLiteral("TfrmMain"));
  setWindowTitle(QStringLiteral("Plumex Ver5"));
  port_->Attach(this);
  shell_ = &core_->Shell();
  receive_ = &core_->Receiving();
  accounts_ = &core_->Accounts();
  compose_commands_ = &core_->Compose();
  BuildWidgets();
  BuildMenus();
  BuildToolbar();
  BuildContextMenus();
  // Connected after every menu's own enable rules: a menu opened while a command runs shows
  // what would start another one greyed.
  for (QMenu* menu : findChildren<QMenu*>())
    connect(menu, &QMenu::aboutToShow, this, [this] {
      if (!core_->CanStartCommand()) GreyWhileRunning();
    });

  // Files dropped from the desktop are accepted; the delayed-send label starts hidden.
  setAcceptDrops(true);
  jisa_action_->setVisible(false);
  tmrAfterSend_ = new QTimer(this);
  tmrAfterSend_->setInterval(1000);
  connect(tmrAfterSend_, &QTimer::timeout, this, [this] {
    if (shell_->State().CloseRequested) {
      close();
      return;
    }
    DelayedSendTick();
  });
  Run([this] { core_->Start(); });
  Run([this] { core_->ShowSavedFolder(); });
  // The check before sending: on in a new store, offered once in an older one.
  if (!shell_->State().CloseRequested) SendCheckOfferBar::ShowIfDue(this, shell_->State().MailRoot);
  ApplySettings();
  UpdateMessageCommands();
  if (shell_->State().CloseRequested) tmrAfterSend_->start();
  // A queue an earlier run left is sent when due, from the first tick on.
  else SetDelayedSendActive(core_->DelayedSend().Queue().Active());
}

TfrmMain::~TfrmMain() {
  // The models stop listening before the shell's lists and trees go.
  delete list_model_;
  delete tree1_model_;
  delete tree2_model_;
}

void TfrmMain::Run(const std::function<void()>& command) {
  RunGuarded(this, *port_, command);
  // A command may put another folder on screen (receiving, the account window's choice) and
  // change what the commands on the rows offer.
  SyncTreeSelection();
  UpdateListHeader();
  UpdateMessageCommands();
}

// The header says what the list shows: "あて先" over a send folder's recipients, and an
// arrow on the column the rows are sorted by.
void TfrmMain::UpdateListHeader() {
  list_model_->SetShowsRecipients(shell_->ListShowsRecipients());
  QHeaderView* header = ListView1_->header();
  const std::optional<MainShell::SortArrow> arrow = shell_->ListSortArrow();
  header->setSortIndicatorShown(arrow.has_value());
  if (arrow) header->setSortIndicator(arrow->column, arrow->descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

// The standard width of the date column holds the whole date and time in the list's font;
// a width the person chose stays.
int TfrmMain::DateColumnWidth(int width) const {
  if (width != AppSettings().column_date) return width;
  const int text = ListView1_->fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00 00:00:00"));
  return std::max(width, text + 2 * ListView1_->style()->pixelMetric(QStyle::PM_HeaderMargin) + 16);
}

void TfrmMain::ApplySettings() {
  const AppSettings& s = shell_->State().Settings;
  SyncPasswordItems();
  ListView1_->setColumnWidth(kColSubject, s.column_subject);
  ListView1_->setColumnWidth(kColCorrespondent, s.column_from);
  ListView1_->setColumnWidth(kColDate, DateColumnWidth(s.column_date));
  ListView1_->setColumnWidth(kColSize, s.column_size);
  maximise_at_start_ = s.maximised();
  if (!maximise_at_start_) resize(s.form_width > 0 ? s.form_width : 600, s.form_height > 0 ? s.form_height : 600);
  // The place of the last exit, when it still lies on a screen (a screen since unplugged
  // would leave the window out of reach).
  if (s.has_position()) {
    const QPoint at(s.form_left, s.form_top);
    if (QScreen* screen = QGuiApplication::screenAt(at + QPoint(40, 10))) {
      const QRect area = screen->availableGeometry();
      move(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - std::min(width(), area.width()))),
           std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - std::min(height(), area.height()))));
    }
  }
  ApplyPaneSizes(s.tree_pane_width, s.bottom_pane_height);
  TreeView1_->expandAll();
  TreeView2_->expandAll();
  SyncTreeSelection();
  RenderViewer();
}

void TfrmMain::ApplyPaneSizes(int tree_width, int bottom_height) {
  int width = std::max(splitTop_->width(), tree_width + 100);
  splitTop_->setSizes({tree_width, width - tree_width});
  int height = std::max(splitMain_->height(), bottom_height + 200);
  int rest = height - bottom_height - 2 * splitMain_->handleWidth();
  splitMain_->setSizes({rest / 2, rest - rest / 2, bottom_height});
}

void TfrmMain::ShowAtStart() {
  // A wrong or cancelled start-up password: the mailbox is never shown and nothing is saved.
  if (shell_->State().StartRefused) {
    destroyed_ = true;
    emit closed();
    return;
  }
  if (maximise_at_start_)
    showMaximized();
  else
    showNormal();
  const AppSettings& s = shell_->State().Settings;
  ApplyPaneSizes(s.tree_pane_width, s.bottom_pane_height);
  TreeView1_->setFocus();
}

void TfrmMain::RestoreFromSecondInstance() {
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
  // A message being written stays in front of the main window.
  if (compose_ && compose_->isVisible()) {
    compose_->raise();
    compose_->activateWindow();
  }
  emit restored();
}

void TfrmMain::ComposeMailto(const QString& url) {
  Run([&] {
    if (auto fields = ParseMailto(url.toUtf8().toStdString())) ComposeFromMailto(*compose_commands_, *port_, *fields);
  });
}

void TfrmMain::OfferAccountSetup() {
  if (!shell_->State().StartRefused && shell_->State().AccountList.empty()) mnuAccountClick();
}

// The tree in use highlights the folder the list shows; the other tree highlights nothing.
void TfrmMain::SyncTreeSelection() {
  const Trees active = shell_->State().ActiveTree;
  for (auto [view, model, tree, which] :
       {std::tuple{TreeView1_, tree1_model_, &shell_->ReceiveTree(), Trees::Receive},
        std::tuple{TreeView2_, tree2_model_, &shell_->SendTree(), Trees::Send}}) {
    QModelIndex i = model->IndexOf(tree->Selected());
    if (which != active || !i.isValid()) {
      view->selectionModel()->clearSelection();
      continue;
    }
    if (view->currentIndex() != i || !view->selectionModel()->isSelected(i)) view->setCurrentIndex(i);
  }
}

void TfrmMain::SetStatusText(int panel, const QString& text) { (panel == 0 ? panel0_ : panel1_)->setText(text); }

void TfrmMain::SetProgress(int position, int maximum) {
  progress_->setMaximum(std::max(maximum, 0));
  progress_->setValue(position);
  progress_->setVisible(maximum > 0);
  PlaceProgressBar();
}

void TfrmMain::PlaceProgressBar() {
  QRect r = panel1_->geometry();
  progress_->setGeometry(r.x() + 2, r.y() + 2, r.width() - 2, r.height() - 2);
  progress_->raise();
}

void TfrmMain::SetModeLabel(const QString& text, const QColor& background) {
  LblMode_->setText(text);
  LblMode_->setStyleSheet(QStringLiteral("QLabel { background-color: %1; color: black; padding: 2px 8px; }")
                              .arg(background.name()));
}

void TfrmMain::SetDelayedSendLabelShown(bool shown) { jisa_action_->setVisible(shown); }

bool TfrmMain::DelayedSendLabelShown() const { return jisa_action_->isVisible(); }

void TfrmMain::SetAccountLabel(const QString& text) { LblAccount_->setText(QStringLiteral("  ") + text); }

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  // The account window's "閉じる" may have put another account's inbox on screen.
  if (watched == account_window_ && event->type() == QEvent::Hide) SyncTreeSelection();
  if (watched == statusBar_ && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)) {
    PlaceProgressBar();
  } else if (watched == memBody_->viewport()) {
    if (event->type() == QEvent::MouseMove) {
      const QPoint point = static_cast<QMouseEvent*>(event)->position().toPoint();
      RunGuarded(this, *port_, [&] { BodyPointerMoved(point); });
    } else if (event->type() == QEvent::MouseButtonPress && link_cursor_) {
      Run([this] { shell_->OpenHoverLink(); });
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

AppSettings TfrmMain::WindowMetrics() const {
  AppSettings m;
  if (isMaximized()) {
    m.form_width = m.form_height = -1;
  } else {
    m.form_width = width();
    m.form_height = height();
    m.form_left = pos().x();
    m.form_top = pos().y();
  }
  m.column_subject = ListView1_->columnWidth(kColSubject);
  m.column_from = ListView1_->columnWidth(kColCorrespondent);
  m.column_date = ListView1_->columnWidth(kColDate);
  m.column_size = ListView1_->columnWidth(kColSize);
  m.tree_pane_width = splitTop_->sizes().value(0, Panel4_->width());
  m.bottom_pane_height = splitMain_->sizes().value(2, Panel2_->height());
  return m;
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  bool refused = false;
  RunGuarded(this, *port_, [&] { refused = !destroyed_ && !MayClose(); });
  if (refused) {
    event->ignore();
    return;
  }
  event->accept();
  emit closed();
}

// FormCloseQuery and FormClose, once: false keeps the window open.
bool TfrmMain::MayClose() {
  if (!destroyed_) {
    // A message being written is never lost with the program: the compose window asks first,
    // and "キャンセル" there keeps both windows open.
    if (compose_ && compose_->isVisible() && !compose_->close()) return false;
    bool may_close = true;
    Run([&] { may_close = core_->MayClose(); });
    if (!may_close) return false;
    // FormClose: the notification-area icon goes with the window (on `closed`).
    Run([this] { core_->Shutdown(WindowMetrics()); });
    destroyed_ = true;
  }
  return true;
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  if (paths.isEmpty()) return;
  event->acceptProposedAction();
  DropFiles(paths);
}

void TfrmMain::DropFiles(const QStringList& paths) {
  Run([&] {
    if (!compose_commands_->NewMail() || !compose_) return;
    for (const QString& p : paths) compose_->AddAttachment(p);
  });
}

void TfrmMain::mnuPasteAttachmentClick() {
  if (!compose_commands_->NewMail()) return;
  const QMimeData* copied = QApplication::clipboard()->mimeData();
  if (!compose_ || !copied || !copied->hasUrls()) return;
  for (const QUrl& url : copied->urls())
    if (url.isLocalFile()) compose_->AddAttachment(url.toLocalFile());
}

void TfrmMain::StandardSize() {
  if (isMaximized() || isFullScreen()) showNormal();
  resize(600, 600);
  ApplyPaneSizes(180, 80);
  ListView1_->setColumnWidth(kColSubject, 300);
  ListView1_->setColumnWidth(kColCorrespondent, 200);
  ListView1_->setColumnWidth(kColDate, DateColumnWidth(130));
  ListView1_->setColumnWidth(kColSize, 75);
}

void TfrmMain::mnuExitClick() {
  shell_->DisconnectPop3();
  close();
}

void TfrmMain::mnuDisconnectClick() {
  receive_->StopReceiving();
  if (new_check_) new_check_->StopTimer();  // the new-mail check stops too
}

void TfrmMain::mnuRecieveClick() {
  // Then the forwards the new-mail check still owes go out.
  Run([this] { core_->MailCheck().ReceiveAndForward(); });
  TreeView1_->expandAll();
}

void TfrmMain::mnuDeleteModeClick() { core_->ServerDelete().EnterDeleteMode(); }

void TfrmMain::mnuLeaveDeleteModeClick() {
  Run([this] { core_->ServerDelete().LeaveMode(); });
  if (new_check_) new_check_->StopTimer();
}

// The chosen messages are received; the folder tree waits meanwhile, as for "受信".
void TfrmMain::mnuReceiveSelectedClick() {
  Run([this] { core_->ServerDelete().ReceiveSelected(); });
  TreeView1_->expandAll();
}

void TfrmMain::mnuOpenMailClick() { receive_->OpenChosenMessageFiles(); }

void TfrmMain::mnuComposeClick() { compose_commands_->NewMail(); }

void TfrmMain::mnuSendClick() {
  if (compose_) compose_->ShowModal();
}

void TfrmMain::mnuReplyToClick() { compose_commands_->Reply(); }

void TfrmMain::mnuForwardClick() { compose_commands_->Forward(); }
void TfrmMain::mnuForwardAsAttachmentClick() { compose_commands_->ForwardAsAttachment(); }

void TfrmMain::ShowComposeWindow() {
  if (compose_) compose_->ShowContent();
}

void TfrmMain::HideComposeWindow() {
  if (compose_) compose_->Dismiss();
}

bool TfrmMain::ResolveUnsentCompose() { return !compose_ || compose_->ResolveUnsent(); }

void TfrmMain::mnuShowComposeClick() {
  if (compose_ && compose_->isVisible()) {
    compose_->raise();
    compose_->activateWindow();
  }
}

void TfrmMain::mnuAccountClick() {
  if (auto* account = qobject_cast<TfrmAccount*>(account_window_)) {
    account->ShowAccount();
  } else if (account_window_) {
    account_window_->show();
    account_window_->raise();
  }
}

void TfrmMain::mnuAddressClick() {
  if (address_window_) address_window_->ShowEditor();
}

void TfrmMain::mnuRegisterSenderClick() {
  if (register_window_ && core_->AddressBooks().PrepareSender()) register_window_->ShowRegister();
}

void TfrmMain::mnuRegisterSelectionClick() {
  if (!register_window_) return;
  const QTextCursor caret = memBody_->textCursor();
  const std::string selection = FromQ(caret.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')));
  core_->AddressBooks().PrepareSelection(selection, FromQ(caret.block().text()));
  register_window_->ShowRegister();
}

void TfrmMain::mnuRuleClick() {
  if (settings_window_) settings_window_->ShowRules();
}

// The check starts when the dialog's "実行" closes it (TfrmSet::newCheckRun).
void TfrmMain::mnuNewCheckClick() {
  if (settings_window_) settings_window_->ShowNewCheck();
}

void TfrmMain::mnuContinueNewCheckClick() {
  if (new_check_) new_check_->Start(NewCheckCommands::StartKind::Continue);
}

void TfrmMain::mnuUnreadClick() { shell_->MarkSelected("1"); }
void TfrmMain::mnuReadClick() { shell_->MarkSelected("2"); }
void TfrmMain::mnuHtmlClick() { shell_->ShowHtml(); }
void TfrmMain::mnuTextClick() { shell_->ShowText(); }

void TfrmMain::mnuStandardSizeClick() { StandardSize(); }
void TfrmMain::mnuHeaderOnClick() { shell_->SetHeaderShown(true); }
void TfrmMain::mnuHeaderOffClick() { shell_->SetHeaderShown(false); }

void TfrmMain::mnuCopyClick() { CopyFocusedText(); }
void TfrmMain::mnuCutClick() { CutFocusedText(); }
void TfrmMain::mnuPasteClick() { PasteFocusedText(); }

void TfrmMain::mnuFolderCreateClick() { shell_->CreateFolder(); }
void TfrmMain::mnuFolderRenameClick() { shell_->RenameFolder(); }
void TfrmMain::mnuFolderDeleteClick() { shell_->DeleteFolder(); }

std::optional<size_t> TfrmMain::CurrentAttachment() const {
  if (lstAttach_->currentRow() < 0) return std::nullopt;
  return static_cast<size_t>(lstAttach_->currentRow());
}

void TfrmMain::mnuSaveAsClick() {
  if (auto entry = CurrentAttachment()) shell_->SaveAttachment(*entry);
}
void TfrmMain::mnuSaveAllClick() { shell_->SaveAllAttachments(); }
void TfrmMain::mnuExecuteClick() {
  if (auto entry = CurrentAttachment()) shell_->OpenAttachment(*entry);
}

void TfrmMain::mnuLocalDeleteClick() { core_->Messages().Delete(); }

void TfrmMain::mnuDeleteFolderMailClick() { core_->Messages().DeleteFolderMail(); }

void TfrmMain::mnuMaintenanceClick() { core_->Messages().Maintain(); }

// The commands on the rows outside the menus (the tool bar's, the Delete key's) follow the
// core's queries as the rows and the message on screen change.
void TfrmMain::UpdateMessageCommands() {
  const bool can = core_->Messages().CanDelete();
  for (const char* key : {"編集/ローカルメール削除", "tool/メール削除", "list/メールを削除する"})
    if (QAction* a = FindAction(QString::fromUtf8(key))) a->setEnabled(can);
  // The tool bar's reply and forward follow what the viewer offers (none on a server row).
  const ViewerOffers offers = Offers();
  if (QAction* a = FindAction(QStringLiteral("tool/返信"))) a->setEnabled(offers.reply);
  if (QAction* a = FindAction(QStringLiteral("tool/転送"))) a->setEnabled(offers.forward);
  if (!core_->CanStartCommand()) GreyWhileRunning();
}

void TfrmMain::GreyWhileRunning() {
  if (!core_->CanStartCommand()) {
    // What stays usable: the commands that stop the run, closing the program (which stops it
    // too) and copying text.
    QSet<QAction*> kept;
    for (const char* key : {"tool/中止", "送受信/受信停止", "ファイル/切断", "tool/終了", "ファイル/終了",
                            "編集/メール削除モード解除", "list/メール削除モード解除", "編集/コピー", "body/コピー"})
      if (QAction* a = FindAction(QString::fromUtf8(key))) kept.insert(a);
    for (QAction* a : findChildren<QAction*>()) {
      if (!a->isEnabled() || a->menu() || a->isSeparator() || kept.contains(a)) continue;
      a->setEnabled(false);
      greyed_.append(a);
    }
  } else {
    const QList<QPointer<QAction>> greyed = std::exchange(greyed_, {});
    for (const QPointer<QAction>& a : greyed)
      if (a) a->setEnabled(true);
    UpdateMessageCommands();
  }
  // The receive tree waits while a run files into its folders or holds the server.
  TreeView1_->setEnabled(!shell_->ReceiveFolderHeld());
}

void TfrmMain::mnuPasswordOnClick() {
  Run([this] { core_->StartPassword().TurnOn(); });
  SyncPasswordItems();
}

void TfrmMain::mnuPasswordOffClick() {
  Run([this] { core_->StartPassword().TurnOff(); });
  SyncPasswordItems();
}

void TfrmMain::SyncPasswordItems() {
  password_on_->setChecked(shell_->State().StartPasswordOn);
  password_off_->setChecked(!shell_->State().StartPasswordOn);
}

namespace {
// A pane's text as the store keeps it: each line followed by CR LF.
std::string PaneText(const QString& text) {
  if (text.isEmpty()) return {};
  QString lines = text;
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (!lines.endsWith(QLatin1Char('\n'))) lines += QLatin1Char('\n');
  lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return FromQ(lines);
}
}  // namespace

void TfrmMain::mnuSaveMailClick() { core_->MessageFiles().SaveShownMessage(); }

void TfrmMain::mnuOverwriteMailClick() {
  core_->MessageFiles().OverwriteShownMessage(PaneText(memHeader_->toPlainText()), PaneText(memBody_->toPlainText()));
  memBody_->document()->setModified(false);
  memHeader_->document()->setModified(false);
}

void TfrmMain::mnuGuideClick() {
  ShowGuide(this, [this](const QUrl& url) { port_->OpenUrl(url.toString().toStdString()); });
}

void TfrmMain::mnuOnlineHelpClick() { port_->OpenUrl(OnlineHelpUrl().toString().toStdString()); }

void TfrmMain::mnuVersionClick() {
  port_->MessageBox(Utf8ToCp932(VersionText(shell_->State().MailRoot)), MsgIcon::Information, MsgButtons::Ok);
}

void TfrmMain::mnuImportMailboxClick() { core_->MessageFiles().ImportChosenMailbox(); }

}  // namespace plumex

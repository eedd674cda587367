// TfrmMain, the main window: toolbar, menus, the folder trees, the message list, the viewer
// and the bottom pane with the attachment list and the status bar. It renders the models of
// the application core it is given, forwards what a person does to the core's commands and
// greys what the commands' Can…() queries say is not offered.
#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <QMainWindow>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <optional>
#include <memory>

#include "shell/app_core.h"
#include "shell/conversation_view.h"
#include "shell/viewer_offers.h"
#include "ui/qt_ui_port.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPrinter;
class QActionGroup;
class QMenu;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QScrollArea;
class QSplitter;
class QStackedWidget;
class QTextEdit;
class QTimer;
class QTreeView;

namespace plumex {

class FolderTreeModel;
class MessageListModel;
class SafeTextBrowser;
class BodyFinder;
class TfrmSend;
class TfrmSet;
class TfrmAddress;
class TfrmAddAddress;
class TfrmInsertLog;
class NewCheckDriver;
class ReceiveCommands;
class AccountCommands;
class ComposeCommands;

class TfrmMain : public QMainWindow {
  Q_OBJECT
 public:
  // Builds the window and starts the core (FormCreate). The port renders into this window;
  // both outlive it.
  TfrmMain(AppCore& core, QtUiPort& port, QWidget* parent = nullptr);
  ~TfrmMain() override;

  // The core the window renders (for the tests that drive it).
  AppCore& Core() { return *core_; }
  MainShell& Shell() { return core_->Shell(); }
  // The end of start-up: show, focus the receive tree, maximise when the settings say so.
  void ShowAtStart();
  // A second start asked for this window.
  void RestoreFromSecondInstance();
  // "メールの作成" filled in from a "mailto:" address (the desktop's mail handler).
  void ComposeMailto(const QString& url);
  // A store without accounts: the account window opens, so the first account can be made.
  void OfferAccountSetup();
  void SetComposeWindow(TfrmSend* compose) { compose_ = compose; }
  void ShowComposeWindow();
  // "印刷" once the printer is chosen: the header lines, then the body, long lines wrapped.
  // False after a printer error (said in a message box).
  bool PrintShownMessage(QPrinter& printer);
  void HideComposeWindow();
  // Before the compose window is refilled: its unsent content kept or discarded; false: cancel.
  bool ResolveUnsentCompose();
  // The tree in use highlights the folder the list shows (after any command that may have
  // put another folder on screen, such as a receive of the new-mail check).
  void SyncTreeSelection();
  // The commands on the message on screen that make sense now.
  ViewerOffers Offers() const;
  // A link of the HTML view: its real address shown (a warning when its text shows another
  // domain) before the browser opens it; "mailto:" starts a new message.
  void HtmlLinkClicked(const QUrl& url);
  void SetAccountWindow(QWidget* w) {
    account_window_ = w;
    if (w) w->installEventFilter(this);
  }
  void SetAddressWindow(TfrmAddress* w) { address_window_ = w; }
  void SetRegisterWindow(TfrmAddAddress* w) { register_window_ = w; }
  void SetSettingsWindow(TfrmSet* w) { settings_window_ = w; }
  void SetMergeLogWindow(TfrmInsertLog* w) { merge_log_window_ = w; }
  // Delayed sending (frm_main_delayed.cpp): the one-minute timer and "時差送信中..." run while
  // the queue holds messages; a tick sends what is due.
  void SetDelayedSendActive(bool active);
  // While a command runs, every action that would start another one is greyed (the stop
  // commands, closing and copying stay); what was enabled comes back when it ends.
  void GreyWhileRunning();
  void DelayedSendTick();
  QTimer* DelayedSendTimer() const { return tmrAfterSend_; }
  // "差込結果", and after every merge send.
  void ShowMergeLog();
  void SetNewCheck(NewCheckDriver* d) { new_check_ = d; }

  // A menu, toolbar or context-menu item by "<menu>/<caption>": "ファイル/終了", "tool/受信",
  // "list/返信", "tree1/フォルダ作成", "tree2/...", "attach/...", "body/...".
  QAction* FindAction(const QString& key) const { return actions_.value(key); }

  // Called by the Ui port.
  void SetStatusText(int panel, const QString& text);
  void SetProgress(int position, int maximum);
  void SetModeLabel(const QString& text, const QColor& background);
  void SetAccountLabel(const QString& text);
  void RenderViewer();
  // The subject search chose a row (nothing: took the choice off).
  void ChooseListRow(std::optional<size_t> display_row, bool to_top);

  // "標準サイズへ"
  void StandardSize();
  // Files dropped from the shell: "メールの作成" with the files as attachments.
  void DropFiles(const QStringList& paths);

  // Settings of the window as they stand (for the settings file).
  AppSettings WindowMetrics() const;


  QTreeView* TreeView1() const { return TreeView1_; }
  QTreeView* TreeView2() const { return TreeView2_; }
  QTreeView* ListView1() const { return ListView1_; }
  QTextEdit* memBody() const { return memBody_; }
  QPlainTextEdit* memHeader() const { return memHeader_; }
  QListWidget* lstAttach() const { return lstAttach_; }
  SafeTextBrowser* htmlView() const { return htmlView_; }
  QLabel* LblMode() const { return LblMode_; }
  QLabel* LblAccount() const { return LblAccount_; }
  // The delayed-send label "時差送信中..." (shown by delayed sending).
  void SetDelayedSendLabelShown(bool shown);
  bool DelayedSendLabelShown() const;
  QLabel* StatusPanel(int i) const { return i == 0 ? panel0_ : panel1_; }
  QProgressBar* Progress() const { return progress_; }
  QStackedWidget* PreviewPane() const { return pnlPreview_; }
  QLabel* PreviewPicture() const { return imgPreview_; }
  QPlainTextEdit* PreviewText() const { return memPreview_; }
  QWidget* BottomPane() const { return Panel2_; }
  QWidget* TreePane() const { return Panel4_; }
  // The search in the shown message, with its find dialog (made when first opened).
  BodyFinder* BodyFind();

 signals:
  // The window closed for good (after the close question and shutdown).
  void closed();
  // Restored by a second start (the notification-area icon goes away).
  void restored();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildWidgets();
  void BuildMenus();
  void BuildToolbar();
  void BuildContextMenus();
  QAction* Add(QWidget* menu, const QString& key_prefix, const QString& caption, void (TfrmMain::*slot)() = nullptr,
               const QKeySequence& shortcut = QKeySequence());
  // The action is offered, as the menu opens, when the core's query says so.
  void EnableOnShow(QMenu* menu, QAction* action, std::function<bool()> can);
  // The pointer over the body: the hand over a link (a press then opens it).
  void BodyPointerMoved(const QPoint& point);
  // The close question and FormClose, once; false keeps the window open.
  bool MayClose();
  // The current row of the attachment list.
  std::optional<size_t> CurrentAttachment() const;
  void ApplySettings();
  void UpdateListHeader();
  int DateColumnWidth(int width) const;
  void PlaceProgressBar();
  // The search box and the conversation switch above the message list (frm_main_search_bar.cpp):
  // BuildSearchBar makes the pane the list goes into, ConnectSearchBar wires it to the list.
  QWidget* BuildSearchBar(QWidget* parent);
  void ConnectSearchBar();
  void RunSearchBox();
  void ApplyConversations();
  void ApplyPaneSizes(int tree_width, int bottom_height);
  void SetBody(const QString& text);
  void ShowPreview();
  // Runs a command through the one slot wrapper (ui/run_guarded.h), then shows the folder it
  // may have put on screen.
  void Run(const std::function<void()>& command);

  // Commands.
  void mnuExitClick();
  void mnuDisconnectClick();
  void mnuRecieveClick();
  void mnuDeleteModeClick();        // "メール削除モード開始", "削", "メール削除モードへ"
  void mnuLeaveDeleteModeClick();   // "メール削除モード解除"
  void mnuReceiveSelectedClick();   // "指定したメールを受信"
  void mnuSendClick();
  void mnuReplyToClick();
  void mnuForwardClick();
  void mnuForwardAsAttachmentClick();
  void mnuOpenMailClick();
  void mnuComposeClick();
  void mnuShowComposeClick();
  void mnuPasteAttachmentClick();  // "添付ファイル貼り付け"
  void mnuAccountClick();
  void mnuAddressClick();
  void mnuRegisterSenderClick();     // "差出人をアドレス帳へ登録"
  void mnuRegisterSelectionClick();  // "選択文字列をアドレス帳へ登録"
  void mnuRuleClick();      // "メッセージルール"
  void mnuNewCheckClick();  // "新着チェック"
  void mnuContinueNewCheckClick();  // "新着チェックを継続する"
  void mnuUnreadClick();
  void mnuReadClick();
  void mnuHtmlClick();
  void mnuTextClick();
  void mnuSourceClick();
  void mnuStandardSizeClick();
  void mnuHeaderOnClick();
  void mnuHeaderOffClick();
  void mnuCopyClick();
  void mnuCutClick();
  void mnuPasteClick();
  void mnuFolderCreateClick();
  void mnuFolderRenameClick();
  void mnuFolderDeleteClick();
  void mnuSaveAsClick();
  void mnuSaveAllClick();
  void mnuExecuteClick();
  void mnuLocalDeleteClick();       // "ローカルメール削除", "メール削除", "メールを削除する", Delete
  void mnuDeleteFolderMailClick();  // "フォルダ内メール全削除"
  void mnuMaintenanceClick();       // "メンテナンス"
  void UpdateMessageCommands();
  void mnuPasswordOnClick();
  void mnuPasswordOffClick();
  // Search (frm_main_search.cpp).
  void mnuSearchSubjectClick();
  void mnuSearchNextClick();
  void mnuFindInBodyClick();
  void mnuExtractClick();
  void mnuRelatedClick();
  void ConnectSearchNext(QAction* search_next);
  void SyncPasswordItems();
  void mnuSaveMailClick();
  void mnuOverwriteMailClick();
  void mnuPrintClick();
  void mnuImportMailboxClick();
  void mnuCancelDelayedClick();  // "時差送信解除"
  // Queue failures not told yet, in message boxes, once the window is on screen.
  void TellQueueFailures();
  void mnuGuideClick();       // "使用方法"
  void mnuOnlineHelpClick();  // "オンラインヘルプ"
  void mnuVersionClick();     // "バージョン情報"

  QtUiPort* port_;
  AppCore* core_;
  // The core's parts, named as the window's commands use them.
  MainShell* shell_ = nullptr;
  ReceiveCommands* receive_ = nullptr;
  AccountCommands* accounts_ = nullptr;
  ComposeCommands* compose_commands_ = nullptr;
  FolderTreeModel* tree1_model_ = nullptr;
  FolderTreeModel* tree2_model_ = nullptr;
  MessageListModel* list_model_ = nullptr;
  QHash<QString, QAction*> actions_;
  QActionGroup* sort_group_ = nullptr;
  QHash<int, QAction*> sort_actions_;
  QAction* header_on_ = nullptr;
  QAction* header_off_ = nullptr;
  QAction* password_on_ = nullptr;
  QAction* password_off_ = nullptr;

  QSplitter* splitMain_ = nullptr;   // top area | viewer | bottom pane
  QSplitter* splitTop_ = nullptr;    // tree pane | list
  QSplitter* splitTrees_ = nullptr;  // TreeView1 | TreeView2
  QSplitter* splitViewer_ = nullptr; // header panel | rest
  QSplitter* splitPreview_ = nullptr;// preview pane | body
  QWidget* Panel4_ = nullptr;
  QWidget* Panel2_ = nullptr;
  QTreeView* TreeView1_ = nullptr;
  QTreeView* TreeView2_ = nullptr;
  QTreeView* ListView1_ = nullptr;
  QPlainTextEdit* memHeader_ = nullptr;
  QStackedWidget* pnlPreview_ = nullptr;  // picture page | text page
  QScrollArea* scrPicture_ = nullptr;
  QLabel* imgPreview_ = nullptr;
  QPlainTextEdit* memPreview_ = nullptr;
  QStackedWidget* bodyStack_ = nullptr;
  QTextEdit* memBody_ = nullptr;
  SafeTextBrowser* htmlView_ = nullptr;
  QListWidget* lstAttach_ = nullptr;
  QWidget* statusBar_ = nullptr;
  QLabel* panel0_ = nullptr;
  QLabel* panel1_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* LblMode_ = nullptr;
  QLabel* LblAccount_ = nullptr;
  QLabel* LblJisa_ = nullptr;
  QAction* jisa_action_ = nullptr;  // the toolbar shows LblJisa through it
  QTimer* tmrAfterSend_ = nullptr;
  BodyFinder* body_finder_ = nullptr;
  std::function<void()> search_next_update_;
  QLineEdit* search_box_ = nullptr;
  QComboBox* search_scope_ = nullptr;  // the folder on screen | every folder
  QCheckBox* conversations_ = nullptr;
  QTimer* search_timer_ = nullptr;     // waits for typing to pause
  std::vector<ConversationRow> conversation_rows_;
  bool applying_conversations_ = false;

  TfrmSend* compose_ = nullptr;
  QWidget* account_window_ = nullptr;
  TfrmAddress* address_window_ = nullptr;
  TfrmAddAddress* register_window_ = nullptr;
  TfrmSet* settings_window_ = nullptr;
  TfrmInsertLog* merge_log_window_ = nullptr;
  NewCheckDriver* new_check_ = nullptr;

  // The rows the drag under way takes, fixed as it started.
  std::vector<ChosenMessage> dragged_rows_;
  QList<QPointer<QAction>> greyed_;  // greyed by GreyWhileRunning, to be given back
  bool maximise_at_start_ = false;
  bool destroyed_ = false;
  bool link_cursor_ = false;
  // What the viewer shows, to skip redrawing what did not change.
  std::string shown_header_, shown_body_;
  std::u16string body_text_;
};

}  // namespace plumex

#include "ui/frm_main.h"

#include "shell/app_core.h"
#include "ui/frm_account.h"
#include "ui/frm_add_address.h"
#include "ui/frm_address.h"

#include <functional>

#include <QSet>
#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QFileDialog>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <memory>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QScrollArea>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QSplitter>
#include <QStackedWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/code_page.h"
#include "platform/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "codecs/charset.h"
#include "receive/zip_encryption.h"
#include "shell/jpeg_decoder.h"
#include "shell/link_check.h"
#include "shell/link_text.h"
#include "shell/mailto_address.h"
#include "shell/sender_trust_column.h"
#include "shell/viewer_offers.h"
#include "shell/html_link.h"
#include "shell/inline_parts.h"
#include "ui/dialog_owner.h"
#include "ui/help_commands.h"
#include "ui/folder_tree_model.h"
#include "ui/frm_send.h"
#include "ui/frm_set.h"
#include "ui/new_check_driver.h"
#include "ui/icons.h"
#include "ui/message_list_model.h"
#include "ui/qt_text.h"
#include "ui/send_check_offer_bar.h"
#include "ui/safe_text_browser.h"

namespace plumex {
namespace {

// A folder tree whose selection follows left clicks only: a right click opens the context
// menu on the selection as it stands.
class FolderTreeView : public QTreeView {
 public:
  using QTreeView::QTreeView;
  // Rows of the message list dropped on a node; nothing else is accepted.
  std::function<bool(const QModelIndex&)> can_drop;
  std::function<void(const QModelIndex&)> drop;

 protected:
  bool AcceptsRows(QDropEvent* event) const {
    return event->mimeData()->hasFormat(MessageListModel::RowsMimeType()) && can_drop &&
           can_drop(indexAt(event->position().toPoint()));
  }
  void dragEnterEvent(QDragEnterEvent* event) override {
    if (event->mimeData()->hasFormat(MessageListModel::RowsMimeType())) event->acceptProposedAction();
    else event->ignore();
  }
  void dragMoveEvent(QDragMoveEvent* event) override {
    if (AcceptsRows(event)) event->acceptProposedAction();
    else event->ignore();
  }
  void dropEvent(QDropEvent* event) override {
    if (!AcceptsRows(event)) {
      event->ignore();
      return;
    }
    event->acceptProposedAction();
    const QModelIndex target = indexAt(event->position().toPoint());
    // The drag's own loop ends first; the move may ask questions.
    QTimer::singleShot(0, this, [this, target = QPersistentModelIndex(target)] {
      if (drop) drop(target);
    });
  }

  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::RightButton) {
      event->accept();
      return;
    }
    QTreeView::mousePressEvent(event);
  }

 public:
  // The keyboard moved the highlight to another node.
  std::function<void(const QModelIndex&)> key_moved;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const QModelIndex before = currentIndex();
    QTreeView::keyPressEvent(event);
    if (currentIndex() != before && currentIndex().isValid() && key_moved) key_moved(currentIndex());
  }
};

// The message list: a row the arrow keys move to is shown, as a click shows it, so the
// message on screen is always the highlighted one and every command acts on it.
class MessageListView : public QTreeView {
 public:
  using QTreeView::QTreeView;
  std::function<void(const QModelIndex&)> key_moved;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const QModelIndex before = currentIndex();
    QTreeView::keyPressEvent(event);
    if (currentIndex() != before && currentIndex().isValid() && key_moved) key_moved(currentIndex());
  }
};

// Largest text file the preview pane loads.
constexpr qint64 kMaxPreviewTextBytes = 8 * 1024 * 1024;

QString WithoutCr(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

// A text attachment in its own code: UTF-16 and UTF-8 (with or without a byte-order mark)
// as they are, ISO-2022-JP, EUC-JP and Shift_JIS told apart by the Japanese code detection.
QString PreviewTextOf(const QByteArray& bytes) {
  if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
    const bool little = bytes.startsWith("\xFF\xFE");
    QString text;
    for (qsizetype i = 2; i + 1 < bytes.size(); i += 2) {
      const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
      text += QChar(static_cast<char16_t>(little ? a | b << 8 : b | a << 8));
    }
    return text;
  }
  const std::string_view raw(bytes.constData(), static_cast<size_t>(bytes.size()));
  if (raw.starts_with("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.mid(3));
  if (IsUtf8WithNonAscii(raw)) return QString::fromUtf8(bytes);
  return ToQ(UnlabelledToSjis(raw));
}

// Copy, cut and paste act on the focused text: copy and cut on selected text, cut and paste
// in editable text only, paste when there is text to paste.
void EnableTextCommands(QAction* copy, QAction* cut, QAction* paste) {
  bool selected = false, editable = false;
  const QWidget* w = QApplication::focusWidget();
  if (auto* t = qobject_cast<const QTextEdit*>(w)) {
    selected = t->textCursor().hasSelection();
    editable = !t->isReadOnly();
  } else if (auto* p = qobject_cast<const QPlainTextEdit*>(w)) {
    selected = p->textCursor().hasSelection();
    editable = !p->isReadOnly();
  } else if (auto* l = qobject_cast<const QLineEdit*>(w)) {
    selected = l->hasSelectedText();
    editable = !l->isReadOnly();
  }
  copy->setEnabled(selected);
  cut->setEnabled(selected && editable);
  const QMimeData* clipboard = QApplication::clipboard()->mimeData();
  paste->setEnabled(editable && clipboard && clipboard->hasText() && !clipboard->text().isEmpty());
}

void KeepSelectionVisible(QWidget* w) {
  QPalette p = w->palette();
  p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
  p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
  w->setPalette(p);
}

}  // namespace

TfrmMain::TfrmMain(std::filesystem::path mail_root, std::unique_ptr<QtUiPort> port, QWidget* parent)
    : QMainWindow(parent), port_(port ? std::move(port) : std::make_unique<QtUiPort>()) {
  setObjectName(QStringLiteral("TfrmMain"));
  setWindowTitle(QStringLiteral("Plumex Ver5"));
  port_->Attach(this);
  core_ = std::make_unique<AppCore>(*port_, std::move(mail_root));
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
      if (shell_->Gate().Busy()) GreyWhileRunning();
    });

  // Files dropped from the desktop are accepted; the delayed-send label starts hidden.
  setAcceptDrops(true);
  jisa_action_->setVisible(false);
  tmrAfterSend_ = new QTimer(this);
  tmrAfterSend_->setInterval(1000);
  connect(tmrAfterSend_, &QTimer::timeout, this, [this] {
    ++shell_->State().TickCount;
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

// Every command of the window runs inside the core's one error path: a failure is shown
// through the port and no exception crosses a Qt slot.
template <class F>
void TfrmMain::Run(F&& command) {
  DialogOwnerScope owner(this);
  core_->Run(std::forward<F>(command));
  // A command may put another folder on screen (receiving, the account window's choice).
  SyncTreeSelection();
  UpdateListHeader();
}

// The header says what the list shows: "あて先" over a send folder's recipients, and an
// arrow on the column the rows are sorted by (none where the rows keep the server's order).
void TfrmMain::UpdateListHeader() {
  const MainState& s = shell_->State();
  list_model_->SetShowsRecipients(s.ViewMode == ViewModes::SendFolder || s.ViewMode == ViewModes::Drafts);
  QHeaderView* header = ListView1_->header();
  const bool sorted = s.ViewMode != ViewModes::ServerDelete && s.ViewMode != ViewModes::RelatedExtract && s.SortKey != 0;
  header->setSortIndicatorShown(sorted);
  if (!sorted) return;
  const int key = std::abs(s.SortKey);
  const int column = key == 10 ? kColPriorityIcon : key == 8 ? kColAttachIcon : key - 1;
  header->setSortIndicator(column, s.SortKey < 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void TfrmMain::BuildWidgets() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  splitMain_ = new QSplitter(Qt::Vertical, central);
  splitMain_->setObjectName(QStringLiteral("splitMain"));
  splitMain_->setChildrenCollapsible(false);
  layout->addWidget(splitMain_);
  setCentralWidget(central);

  // Top: tree pane | message list.
  splitTop_ = new QSplitter(Qt::Horizontal, splitMain_);
  splitTrees_ = new QSplitter(Qt::Vertical, splitTop_);
  Panel4_ = splitTrees_;
  Panel4_->setObjectName(QStringLiteral("Panel4"));
  TreeView1_ = new FolderTreeView(splitTrees_);
  TreeView1_->setObjectName(QStringLiteral("TreeView1"));
  TreeView2_ = new FolderTreeView(splitTrees_);
  TreeView2_->setObjectName(QStringLiteral("TreeView2"));
  tree1_model_ = new FolderTreeModel(shell_->ReceiveTree(), true, this);
  tree2_model_ = new FolderTreeModel(shell_->SendTree(), false, this);
  tree1_model_->can_edit = [this](const FolderNode* node) { return shell_->CanEditInPlace(node); };
  tree1_model_->rename = [this](FolderNode* node, const QString& text) {
    bool renamed = false;
    Run([&] { renamed = shell_->RenameInPlace(node, FromQ(text)); });
    return renamed;
  };
  for (auto [view, model] : {std::pair{TreeView1_, tree1_model_}, std::pair{TreeView2_, tree2_model_}}) {
    view->setModel(model);
    view->setHeaderHidden(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    KeepSelectionVisible(view);
  }
  // Rows dragged from the message list move (or, from a send folder to a receive folder, copy)
  // onto the node under the pointer.
  for (auto [view, model, which] : {std::tuple{TreeView1_, tree1_model_, Trees::Receive},
                                    std::tuple{TreeView2_, tree2_model_, Trees::Send}}) {
    auto* tree = static_cast<FolderTreeView*>(view);
    tree->setAcceptDrops(true);
    tree->viewport()->setAcceptDrops(true);
    tree->setDragDropMode(QAbstractItemView::DropOnly);
    tree->can_drop = [this, model = model, which = which](const QModelIndex& i) {
      return core_->Messages().CanDropOn(which, model->NodeOf(i));
    };
    tree->drop = [this, model = model, which = which](const QModelIndex& i) {
      std::vector<ChosenMessage> rows = std::move(dragged_rows_);
      dragged_rows_.clear();
      Run([&] { core_->Messages().DropRows(rows, which, model->NodeOf(i)); });
      UpdateMessageCommands();
    };
  }
  TreeView1_->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
  TreeView2_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // A node clicked or reached with the keys goes on screen: the tree always highlights the
  // folder the list shows.
  auto choose_receive = [this](const QModelIndex& i) {
    Run([&] { core_->SelectReceiveNode(tree1_model_->NodeOf(i)); });
    UpdateMessageCommands();
  };
  auto choose_send = [this](const QModelIndex& i) {
    Run([&] { shell_->SelectSendNode(tree2_model_->NodeOf(i)); });
    UpdateMessageCommands();
  };
  connect(TreeView1_, &QTreeView::clicked, this, choose_receive);
  connect(TreeView2_, &QTreeView::clicked, this, choose_send);
  static_cast<FolderTreeView*>(TreeView1_)->key_moved = choose_receive;
  static_cast<FolderTreeView*>(TreeView2_)->key_moved = choose_send;

  QWidget* list_pane = BuildSearchBar(splitTop_);
  auto* list_view = new MessageListView(list_pane);
  list_pane->layout()->addWidget(list_view);
  list_view->key_moved = [this](const QModelIndex& i) {
    Run([&] { shell_->ShowMessage(static_cast<size_t>(i.row())); });
  };
  ListView1_ = list_view;
  ListView1_->setObjectName(QStringLiteral("ListView1"));
  list_model_ = new MessageListModel(shell_->List());
  list_model_->trust_of = [column = std::make_shared<SenderTrustColumn>(*shell_)](size_t row) { return column->TrustOf(row); };
  ListView1_->setModel(list_model_);
  ListView1_->setRootIsDecorated(false);
  ListView1_->setUniformRowHeights(true);
  ListView1_->setItemsExpandable(false);
  ListView1_->setAllColumnsShowFocus(true);
  ListView1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ListView1_->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1_->setContextMenuPolicy(Qt::CustomContextMenu);
  ListView1_->setSortingEnabled(false);
  ListView1_->setDragEnabled(true);
  ListView1_->setDragDropMode(QAbstractItemView::DragOnly);
  // The rows a drag takes are fixed as it starts; the drafts and server lists are not dragged.
  list_model_->shown_text = [this](size_t row, int column) { return shell_->ShownColumn(row, column); };
  list_model_->on_drag = [this](const std::vector<size_t>& rows) {
    dragged_rows_.clear();
    if (core_->Messages().CanDragRows()) dragged_rows_ = core_->Messages().RowsAt(rows);
  };
  auto* delete_key = new QShortcut(QKeySequence(Qt::Key_Delete), ListView1_);
  delete_key->setContext(Qt::WidgetShortcut);
  connect(delete_key, &QShortcut::activated, this, [this] { Run([this] { mnuLocalDeleteClick(); }); });
  KeepSelectionVisible(ListView1_);
  QHeaderView* header = ListView1_->header();
  header->setSectionsClickable(true);
  header->setStretchLastSection(false);
  header->setSectionResizeMode(kColAttachIcon, QHeaderView::Fixed);
  ListView1_->setColumnWidth(kColPriorityIcon, 16);
  ListView1_->setColumnWidth(kColAttachIcon, 16);
  header->setMinimumSectionSize(16);
  for (int c = kColMsgId; c < kMessageColumnCount; ++c) ListView1_->setColumnHidden(c, true);
  connect(header, &QHeaderView::sectionClicked, this, [this](int c) { Run([&] { shell_->ColumnClick(c); }); });
  connect(ListView1_, &QTreeView::clicked, this,
          [this](const QModelIndex& i) { Run([&] { shell_->ShowMessage(static_cast<size_t>(i.row())); }); });
  // A double click opens the row's message in the compose window again.
  connect(ListView1_, &QTreeView::doubleClicked, this,
          [this](const QModelIndex& i) { Run([&] { core_->Drafts().Reopen(static_cast<size_t>(i.row())); }); });
  ConnectSearchBar();
  connect(ListView1_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    std::vector<size_t> rows;
    for (const QModelIndex& i : ListView1_->selectionModel()->selectedRows()) rows.push_back(static_cast<size_t>(i.row()));
    shell_->List().SetSelection(rows);
    UpdateMessageCommands();
  });
  splitTop_->setStretchFactor(0, 0);
  splitTop_->setStretchFactor(1, 1);

  // Viewer: header panel | (preview pane | body or HTML view).
  splitViewer_ = new QSplitter(Qt::Vertical, splitMain_);
  splitViewer_->setObjectName(QStringLiteral("splitViewer"));
  memHeader_ = new QPlainTextEdit(splitViewer_);
  memHeader_->setObjectName(QStringLiteral("memHeader"));
  // The message on screen can be edited and kept with "メールを上書き保存する".
  splitPreview_ = new QSplitter(Qt::Vertical, splitViewer_);
  pnlPreview_ = new QStackedWidget(splitPreview_);
  pnlPreview_->setObjectName(QStringLiteral("pnlPreview"));
  scrPicture_ = new QScrollArea(pnlPreview_);
  imgPreview_ = new QLabel;
  imgPreview_->setObjectName(QStringLiteral("imgPreview"));
  imgPreview_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  scrPicture_->setWidget(imgPreview_);
  scrPicture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  memPreview_ = new QPlainTextEdit(pnlPreview_);
  memPreview_->setObjectName(QStringLiteral("memPreview"));
  memPreview_->setReadOnly(true);
  pnlPreview_->addWidget(scrPicture_);
  pnlPreview_->addWidget(memPreview_);
  pnlPreview_->hide();
  bodyStack_ = new QStackedWidget(splitPreview_);
  memBody_ = new QTextEdit(bodyStack_);
  memBody_->setObjectName(QStringLiteral("memBody"));
  memBody_->setAcceptRichText(false);
  // Long lines wrap at the pane's edge (Japanese text has no spaces to wrap at).
  memBody_->setLineWrapMode(QTextEdit::WidgetWidth);
  memBody_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  memBody_->setContextMenuPolicy(Qt::CustomContextMenu);
  memBody_->viewport()->setMouseTracking(true);
  memBody_->viewport()->installEventFilter(this);
  htmlView_ = new SafeTextBrowser(bodyStack_);
  htmlView_->setObjectName(QStringLiteral("htmlView"));
  // Pictures from the message itself only; links open after the person saw where they lead.
  htmlView_->SetPictureSource([this](const QUrl& url) {
    const QByteArray address = url.toEncoded();
    return InlinePartFile(shell_->State().Viewer, std::string_view(address.constData(), static_cast<size_t>(address.size())));
  });
  connect(htmlView_, &QTextBrowser::anchorClicked, this, &TfrmMain::HtmlLinkClicked);
  bodyStack_->addWidget(memBody_);
  bodyStack_->addWidget(htmlView_);
  splitPreview_->setStretchFactor(0, 1);
  splitPreview_->setStretchFactor(1, 2);
  memHeader_->hide();

  // Bottom pane: attachment list and the status bar.
  Panel2_ = new QWidget(splitMain_);
  Panel2_->setObjectName(QStringLiteral("Panel2"));
  auto* bottom = new QVBoxLayout(Panel2_);
  bottom->setContentsMargins(0, 0, 0, 0);
  bottom->setSpacing(0);
  lstAttach_ = new QListWidget(Panel2_);
  lstAttach_->setObjectName(QStringLiteral("lstAttach"));
  lstAttach_->setFlow(QListView::LeftToRight);
  lstAttach_->setWrapping(true);
  lstAttach_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(lstAttach_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    Run([&] { shell_->ClickAttachment(static_cast<size_t>(lstAttach_->row(item))); });
  });
  connect(lstAttach_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    Run([&] { shell_->OpenAttachment(static_cast<size_t>(lstAttach_->row(item))); });
  });
  bottom->addWidget(lstAttach_, 1);
  statusBar_ = new QWidget(Panel2_);
  statusBar_->setObjectName(QStringLiteral("StatusBar1"));
  auto* status = new QHBoxLayout(statusBar_);
  status->setContentsMargins(0, 0, 0, 0);
  status->setSpacing(2);
  panel0_ = new QLabel(statusBar_);
  panel1_ = new QLabel(statusBar_);
  for (QLabel* p : {panel0_, panel1_}) p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel1_->setFixedWidth(300);
  status->addWidget(panel0_, 1);
  status->addWidget(panel1_, 0);
  statusBar_->setFixedHeight(20);
  progress_ = new QProgressBar(statusBar_);
  progress_->setObjectName(QStringLiteral("ProgressBar1"));
  progress_->setTextVisible(false);
  progress_->hide();
  statusBar_->installEventFilter(this);
  bottom->addWidget(statusBar_);
  // The pane may be made as low as the status bar; the attachment list gives way.
  lstAttach_->setMinimumHeight(0);
  Panel2_->setMinimumHeight(statusBar_->height() + 4);

  splitMain_->setStretchFactor(0, 1);
  splitMain_->setStretchFactor(1, 1);
  splitMain_->setStretchFactor(2, 0);

  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, &TfrmMain::mnuDisconnectClick);
}

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

void TfrmMain::BuildMenus() {
  QMenuBar* bar = menuBar();
  auto menu = [&](const QString& title) {
    QMenu* m = bar->addMenu(title);
    return m;
  };
  const QString file = QStringLiteral("ファイル");
  QMenu* m = menu(file);
  Add(m, file, QStringLiteral("メールの作成"), &TfrmMain::mnuComposeClick);
  Add(m, file, QStringLiteral("メールを開く"), &TfrmMain::mnuOpenMailClick);
  QAction* save = Add(m, file, QStringLiteral("メールを保存する"), &TfrmMain::mnuSaveMailClick);
  QAction* overwrite = Add(m, file, QStringLiteral("メールを上書き保存する"), &TfrmMain::mnuOverwriteMailClick);
  QAction* print = Add(m, file, QStringLiteral("印刷"), &TfrmMain::mnuPrintClick);
  Add(m, file, QStringLiteral("切断"), &TfrmMain::mnuDisconnectClick);
  // They act on the message on screen, never on a row the keyboard merely highlighted.
  connect(m, &QMenu::aboutToShow, this, [this, save, overwrite, print] {
    const ViewerOffers o = Offers();
    save->setEnabled(o.save);
    print->setEnabled(o.print);
    overwrite->setEnabled(o.overwrite);
  });
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
  connect(m, &QMenu::aboutToShow, this, [this, server_delete, mark, unmark, candidates, leave] {
    const bool in_mode = shell_->State().ViewMode == ViewModes::ServerDelete;
    const bool chosen = in_mode && !shell_->List().Selection().empty();
    for (QAction* a : {server_delete, mark, unmark}) a->setEnabled(chosen);
    candidates->setEnabled(in_mode);
    leave->setEnabled(in_mode);
  });
  m->addSeparator();
  Add(m, edit, QStringLiteral("ローカルメール削除"), &TfrmMain::mnuLocalDeleteClick);
  connect(m, &QMenu::aboutToShow, this, &TfrmMain::UpdateMessageCommands);
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
  // The rows of the server list are no stored messages: they have nothing to mark.
  connect(m, &QMenu::aboutToShow, this, [this, unread, read] {
    const bool stored = !IsServerList(shell_->State().ViewMode);
    unread->setEnabled(stored);
    read->setEnabled(stored);
  });

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
  connect(m, &QMenu::aboutToShow, this, [this, html, text, source, show_compose] {
    const MainState& s = shell_->State();
    const ViewerOffers o = Offers();
    source->setEnabled(!s.Viewer.message_file.empty());
    html->setEnabled(o.html);
    text->setEnabled(o.text);
    show_compose->setEnabled(compose_ && compose_->isVisible());
  });

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
  connect(m, &QMenu::aboutToShow, this, [this, reply, forward, forward_attached] {
    const ViewerOffers o = Offers();
    reply->setEnabled(o.reply);
    forward->setEnabled(o.forward);
    forward_attached->setEnabled(o.forward);
  });
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

void TfrmMain::BuildToolbar() {
  QToolBar* bar = addToolBar(QStringLiteral("ToolBar1"));
  bar->setObjectName(QStringLiteral("ToolBar1"));
  bar->setMovable(false);
  bar->setIconSize(QSize(24, 24));
  struct Button {
    const char* hint;
    const char* symbol;
    QColor colour;
    void (TfrmMain::*slot)();
  };
  const Button buttons[] = {
      {"終了", "終", QColor(120, 120, 120), &TfrmMain::mnuExitClick},
      {"ﾒｰﾙの件名で検索", "検", QColor(70, 130, 180), &TfrmMain::mnuSearchSubjectClick},
      {"受信", "受", QColor(40, 110, 200), &TfrmMain::mnuRecieveClick},
      {"新規作成", "新", QColor(50, 160, 90), &TfrmMain::mnuComposeClick},
      {"返信", "返", QColor(60, 150, 150), &TfrmMain::mnuReplyToClick},
      {"転送", "転", QColor(90, 120, 170), &TfrmMain::mnuForwardClick},
      {"メール削除モード", "削", QColor(200, 110, 40), &TfrmMain::mnuDeleteModeClick},
      {"中止", "止", QColor(200, 50, 50), &TfrmMain::mnuDisconnectClick},
      {"メール削除", "消", QColor(150, 60, 60), &TfrmMain::mnuLocalDeleteClick},
      {"アカウント設定", "設", QColor(110, 90, 160), &TfrmMain::mnuAccountClick},
      {"アドレス帳編集", "帳", QColor(160, 120, 60), &TfrmMain::mnuAddressClick},
  };
  for (const Button& b : buttons) {
    QAction* a = Add(bar, QStringLiteral("tool"), QString::fromUtf8(b.hint), b.slot);
    a->setIcon(icons::Button(QString::fromUtf8(b.symbol), b.colour));
    a->setToolTip(QString::fromUtf8(b.hint));
  }
  bar->addSeparator();
  bar->addWidget(new QLabel(QStringLiteral(" ﾓｰﾄﾞ："), bar));
  LblMode_ = new QLabel(bar);
  LblMode_->setObjectName(QStringLiteral("LblMode"));
  LblMode_->setMinimumWidth(60);
  LblMode_->setAlignment(Qt::AlignCenter);
  bar->addWidget(LblMode_);
  LblAccount_ = new QLabel(QStringLiteral("  ｱｶｳﾝﾄ："), bar);
  LblAccount_->setObjectName(QStringLiteral("LblAccount"));
  bar->addWidget(LblAccount_);
  LblJisa_ = new QLabel(QStringLiteral("時差送信中..."), bar);
  LblJisa_->setObjectName(QStringLiteral("LblJisa"));
  LblJisa_->setStyleSheet(QStringLiteral("QLabel { background-color: yellow; color: black; padding: 2px 8px; }"));
  jisa_action_ = bar->addWidget(LblJisa_);
}

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
    connect(menu, &QMenu::aboutToShow, this, [this, create, rename, remove] {
      const bool receive = shell_->State().ActiveTree == Trees::Receive;
      const FolderNode* node = (receive ? shell_->ReceiveTree() : shell_->SendTree()).Selected();
      create->setEnabled(node && !(receive && node->Level() == 0));
      rename->setEnabled(node && node->Level() > 0);
      remove->setEnabled(node && node->Level() > 0);
    });
    return menu;
  };
  QMenu* tree1 = folder_menu(TreeView1_, QStringLiteral("tree1"));
  QAction* delete_folder_mail =
      Add(tree1, QStringLiteral("tree1"), QStringLiteral("フォルダ内メール全削除"), &TfrmMain::mnuDeleteFolderMailClick);
  connect(tree1, &QMenu::aboutToShow, this, [this, delete_folder_mail] {
    delete_folder_mail->setEnabled(core_->Messages().CanDeleteFolderMail());
  });
  connect(TreeView1_, &QWidget::customContextMenuRequested, this,
          [this, tree1](const QPoint& pos) { tree1->popup(TreeView1_->viewport()->mapToGlobal(pos)); });

  QMenu* tree2 = folder_menu(TreeView2_, QStringLiteral("tree2"));
  connect(TreeView2_, &QWidget::customContextMenuRequested, this,
          [this, tree2](const QPoint& pos) { tree2->popup(TreeView2_->viewport()->mapToGlobal(pos)); });

  const QString l = QStringLiteral("list");
  auto* list = new QMenu(ListView1_);
  list->setObjectName(l);
  Add(list, l, QStringLiteral("メールを削除する"), &TfrmMain::mnuLocalDeleteClick);
  connect(list, &QMenu::aboutToShow, this, &TfrmMain::UpdateMessageCommands);
  Add(list, l, QStringLiteral("メール削除モードへ"), &TfrmMain::mnuDeleteModeClick);
  QAction* leave_mode = Add(list, l, QStringLiteral("メール削除モード解除"), &TfrmMain::mnuLeaveDeleteModeClick);
  connect(list, &QMenu::aboutToShow, this,
          [this, leave_mode] { leave_mode->setEnabled(shell_->State().ViewMode == ViewModes::ServerDelete); });
  QMenu* colour = list->addMenu(QStringLiteral("着色"));
  const std::pair<const char*, const char*> colours[] = {
      {"赤", "3"}, {"青", "4"}, {"緑", "5"}, {"ピンク", "6"}, {"水色", "7"}, {"標準(黒)", "2"}};
  std::vector<std::pair<QAction*, std::string_view>> colour_items;
  for (const auto& [caption, mark] : colours) {
    QAction* a = Add(colour, l + QStringLiteral("/着色"), QString::fromUtf8(caption));
    connect(a, &QAction::triggered, this, [this, mark = mark] { Run([&] { shell_->ColourMark(mark); }); });
    colour_items.emplace_back(a, mark);
  }
  // A colour goes to the first chosen row: the colour it has already changes nothing.
  connect(colour, &QMenu::aboutToShow, this, [this, colour_items] {
    const MessageList& rows = shell_->List();
    const auto chosen = rows.Selection();
    const bool row = Offers().colour && rows.IsValid(chosen.front());
    for (const auto& [a, mark] : colour_items) a->setEnabled(row && rows.Mark(chosen.front()) != mark);
  });
  QAction* list_unread = Add(list, l, QStringLiteral("未読に戻す"), &TfrmMain::mnuUnreadClick);
  connect(list, &QMenu::aboutToShow, this,
          [this, list_unread] { list_unread->setEnabled(!IsServerList(shell_->State().ViewMode)); });
  QAction* register_sender = Add(list, l, QStringLiteral("差出人をアドレス帳へ登録"), &TfrmMain::mnuRegisterSenderClick);
  connect(list, &QMenu::aboutToShow, this, [this, register_sender] {
    const auto chosen = shell_->List().Selection();
    register_sender->setEnabled(!chosen.empty() && shell_->List().IsValid(chosen.front()));
  });
  QAction* list_reply = Add(list, l, QStringLiteral("返信"), &TfrmMain::mnuReplyToClick);
  QAction* list_forward = Add(list, l, QStringLiteral("転送"), &TfrmMain::mnuForwardClick);
  QAction* list_forward_attached =
      Add(list, l, QStringLiteral("添付ファイルとして転送"), &TfrmMain::mnuForwardAsAttachmentClick);
  connect(list, &QMenu::aboutToShow, this, [this, list_reply, list_forward, list_forward_attached] {
    const ViewerOffers o = Offers();
    list_reply->setEnabled(o.reply);
    list_forward->setEnabled(o.forward);
    list_forward_attached->setEnabled(o.forward);
  });
  connect(ListView1_, &QWidget::customContextMenuRequested, this,
          [this, list](const QPoint& pos) { list->popup(ListView1_->viewport()->mapToGlobal(pos)); });

  auto* attach = new QMenu(lstAttach_);
  attach->setObjectName(QStringLiteral("attach"));
  QAction* save_as = Add(attach, QStringLiteral("attach"), QStringLiteral("名前を付けて保存"), &TfrmMain::mnuSaveAsClick);
  QAction* save_all = Add(attach, QStringLiteral("attach"), QStringLiteral("すべてを保存"), &TfrmMain::mnuSaveAllClick);
  QAction* execute = Add(attach, QStringLiteral("attach"), QStringLiteral("直接実行"), &TfrmMain::mnuExecuteClick);
  connect(attach, &QMenu::aboutToShow, this, [this, save_as, save_all, execute] {
    save_as->setEnabled(lstAttach_->currentRow() >= 0);
    execute->setEnabled(lstAttach_->currentRow() >= 0);
    save_all->setEnabled(lstAttach_->count() > 0);
  });
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
    if (auto fields = ParseMailto(url.toUtf8().toStdString())) ComposeFromMailto(Compose(), *port_, *fields);
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

void TfrmMain::SetDelayedSendLabelShown(bool shown) {
  shell_->State().DelayedSendLabelShown = shown;
  jisa_action_->setVisible(shown);
}

bool TfrmMain::DelayedSendLabelShown() const { return jisa_action_->isVisible(); }

void TfrmMain::SetAccountLabel(const QString& text) { LblAccount_->setText(QStringLiteral("  ") + text); }

void TfrmMain::SetBody(const QString& text) {
  memBody_->setPlainText(text);
  QString plain = memBody_->toPlainText();
  body_text_.assign(reinterpret_cast<const char16_t*>(plain.utf16()), static_cast<size_t>(plain.size()));
  QTextCharFormat link;
  link.setForeground(QColor(0, 128, 64));
  for (const TextRange& r : LinkColourRanges(body_text_)) {
    QTextCursor c(memBody_->document());
    c.setPosition(static_cast<int>(r.start));
    c.setPosition(static_cast<int>(std::min(r.start + r.length, body_text_.size())), QTextCursor::KeepAnchor);
    c.mergeCharFormat(link);
  }
  // Links after a text showing another host: red on yellow, the real target as their tip.
  QTextCharFormat deceptive;
  deceptive.setForeground(QColor(200, 0, 0));
  deceptive.setBackground(QColor(255, 240, 160));
  deceptive.setFontUnderline(true);
  for (const TextRange& r : DeceptiveLinkRanges(body_text_)) {
    QTextCursor c(memBody_->document());
    c.setPosition(static_cast<int>(r.start));
    c.setPosition(static_cast<int>(std::min(r.start + r.length, body_text_.size())), QTextCursor::KeepAnchor);
    deceptive.setToolTip(QStringLiteral("表示と違う行き先: ") + c.selectedText());
    c.mergeCharFormat(deceptive);
  }
  memBody_->moveCursor(QTextCursor::Start);
}

void TfrmMain::ShowPreview() {
  const ViewerContent& v = shell_->State().Viewer;
  if (v.preview == ViewerContent::Preview::Hidden) {
    pnlPreview_->hide();
    return;
  }
  QString path = PathToQ(v.preview_file);
  if (v.preview == ViewerContent::Preview::Text) {
    if (!v.preview_text.empty()) {
      memPreview_->setPlainText(WithoutCr(ToQ(v.preview_text)));  // the text as sent
    } else {
      QFile f(path);
      QByteArray bytes;
      if (f.open(QIODevice::ReadOnly)) bytes = f.read(kMaxPreviewTextBytes);
      memPreview_->setPlainText(WithoutCr(PreviewTextOf(bytes)));
    }
    pnlPreview_->setCurrentWidget(memPreview_);
  } else {
    QImage image;
    if (path.endsWith(QStringLiteral(".jpg"), Qt::CaseInsensitive)) {
      if (auto bytes = ReadFileBytes(v.preview_file))
        if (auto picture = DecodeJpeg(*bytes))
          image = QImage(picture->rgb.data(), picture->width, picture->height, picture->width * 3, QImage::Format_RGB888)
                      .copy();
    } else {
      QImageReader reader(path);
      QSize size = reader.size();
      if (size.isValid() && PictureSizeAllowed(static_cast<uint64_t>(size.width()), static_cast<uint64_t>(size.height())))
        image = reader.read();
    }
    imgPreview_->setPixmap(QPixmap::fromImage(image));
    imgPreview_->adjustSize();
    pnlPreview_->setCurrentWidget(scrPicture_);
  }
  if (!pnlPreview_->isVisible()) {
    pnlPreview_->show();
    int total = std::max(splitPreview_->height(), 150);
    splitPreview_->setSizes({total / 3, total - total / 3});
  }
}

void TfrmMain::RenderViewer() {
  const MainState& s = shell_->State();
  const ViewerContent& v = s.Viewer;
  if (s.HeaderShown != memHeader_->isVisible()) {
    memHeader_->setVisible(s.HeaderShown);
    // A pane shown again in a splitter gets a height of its own, not what is left over.
    if (s.HeaderShown) {
      int total = std::max(splitViewer_->height(), 200);
      int h = std::min(140, total / 3);
      splitViewer_->setSizes({h, total - h});
    }
  }
  header_on_->setChecked(s.HeaderShown);
  header_off_->setChecked(!s.HeaderShown);
  if (v.header_text != shown_header_) {
    shown_header_ = v.header_text;
    memHeader_->setPlainText(WithoutCr(ToQ(shown_header_)));
  }
  // An emptied viewer also drops what was typed into the pane since.
  if (v.text_view != shown_body_ || (v.message_file.empty() && memBody_->document()->isModified())) {
    shown_body_ = v.text_view;
    SetBody(WithoutCr(ToQ(shown_body_)));
  }
  lstAttach_->clear();
  const auto& names = v.attachment_names.size() == v.attachments.size() ? v.attachment_names : v.attachments;
  for (size_t i = 0; i < names.size(); ++i) {
    auto* item = new QListWidgetItem(ToQ(names[i]), lstAttach_);
    // A password-protected ZIP: its content was not checked, and is not opened here.
    if (IsEncryptedZip(v.attachment_dir / NativeName(v.attachments[i]))) {
      item->setIcon(icons::TrustWarning());
      item->setToolTip(QString::fromUtf8(kEncryptedZipWarning));
    }
  }
  ShowPreview();
  if (v.html_shown) {
    auto bytes = ReadFileBytes(v.html_file);
    htmlView_->setHtml(bytes ? ToQ(*bytes) : QString());
    bodyStack_->setCurrentWidget(htmlView_);
  } else {
    bodyStack_->setCurrentWidget(memBody_);
  }
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  // The account window's "閉じる" may have put another account's inbox on screen.
  if (watched == account_window_ && event->type() == QEvent::Hide) SyncTreeSelection();
  if (watched == statusBar_ && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)) {
    PlaceProgressBar();
  } else if (watched == memBody_->viewport()) {
    if (event->type() == QEvent::MouseMove) {
      auto* e = static_cast<QMouseEvent*>(event);
      QPoint point = e->position().toPoint();
      bool hand = false;
      if (!body_text_.empty()) {
        QPoint in_document = point + QPoint(memBody_->horizontalScrollBar()->value(), memBody_->verticalScrollBar()->value());
        int pos = memBody_->document()->documentLayout()->hitTest(in_document, Qt::ExactHit);
        if (pos >= 0) {
          // hitTest gives the nearest boundary; the character under the pointer is the one
          // that starts left of it.
          QTextCursor c(memBody_->document());
          c.setPosition(pos);
          if (point.x() < memBody_->cursorRect(c).x() && pos > 0) --pos;
          hand = shell_->DetectLink(body_text_, static_cast<size_t>(pos));
        }
      }
      link_cursor_ = hand;
      memBody_->viewport()->setCursor(hand ? Qt::PointingHandCursor : Qt::IBeamCursor);
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
  if (!destroyed_) {
    // A message being written is never lost with the program: the compose window asks first,
    // and "キャンセル" there keeps both windows open.
    if (compose_ && compose_->isVisible() && !compose_->close()) {
      event->ignore();
      return;
    }
    bool may_close = true;
    Run([&] { may_close = core_->MayClose(); });
    if (!may_close) {
      event->ignore();
      return;
    }
    // FormClose: the notification-area icon goes with the window (on `closed`).
    Run([this] { core_->Shutdown(WindowMetrics()); });
    destroyed_ = true;
  }
  event->accept();
  emit closed();
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
  if (!compose_commands_->NewMail() || !compose_) return;
  for (const QString& p : paths) compose_->AddAttachment(p);
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

void TfrmMain::mnuOpenMailClick() {
  const QStringList files = QFileDialog::getOpenFileNames(
      this, QString(), QString(),
      QStringLiteral("メール(*.eml);;テキスト(*.txt);;すべてのファイル(*)"));
  std::vector<std::filesystem::path> paths;
  for (const QString& f : files) paths.emplace_back(f.toStdString());
  receive_->OpenMessageFiles(paths);
}

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

void TfrmMain::HtmlLinkClicked(const QUrl& url) {
  const QByteArray encoded = url.toEncoded();
  const std::string address(encoded.constData(), static_cast<size_t>(encoded.size()));
  if (KindOfLink(address) == HtmlLinkKind::Mail) {
    ComposeMailto(url.toString());
    return;
  }
  const std::string text = FromQ(htmlView_->LastLinkText());
  Run([&] { OpenHtmlLink(*port_, address, text); });
}

ViewerOffers TfrmMain::Offers() const {
  return OffersOnScreen(*shell_, memBody_->document()->isModified() || memHeader_->document()->isModified());
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

void TfrmMain::mnuSourceClick() {
  std::optional<std::string> source;
  Run([&] { source = shell_->ShownSource(); });
  if (!source) return;
  // A window of its own, so the message can be read beside its source.
  auto* dialog = new QDialog(this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(QStringLiteral("ソース表示"));
  auto* edit = new QPlainTextEdit(dialog);
  edit->setReadOnly(true);
  edit->setLineWrapMode(QPlainTextEdit::NoWrap);
  edit->setPlainText(WithoutCr(QString::fromStdString(*source)));
  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(edit);
  dialog->resize(720, 540);
  dialog->show();
}
void TfrmMain::mnuStandardSizeClick() { StandardSize(); }
void TfrmMain::mnuHeaderOnClick() { shell_->SetHeaderShown(true); }
void TfrmMain::mnuHeaderOffClick() { shell_->SetHeaderShown(false); }

namespace {
template <class F>
void OnFocusedText(F f) {
  QWidget* w = QApplication::focusWidget();
  if (auto* t = qobject_cast<QTextEdit*>(w)) f(t);
  else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) f(p);
  else if (auto* l = qobject_cast<QLineEdit*>(w)) f(l);
}
}  // namespace

void TfrmMain::mnuCopyClick() { OnFocusedText([](auto* w) { w->copy(); }); }
void TfrmMain::mnuCutClick() { OnFocusedText([](auto* w) { w->cut(); }); }
void TfrmMain::mnuPasteClick() { OnFocusedText([](auto* w) { w->paste(); }); }

void TfrmMain::mnuFolderCreateClick() { shell_->CreateFolder(); }
void TfrmMain::mnuFolderRenameClick() { shell_->RenameFolder(); }
void TfrmMain::mnuFolderDeleteClick() { shell_->DeleteFolder(); }

void TfrmMain::mnuSaveAsClick() {
  if (lstAttach_->currentRow() >= 0) shell_->SaveAttachment(static_cast<size_t>(lstAttach_->currentRow()));
}
void TfrmMain::mnuSaveAllClick() { shell_->SaveAllAttachments(); }
void TfrmMain::mnuExecuteClick() {
  if (lstAttach_->currentRow() >= 0) shell_->OpenAttachment(static_cast<size_t>(lstAttach_->currentRow()));
}

void TfrmMain::mnuLocalDeleteClick() {
  // In a server list the same commands delete on the server ("削除する").
  if (shell_->State().ViewMode == ViewModes::ServerDelete) core_->ServerDelete().DeleteSelected();
  else core_->Messages().DeleteLocally();
  UpdateMessageCommands();
}

void TfrmMain::mnuDeleteFolderMailClick() { core_->Messages().DeleteFolderMail(); }

void TfrmMain::mnuMaintenanceClick() { core_->Messages().Maintain(); }

// Local delete is offered where it acts: rows chosen, in a view whose rows can be deleted.
void TfrmMain::UpdateMessageCommands() {
  const bool can = core_->Messages().CanDeleteLocally() ||
                   (shell_->State().ViewMode == ViewModes::ServerDelete && !shell_->List().Selection().empty());
  for (const char* key : {"編集/ローカルメール削除", "tool/メール削除", "list/メールを削除する"})
    if (QAction* a = FindAction(QString::fromUtf8(key))) a->setEnabled(can);
  // The tool bar's reply and forward follow what the viewer offers (none on a server row).
  const ViewerOffers offers = Offers();
  if (QAction* a = FindAction(QStringLiteral("tool/返信"))) a->setEnabled(offers.reply);
  if (QAction* a = FindAction(QStringLiteral("tool/転送"))) a->setEnabled(offers.forward);
  if (shell_->Gate().Busy()) GreyWhileRunning();
}

void TfrmMain::GreyWhileRunning() {
  if (shell_->Gate().Busy()) {
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

void TfrmMain::mnuPrintClick() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() == QDialog::Accepted) PrintShownMessage(printer);
  port_->MessageBox(Sjis("終了しました"), MsgIcon::None, MsgButtons::Ok);
}

bool TfrmMain::PrintShownMessage(QPrinter& printer) {
  QTextDocument document;
  document.setDefaultFont(memBody_->font());
  QTextOption wrap;
  wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);  // long lines are not cut off
  document.setDefaultTextOption(wrap);
  document.setPlainText(WithoutCr(ToQ(core_->MessageFiles().PrintText())));
  document.print(&printer);
  if (printer.printerState() != QPrinter::Error) return true;
  port_->MessageBox(Sjis("印刷エラー"), MsgIcon::Error, MsgButtons::Ok);
  return false;
}

void TfrmMain::mnuGuideClick() {
  ShowGuide(this, [this](const QUrl& url) { port_->OpenUrl(url.toString().toStdString()); });
}

void TfrmMain::mnuOnlineHelpClick() { port_->OpenUrl(OnlineHelpUrl().toString().toStdString()); }

void TfrmMain::mnuVersionClick() {
  port_->MessageBox(Utf8ToCp932(VersionText(shell_->State().MailRoot)), MsgIcon::Information, MsgButtons::Ok);
}

void TfrmMain::mnuImportMailboxClick() {
  const QString file = QFileDialog::getOpenFileName(this, QString(), QString(),
                                                    QStringLiteral("メール(*.mbx);;すべてのファイル(*)"));
  if (file.isEmpty()) return;
  core_->MessageFiles().ImportMailbox(PathFromQ(file));
}

}  // namespace plumex

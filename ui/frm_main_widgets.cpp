// The main window's panes: the folder trees and the message list above, the viewer (header
// panel, attachment preview, body or HTML view) in the middle, the attachment list and the
// status bar below.
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QTextEdit>
#include <QVBoxLayout>
#include <memory>

#include "shell/inline_parts.h"
#include "shell/sender_trust_column.h"
#include "ui/folder_tree_model.h"
#include "ui/folder_tree_view.h"
#include "ui/frm_main.h"
#include "ui/message_list_model.h"
#include "ui/qt_text.h"
#include "ui/safe_text_browser.h"

namespace plumex {
namespace {

// The selection stays visible when the focus moves on, so the rows a command acts on show.
void KeepSelectionVisible(QWidget* w) {
  QPalette p = w->palette();
  p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
  p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
  w->setPalette(p);
}

// The list's cells are painted from what the core reads: a row whose message cannot be read
// shows as stored, with no mark, and the painting goes on (no exception crosses a paint).
template <class F>
auto OrNothing(F read) -> decltype(read()) {
  try {
    return read();
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace

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
    };
  }
  TreeView1_->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
  TreeView2_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // A node clicked or reached with the keys goes on screen: the tree always highlights the
  // folder the list shows.
  auto choose_receive = [this](const QModelIndex& i) { Run([&] { core_->SelectReceiveNode(tree1_model_->NodeOf(i)); }); };
  auto choose_send = [this](const QModelIndex& i) { Run([&] { shell_->SelectSendNode(tree2_model_->NodeOf(i)); }); };
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
  list_model_->trust_of = [column = std::make_shared<SenderTrustColumn>(*shell_)](size_t row) {
    return OrNothing([&] { return column->TrustOf(row); });
  };
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
  list_model_->shown_text = [this](size_t row, int column) {
    return OrNothing([&] { return shell_->ShownColumn(row, column); });
  };
  list_model_->on_drag = [this](const std::vector<size_t>& rows) {
    dragged_rows_.clear();
    if (core_->Messages().CanDragRows()) dragged_rows_ = core_->Messages().RowsAt(rows);
  };
  auto* delete_key = new QShortcut(QKeySequence(Qt::Key_Delete), ListView1_);
  delete_key->setContext(Qt::WidgetShortcut);
  connect(delete_key, &QShortcut::activated, this, [this] { Run([this] { core_->Messages().Delete(); }); });
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

}  // namespace plumex

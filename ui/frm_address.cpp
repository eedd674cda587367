#include "ui/frm_address.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "addressbook/address_texts.h"
#include "shell/address_book_commands.h"
#include "ui/address_record_model.h"
#include "ui/close_on_escape.h"
#include "ui/qt_text.h"
#include "ui/run_guarded.h"

namespace plumex {
namespace {

QPushButton* NamedButton(const QString& text, const char* name, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::fromUtf8(name));
  return b;
}

QLineEdit* NamedEdit(const char* name, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QString::fromUtf8(name));
  return e;
}

}  // namespace

TfrmAddress::TfrmAddress(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmAddress"));
  setWindowTitle(QStringLiteral("アドレス帳設定"));

  // The panel beside the tabs: books, their two buttons and the records.
  auto* panel = new QWidget(this);
  TreeView1_ = new QTreeWidget(panel);
  TreeView1_->setObjectName(QStringLiteral("TreeView1"));
  TreeView1_->setHeaderHidden(true);
  TreeView1_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  btnNewBook_ = NamedButton(QStringLiteral("アドレス帳の新規作成"), "btnNewBook", panel);
  btnDeleteBook_ = NamedButton(QStringLiteral("アドレス帳の削除"), "btnDeleteBook", panel);
  ListView1_ = new QTreeView(panel);
  ListView1_->setObjectName(QStringLiteral("ListView1"));
  ListView1_->setRootIsDecorated(false);
  ListView1_->setUniformRowHeights(true);
  ListView1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ListView1_->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1_->header()->setSectionsClickable(true);
  ListView1_->header()->setSortIndicatorShown(false);
  auto* panel_layout = new QVBoxLayout(panel);
  panel_layout->setContentsMargins(0, 0, 0, 0);
  auto* book_buttons = new QHBoxLayout;
  book_buttons->addWidget(btnNewBook_);
  book_buttons->addWidget(btnDeleteBook_);
  panel_layout->addWidget(TreeView1_, 1);
  panel_layout->addLayout(book_buttons);
  panel_layout->addWidget(ListView1_, 2);

  PageControl_ = new QTabWidget(this);
  PageControl_->setObjectName(QStringLiteral("PageControl"));

  // "アドレス帳の編集"
  auto* edit = new QWidget(PageControl_);
  lblBook_ = new QLabel(edit);
  lblBook_->setObjectName(QStringLiteral("lblBook"));
  edtName_ = NamedEdit("edtName", edit);
  edtAddress_ = NamedEdit("edtAddress", edit);
  edtRemark_ = NamedEdit("edtRemark", edit);
  btnAdd_ = NamedButton(QStringLiteral("追加"), "btnAdd", edit);
  btnSave_ = NamedButton(QStringLiteral("更新/保存"), "btnSave", edit);
  btnDelete_ = NamedButton(QStringLiteral("削除"), "btnDelete", edit);
  QPushButton* close_edit = NamedButton(QStringLiteral("閉じる"), "btnClose", edit);
  auto* grid = new QGridLayout(edit);
  auto* book_row = new QHBoxLayout;
  book_row->addWidget(new QLabel(QStringLiteral("アドレス帳は、"), edit));
  book_row->addWidget(lblBook_, 1);
  grid->addLayout(book_row, 0, 0, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("宛名"), edit), 1, 0);
  grid->addWidget(edtName_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("アドレス"), edit), 2, 0);
  grid->addWidget(edtAddress_, 2, 1);
  grid->addWidget(new QLabel(QStringLiteral("備考"), edit), 3, 0);
  grid->addWidget(edtRemark_, 3, 1);
  auto* edit_buttons = new QHBoxLayout;
  for (QPushButton* b : {btnAdd_, btnSave_, btnDelete_, close_edit}) edit_buttons->addWidget(b);
  grid->addLayout(edit_buttons, 4, 0, 1, 2);
  grid->setRowStretch(5, 1);
  PageControl_->addTab(edit, QStringLiteral("アドレス帳の編集"));

  // "あて名挿入"
  auto* picker = new QWidget(PageControl_);
  btnTo_ = NamedButton(QStringLiteral("TO"), "btnTo", picker);
  btnCc_ = NamedButton(QStringLiteral("CC"), "btnCc", picker);
  btnBcc_ = NamedButton(QStringLiteral("BCC"), "btnBcc", picker);
  QPushButton* adders[3] = {btnTo_, btnCc_, btnBcc_};
  const char* list_names[3] = {"lstTo", "lstCc", "lstBcc"};
  const char* remover_names[3] = {"btnToRemove", "btnCcRemove", "btnBccRemove"};
  auto* picker_grid = new QGridLayout(picker);
  for (int i = 0; i < 3; ++i) {
    lists_[i] = new QListWidget(picker);
    lists_[i]->setObjectName(QString::fromUtf8(list_names[i]));
    lists_[i]->setSelectionMode(QAbstractItemView::ExtendedSelection);
    removers_[i] = NamedButton(QStringLiteral("消去"), remover_names[i], picker);
    picker_grid->addWidget(adders[i], i, 0, Qt::AlignTop);
    picker_grid->addWidget(lists_[i], i, 1);
    picker_grid->addWidget(removers_[i], i, 2, Qt::AlignTop);
    connect(adders[i], &QPushButton::clicked, this, [this, i] { Pick(i); });
    connect(removers_[i], &QPushButton::clicked, this, [this, i] {
      std::vector<size_t> chosen;
      for (const QModelIndex& index : lists_[i]->selectionModel()->selectedIndexes())
        chosen.push_back(static_cast<size_t>(index.row()));
      Run([this, i, chosen] { books_->RemoveEntries(static_cast<PickerList>(i), chosen); });
    });
    connect(lists_[i], &QListWidget::itemSelectionChanged, this, &TfrmAddress::UpdateButtons);
  }
  btnClearAll_ = NamedButton(QStringLiteral("全消去"), "btnClearAll", picker);
  btnExport_ = NamedButton(QStringLiteral("宛先のエクスポート"), "btnExport", picker);
  QPushButton* close_picker = NamedButton(QStringLiteral("閉じる"), "btnPickerClose", picker);
  auto* picker_buttons = new QHBoxLayout;
  for (QPushButton* b : {btnClearAll_, btnExport_, close_picker}) picker_buttons->addWidget(b);
  picker_grid->addLayout(picker_buttons, 3, 0, 1, 3);
  PageControl_->addTab(picker, QStringLiteral("あて名挿入"));

  auto* split = new QSplitter(this);
  split->addWidget(panel);
  split->addWidget(PageControl_);
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 1);
  split->setSizes({420, 400});  // the record list's three columns in full
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(split);
  resize(840, 460);
  CloseOnEscape(this);

  connect(btnNewBook_, &QPushButton::clicked, this, [this] {
    Run([this] { books_->NewBookClick(); });
    TreeView1_->setFocus();
  });
  connect(btnDeleteBook_, &QPushButton::clicked, this, [this] {
    QTreeWidgetItem* item = TreeView1_->currentItem();
    if (!item || !item->parent()) return;
    const std::string book = FromQ(item->data(0, Qt::UserRole).toString());
    Run([this, book] { books_->DeleteBookClick(book); });
  });
  connect(btnAdd_, &QPushButton::clicked, this, [this] { Run([this] { books_->AddClick(); }); });
  connect(btnSave_, &QPushButton::clicked, this, [this] { Run([this] { books_->SaveClick(); }); });
  connect(btnDelete_, &QPushButton::clicked, this, [this] { Run([this] { books_->DeleteClick(); }); });
  connect(close_edit, &QPushButton::clicked, this, &QWidget::close);
  connect(close_picker, &QPushButton::clicked, this, &QWidget::close);
  connect(btnClearAll_, &QPushButton::clicked, this, [this] { Run([this] { books_->ClearLists(); }); });
  connect(btnExport_, &QPushButton::clicked, this, [this] { Run([this] { books_->ExportClick(); }); });
  connect(ListView1_, &QAbstractItemView::doubleClicked, this, [this] { Pick(0); });

  connect(TreeView1_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (rendering_ || !books_) return;
    if (item && item->parent()) {
      const std::string book = FromQ(item->data(0, Qt::UserRole).toString());
      Run([this, book] { books_->OpenBook(book); });
    }
    UpdateButtons();
  });
  connect(TreeView1_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) {
    if (rendering_ || !books_ || !item->parent()) return;
    const QString old_name = item->data(0, Qt::UserRole).toString();
    const QString new_name = item->text(0);
    if (old_name == new_name) return;
    // After the editor has let go of the node: a rename rebuilds the tree.
    QTimer::singleShot(0, this, [this, old_name, new_name] {
      bool renamed = false;
      Run([&] { renamed = books_->RenameBook(FromQ(old_name), FromQ(new_name)); });
      if (renamed) return;
      if (QTreeWidgetItem* node = BookItem(old_name)) {
        rendering_ = true;
        node->setText(0, old_name);  // the node keeps its old text
        rendering_ = false;
      }
    });
  });
}

void TfrmAddress::Attach(AddressBookCommands& books, UiPort& ui) {
  books_ = &books;
  ui_ = &ui;
  model_ = new AddressRecordModel(books, this);
  ListView1_->setModel(model_);
  ListView1_->setColumnWidth(0, 120);
  ListView1_->setColumnWidth(1, 160);
  ListView1_->setColumnWidth(2, 100);
  ListView1_->setColumnHidden(AddressRecordModel::kRecordNumberColumn, true);
  connect(ListView1_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (rendering_ || !current.isValid()) return;
            books_->SelectRecord(model_->RecordAt(current.row()));
            RenderFields();
          });
  connect(ListView1_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TfrmAddress::UpdateButtons);
  connect(ListView1_->header(), &QHeaderView::sectionClicked, this, [this](int column) {
    if (column < 0 || column >= AddressRecordModel::kRecordNumberColumn) return;
    Run([this, column] { books_->ColumnClick(static_cast<RecordColumn>(column)); });
  });
  Run([this] { books_->Load(); });
  TreeView1_->expandAll();
}

void TfrmAddress::ShowEditor() { ShowModal(0, nullptr); }

void TfrmAddress::ShowPicker(std::function<void()> closed) { ShowModal(1, std::move(closed)); }

void TfrmAddress::ShowModal(int tab, std::function<void()> closed) {
  // Modality changes only while hidden.
  if (isVisible() && windowModality() != Qt::ApplicationModal) hide();
  closed_ = std::move(closed);
  setWindowModality(Qt::ApplicationModal);
  PageControl_->setCurrentIndex(tab);
  Render();
  show();
  raise();
  activateWindow();
}

void TfrmAddress::Run(const std::function<void()>& command) {
  if (!books_) return;
  RunGuarded(this, *ui_, [&] {
    StoreFields();
    command();
  });
  Render();
}

void TfrmAddress::StoreFields() {
  if (!books_) return;
  AddressRecord& f = books_->Fields();
  f.name = FromQ(edtName_->text());
  f.address = FromQ(edtAddress_->text());
  f.remark = FromQ(edtRemark_->text());
}

QTreeWidgetItem* TfrmAddress::BookItem(const QString& name) const {
  QTreeWidgetItem* root = TreeView1_->topLevelItem(0);
  for (int i = 0; root && i < root->childCount(); ++i)
    if (root->child(i)->data(0, Qt::UserRole).toString() == name) return root->child(i);
  return nullptr;
}

void TfrmAddress::RenderTree() {
  QTreeWidgetItem* root = TreeView1_->topLevelItem(0);
  QStringList shown, wanted;
  for (int i = 0; root && i < root->childCount(); ++i) shown << root->child(i)->data(0, Qt::UserRole).toString();
  for (const auto& book : books_->Books()) wanted << ToQ(book);
  if (!root || shown != wanted) {
    TreeView1_->clear();
    root = new QTreeWidgetItem(TreeView1_, {ToQ(std::string(texts::kAddressRoot))});
    for (const QString& name : wanted) {
      auto* item = new QTreeWidgetItem(root, {name});
      item->setData(0, Qt::UserRole, name);
      item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    root->setExpanded(root->childCount() > 0);
  }
  QTreeWidgetItem* current = BookItem(ToQ(books_->CurrentBook()));
  TreeView1_->setCurrentItem(current ? current : root);
}

void TfrmAddress::RenderFields() {
  const AddressRecord& f = books_->Fields();
  edtName_->setText(ToQ(f.name));
  edtAddress_->setText(ToQ(f.address));
  edtRemark_->setText(ToQ(f.remark));
  btnAdd_->setText(books_->Adding() ? QStringLiteral("中止") : QStringLiteral("追加"));
  lblBook_->setText(ToQ(books_->BookLabel()));
  UpdateButtons();
}

void TfrmAddress::RenderLists() {
  for (int i = 0; i < 3; ++i) {
    QStringList entries;
    for (const auto& entry : books_->List(static_cast<PickerList>(i))) entries << ToQ(entry);
    QStringList shown;
    for (int row = 0; row < lists_[i]->count(); ++row) shown << lists_[i]->item(row)->text();
    if (shown == entries) continue;  // a list that stays keeps what is chosen in it
    lists_[i]->clear();
    lists_[i]->addItems(entries);
  }
}

void TfrmAddress::Render() {
  if (!books_) return;
  rendering_ = true;
  RenderTree();
  // Refilled only when the records or their order changed, so the rows chosen for the
  // picker stay chosen between "TO", "CC" and "BCC".
  if (books_->Revision() != shown_revision_) {
    shown_revision_ = books_->Revision();
    model_->Refill();
  }
  // The record on show stays chosen in the list.
  if (books_->HasRecordShown()) {
    const auto& order = books_->RowOrder();
    const auto at = std::find(order.begin(), order.end(), books_->CurrentIndex());
    if (at != order.end())
      ListView1_->setCurrentIndex(model_->index(static_cast<int>(at - order.begin()), 0));
  }
  RenderLists();
  rendering_ = false;
  RenderFields();
}

void TfrmAddress::UpdateButtons() {
  if (!books_) return;
  QTreeWidgetItem* node = TreeView1_->currentItem();
  btnDeleteBook_->setEnabled(node && node->parent());
  btnDelete_->setEnabled(books_->Adding() || books_->HasRecordShown());
  const bool chosen = ListView1_->selectionModel() && ListView1_->selectionModel()->hasSelection();
  for (QPushButton* b : {btnTo_, btnCc_, btnBcc_}) b->setEnabled(chosen);
  bool any = false;
  for (int i = 0; i < 3; ++i) {
    removers_[i]->setEnabled(!lists_[i]->selectedItems().isEmpty());
    any = any || lists_[i]->count() > 0;
  }
  btnClearAll_->setEnabled(any);
}

std::vector<size_t> TfrmAddress::ChosenRecords() const {
  std::vector<size_t> records;
  QModelIndexList rows = ListView1_->selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  for (const QModelIndex& row : rows) records.push_back(model_->RecordAt(row.row()));
  return records;
}

void TfrmAddress::Pick(int which) {
  const std::vector<size_t> records = ChosenRecords();
  Run([this, which, records] { books_->Pick(static_cast<PickerList>(which), records); });
}

void TfrmAddress::closeEvent(QCloseEvent* event) {
  bool may_close = true;
  if (books_) {
    StoreFields();
    RunGuarded(this, *ui_, [&] { may_close = books_->CloseClick(); });
  }
  if (may_close) event->accept();
  else event->ignore();
}

void TfrmAddress::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (auto closed = std::move(closed_)) {
    closed_ = nullptr;
    closed();
  }
}

}  // namespace plumex

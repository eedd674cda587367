#include "ui/frm_insert.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "platform/store_path.h"
#include "send/merge_sheet.h"
#include "shell/merge_sheet_commands.h"
#include "ui/close_on_escape.h"
#include "ui/qt_text.h"
#include "ui/sheet_model.h"
#include "ui/run_guarded.h"

namespace plumex {
namespace {
// "アドレス帳から取込" stays disabled, saying why, until the program gives it the address book.
const QString kNoAddressBookText = QStringLiteral("この機能はまだ使用できません。");
}  // namespace

TfrmInsert::TfrmInsert(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmInsert"));
  setWindowTitle(QStringLiteral("差し込むファイルの確認"));
  setWindowModality(Qt::ApplicationModal);

  LblinsertFilename_ = new QLabel(QStringLiteral("指定されていません！"), this);
  LblinsertFilename_->setObjectName(QStringLiteral("LblinsertFilename"));
  LblinsertFilename_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  StringGrid1_ = new QTableView(this);
  StringGrid1_->setObjectName(QStringLiteral("StringGrid1"));
  StringGrid1_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  StringGrid1_->horizontalHeader()->setDefaultSectionSize(kSheetDefaultColumnWidth);
  StringGrid1_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  StringGrid1_->verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  StringGrid1_->setContextMenuPolicy(Qt::CustomContextMenu);
  Edit1_ = new QLineEdit(QStringLiteral("1"), this);
  Edit1_->setObjectName(QStringLiteral("Edit1"));
  Edit1_->setMaximumWidth(60);
  Edit2_ = new QLineEdit(QStringLiteral("2"), this);
  Edit2_->setObjectName(QStringLiteral("Edit2"));
  Edit2_->setMaximumWidth(60);

  auto button = [this](const char* caption, const char* name) {
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    b->setObjectName(QString::fromUtf8(name));
    return b;
  };
  QPushButton* change = button("変更", "btnChange");
  QPushButton* close_button = button("閉じる", "btnClose");
  QPushButton* save = button("保存する", "btnSave");
  QPushButton* browse = button("...参照", "btnBrowse");
  QPushButton* clear = button("クリア", "btnClear");
  import_ = button("アドレス帳から取込", "btnImport");
  import_->setEnabled(false);
  import_->setToolTip(kNoAddressBookText);

  auto* layout = new QVBoxLayout(this);
  auto* file_row = new QHBoxLayout;
  file_row->addWidget(new QLabel(QStringLiteral("現在指定されている「差し込むファイル」は、"), this));
  file_row->addWidget(LblinsertFilename_, 1);
  file_row->addWidget(browse);
  layout->addLayout(file_row);
  auto* hint = new QLabel(
      QStringLiteral("　差し込むファイル(CSV)は、２列以上の列で構成し、１列目に送信先のメールアドレスを置いてください。"
                     "１行目は、項目(ﾀｲﾄﾙ)行であり、差し込みされません。"),
      this);
  hint->setWordWrap(true);
  layout->addWidget(hint);
  auto* hints = new QHBoxLayout;
  hints->addWidget(new QLabel(QStringLiteral("右クリックでメニューが表示されます"), this));
  hints->addWidget(new QLabel(QStringLiteral("シート内を編集したら保存し直しましょう"), this));
  hints->addStretch();
  layout->addLayout(hints);
  auto* attach_hint = new QLabel(
      QStringLiteral("　添付ファイルを差し込むときは、フルパスでファイル名を記述し、複数の添付を差し込むときは、"
                     "1列中に「;」で区切って記述してください。（例：D:\\A.gif;C:\\B.txt）"),
      this);
  attach_hint->setWordWrap(true);
  layout->addWidget(attach_hint);
  layout->addWidget(StringGrid1_, 1);
  auto* size_row = new QHBoxLayout;
  size_row->addWidget(Edit1_);
  size_row->addWidget(new QLabel(QStringLiteral("列"), this));
  size_row->addWidget(Edit2_);
  size_row->addWidget(new QLabel(QStringLiteral("行"), this));
  size_row->addWidget(change);
  size_row->addStretch();
  size_row->addWidget(import_);
  size_row->addWidget(clear);
  size_row->addWidget(save);
  size_row->addWidget(close_button);
  layout->addLayout(size_row);
  resize(720, 520);
  CloseOnEscape(this);

  connect(close_button, &QPushButton::clicked, this, &QWidget::close);
  connect(save, &QPushButton::clicked, this, [this] {
    RunGuarded(this, *ui_, [this] { sheet_->Save(); });
    Reload();
  });
  connect(browse, &QPushButton::clicked, this, [this] {
    bool loaded = false;
    RunGuarded(this, *ui_, [&] { loaded = sheet_->LoadChosenFile(); });
    if (loaded) Reload();
  });
  connect(clear, &QPushButton::clicked, this, [this] {
    sheet_->Clear();
    Reload();
  });
  connect(change, &QPushButton::clicked, this, [this] {
    std::string columns = FromQ(Edit1_->text()), rows = FromQ(Edit2_->text());
    RunGuarded(this, *ui_, [&] { sheet_->Change(columns, rows); });
    Reload();
    Edit1_->setText(ToQ(columns));
    Edit2_->setText(ToQ(rows));
  });
  connect(import_, &QPushButton::clicked, this, [this] {
    RunGuarded(this, *ui_, [this] { sheet_->ImportFromAddressBook(export_recipients_); });
    Reload();
  });
  connect(StringGrid1_->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
    if (sheet_ && column < static_cast<int>(sheet_->Grid().Columns())) sheet_->Grid().SetColumnWidth(static_cast<size_t>(column), width);
  });
  BuildMenu();
  connect(StringGrid1_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { grid_menu_->popup(StringGrid1_->viewport()->mapToGlobal(at)); });
}

void TfrmInsert::Attach(MergeSheetCommands& sheet, UiPort& ui) {
  sheet_ = &sheet;
  ui_ = &ui;
  model_ = new SheetModel(sheet.Grid(), this);
  StringGrid1_->setModel(model_);
  Reload();
}

void TfrmInsert::SetRecipientExport(std::function<std::optional<std::filesystem::path>()> export_recipients) {
  export_recipients_ = std::move(export_recipients);
  import_->setEnabled(static_cast<bool>(export_recipients_));
  import_->setToolTip(export_recipients_ ? QString() : kNoAddressBookText);
}

void TfrmInsert::Reload() {
  if (!sheet_) return;
  model_->Reload();
  const SheetGrid& grid = sheet_->Grid();
  for (size_t c = 0; c < grid.Columns(); ++c) StringGrid1_->setColumnWidth(static_cast<int>(c), grid.ColumnWidth(c));
  LblinsertFilename_->setText(ToQ(sheet_->FileLabel()));
  Edit1_->setText(QString::number(grid.Columns()));
  Edit2_->setText(QString::number(grid.Rows()));
}

void TfrmInsert::ShowSheet() {
  Reload();
  show();
  raise();
  activateWindow();
}

void TfrmInsert::LoadFile(const std::filesystem::path& file) {
  bool loaded = false;
  RunGuarded(this, *ui_, [&] { loaded = sheet_->LoadFile(file); });
  if (loaded) Reload();
}

CellRect TfrmInsert::Selection() const {
  const QModelIndexList chosen = StringGrid1_->selectionModel() ? StringGrid1_->selectionModel()->selectedIndexes()
                                                                 : QModelIndexList();
  QModelIndex current = StringGrid1_->currentIndex();
  if (chosen.isEmpty()) {
    const size_t r = current.isValid() ? static_cast<size_t>(current.row()) : 0;
    const size_t c = current.isValid() ? static_cast<size_t>(current.column()) : 0;
    return {r, c, r, c};
  }
  CellRect block{SIZE_MAX, SIZE_MAX, 0, 0};
  for (const QModelIndex& i : chosen) {
    block.top = std::min(block.top, static_cast<size_t>(i.row()));
    block.left = std::min(block.left, static_cast<size_t>(i.column()));
    block.bottom = std::max(block.bottom, static_cast<size_t>(i.row()));
    block.right = std::max(block.right, static_cast<size_t>(i.column()));
  }
  return block;
}

void TfrmInsert::Select(const CellRect& block) {
  const QModelIndex top_left = model_->index(static_cast<int>(block.top), static_cast<int>(block.left));
  const QModelIndex bottom_right = model_->index(static_cast<int>(block.bottom), static_cast<int>(block.right));
  StringGrid1_->setCurrentIndex(top_left);
  StringGrid1_->selectionModel()->select(QItemSelection(top_left, bottom_right), QItemSelectionModel::ClearAndSelect);
}

void TfrmInsert::RunOnSelection(const std::function<void(const CellRect&)>& command) {
  if (!sheet_) return;
  const CellRect block = Selection();
  RunGuarded(this, *ui_, [&] { command(block); });
  Reload();
  const SheetGrid& grid = sheet_->Grid();
  if (block.top < grid.Rows() && block.left < grid.Columns()) {
    CellRect kept = block;
    kept.bottom = std::min(kept.bottom, grid.Rows() - 1);
    kept.right = std::min(kept.right, grid.Columns() - 1);
    Select(kept);
  }
}

void TfrmInsert::BuildMenu() {
  grid_menu_ = new QMenu(StringGrid1_);
  grid_menu_->setObjectName(QStringLiteral("PopupMenu1"));
  auto add = [this](const char* caption, std::function<void(const CellRect&)> command) {
    connect(grid_menu_->addAction(QString::fromUtf8(caption)), &QAction::triggered, this,
            [this, command = std::move(command)] { RunOnSelection(command); });
  };
  auto g = [this]() -> SheetGrid& { return sheet_->Grid(); };
  add("セル内に文字列で上書き", [this](const CellRect& b) { sheet_->OverwriteCells(b); });
  add("セル内消去", [this](const CellRect& b) { sheet_->EraseCells(b); });
  add("セルのコピー", [g](const CellRect& b) { QApplication::clipboard()->setText(ToQ(g().Copy(b))); });
  add("セルの移動", [g](const CellRect& b) {
    QApplication::clipboard()->setText(ToQ(g().Copy(b)));
    g().Fill(b, "");
  });
  add("セルの貼り付け", [g](const CellRect& b) { g().Paste(b, FromQ(QApplication::clipboard()->text())); });
  grid_menu_->addSeparator();
  add("列を挿入", [g](const CellRect& b) { g().InsertColumns(b.left, b.Width()); });
  add("行を挿入", [g](const CellRect& b) { g().InsertRows(b.top, b.Height()); });
  add("最終列を追加", [g](const CellRect&) { g().AppendColumn(); });
  add("最終行を追加", [g](const CellRect&) { g().AppendRow(); });
  add("列を削除", [this](const CellRect& b) { sheet_->DeleteColumns(b); });
  add("行を削除", [this](const CellRect& b) { sheet_->DeleteRows(b); });
  grid_menu_->addSeparator();
  add("列幅を広げる", [g](const CellRect& b) { g().SetColumnWidth(b.left, g().ColumnWidth(b.left) + 100); });
  add("列幅を狭める", [g](const CellRect& b) { g().SetColumnWidth(b.left, std::max(50, g().ColumnWidth(b.left) - 100)); });
  grid_menu_->addSeparator();
  add("添付ファイルを挿入", [this](const CellRect& b) { sheet_->InsertChosenAttachment(b); });
}

void TfrmInsert::closeEvent(QCloseEvent* event) {
  bool may_close = true;
  if (sheet_) RunGuarded(this, *ui_, [&] { may_close = sheet_->Close(); });
  if (!may_close) {
    event->ignore();
    return;
  }
  event->accept();
  emit sheetClosed();
}

}  // namespace plumex

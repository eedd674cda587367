#include "ui/frm_send.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "port/ui_port.h"
#include "shell/address_book_commands.h"
#include "shell/compose.h"
#include "ui/frm_address.h"
#include "shell/draft_commands.h"
#include "shell/merge_sheet_commands.h"
#include "shell/merge_texts.h"
#include "ui/frm_insert.h"
#include "ui/frm_preview.h"
#include "ui/close_on_escape.h"
#include "ui/dialog_owner.h"
#include "ui/icons.h"
#include "ui/qt_text.h"
#include "ui/run_guarded.h"

namespace plumex {
namespace {

QComboBox* RecipientBox(QWidget* parent, const char* name) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromUtf8(name));
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  return box;
}

}  // namespace

TfrmSend::TfrmSend(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmSend"));
  setWindowTitle(QStringLiteral("メール作成"));
  setAcceptDrops(true);

  ComboBox1_ = new QComboBox(this);
  ComboBox1_->setObjectName(QStringLiteral("ComboBox1"));
  CheckPriority_ = new QCheckBox(QStringLiteral("重要度"), this);
  CheckBox1_ = new QCheckBox(QStringLiteral("差込メール"), this);
  CheckReceiptRecipient_ = new QCheckBox(QStringLiteral("開封確認"), this);
  cmbAfterSend_ = new QComboBox(this);
  cmbAfterSend_->setObjectName(QStringLiteral("cmbAfterSend"));
  cmbAfterSend_->setEditable(true);
  cmbAfterSend_->addItems({"0", "5", "10", "15", "20"});
  cmbAfterSend_->setCurrentText(QString());
  cmbAfterSend_->setMaximumWidth(70);
  edtTo_ = RecipientBox(this, "edtTo");
  edtCC_ = RecipientBox(this, "edtCC");
  edtBCC_ = RecipientBox(this, "edtBCC");
  edtSubject_ = new QLineEdit(this);
  edtSubject_->setObjectName(QStringLiteral("edtSubject"));
  Memo1_ = new QPlainTextEdit(this);
  Memo1_->setObjectName(QStringLiteral("Memo1"));
  Memo1_->setLineWrapMode(QPlainTextEdit::NoWrap);  // scroll bars both ways
  ListBox1_ = new QListWidget(this);
  ListBox1_->setObjectName(QStringLiteral("ListBox1"));
  ListBox1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ListBox1_->setMaximumHeight(70);

  auto* menu_bar = new QMenuBar(this);
  auto named = [](QAction* action, const char* name) {
    action->setObjectName(QString::fromUtf8(name));
    return action;
  };
  QMenu* file = menu_bar->addMenu(QStringLiteral("ファイル"));
  QAction* send = named(file->addAction(QStringLiteral("メール送信")), "mnuSend");
  // A second click of a double click comes after the window went away with the sent mail.
  connect(send, &QAction::triggered, this, [this] {
    if (isVisible()) SendMail();
  });
  QAction* temp_save = named(file->addAction(QStringLiteral("一時保存")), "mnuTempSaveAs");
  connect(temp_save, &QAction::triggered, this, [this] { SaveDraft(false); });
  overwrite_draft_ = named(file->addAction(QStringLiteral("一時保存上書き")), "mnuTempSave");
  connect(overwrite_draft_, &QAction::triggered, this, [this] { SaveDraft(true); });
  // Only a window reopened from a draft has one to save over.
  connect(file, &QMenu::aboutToShow, this, [this] { overwrite_draft_->setEnabled(drafts_ && drafts_->CanOverwrite()); });
  QAction* cancel = file->addAction(QStringLiteral("中止"));
  connect(cancel, &QAction::triggered, this, &QWidget::close);
  // The attachment commands, in the menu bar and on the list: removing acts on the chosen
  // attachments, removing all on a list that has some.
  auto attachment_commands = [this](QMenu* menu, const QString& insert, const QString& remove) {
    connect(menu->addAction(insert), &QAction::triggered, this, &TfrmSend::InsertAttachments);
    QAction* remove_chosen = menu->addAction(remove);
    connect(remove_chosen, &QAction::triggered, this, &TfrmSend::RemoveAttachments);
    QAction* remove_all = menu->addAction(QStringLiteral("全解除"));
    connect(remove_all, &QAction::triggered, this, [this] {
      ListBox1_->clear();
      StoreContent();
    });
    connect(menu, &QMenu::aboutToShow, this, [this, remove_chosen, remove_all] {
      remove_chosen->setEnabled(!ListBox1_->selectedItems().isEmpty());
      remove_all->setEnabled(ListBox1_->count() > 0);
    });
  };
  attachment_commands(menu_bar->addMenu(QStringLiteral("添付ファイル")), QStringLiteral("挿入"), QStringLiteral("解除"));
  // The merge sheet window fills this menu (one item per sheet column) and its commands.
  merge_menu_ = menu_bar->addMenu(QStringLiteral("差込"));
  merge_menu_->setObjectName(QStringLiteral("mnuSashikomi"));
  connect(named(merge_menu_->addAction(QStringLiteral("差し込むファイルの指定")), "mnuInsertFile"), &QAction::triggered,
          this, [this] {
            if (!insert_) return;
            StoreContent();
            insert_->ShowSheet();
          });
  connect(named(merge_menu_->addAction(QStringLiteral("プレビュー")), "mnuPreView"), &QAction::triggered, this, [this] {
    if (!preview_) return;
    DialogOwnerScope owner(this);
    StoreContent();
    preview_->StartPreview();
  });
  // A column item puts its placeholder where the focus was when the menu opened.
  connect(merge_menu_, &QMenu::aboutToShow, this, [this] { focus_before_merge_menu_ = focusWidget(); });
  QMenu* reply_to = menu_bar->addMenu(QStringLiteral("返信先"));
  connect(reply_to->addAction(QStringLiteral("返信先一時変更")), &QAction::triggered, this, [this] {
    StoreContent();
    RunGuarded(this, *ui_, [this] { compose_->ChangeReplyTo(); });
  });

  ListBox1_->setContextMenuPolicy(Qt::CustomContextMenu);
  auto* popup = new QMenu(ListBox1_);
  popup->setObjectName(QStringLiteral("ListBox1Menu"));
  attachment_commands(popup, QStringLiteral("添付ファイル挿入"), QStringLiteral("添付ファイル解除"));
  connect(ListBox1_, &QWidget::customContextMenuRequested, this,
          [this, popup](const QPoint& at) { popup->popup(ListBox1_->mapToGlobal(at)); });

  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("差出人（自分）"), this));
  top->addWidget(ComboBox1_, 1);
  top->addWidget(CheckPriority_);
  top->addWidget(CheckBox1_);
  top->addWidget(CheckReceiptRecipient_);
  top->addWidget(cmbAfterSend_);
  top->addWidget(new QLabel(QStringLiteral("分後に送信"), this));

  auto* grid = new QGridLayout;
  auto add_row = [&](int row, const char* label, QComboBox* box, const char* button, const char* hint,
                     std::string ComposeContent::*pending) {
    // The label opens the address book's picker.
    auto* caption = new QToolButton(this);
    caption->setObjectName(QStringLiteral("lbl") + box->objectName().mid(3));
    caption->setText(QString::fromUtf8(label));
    caption->setAutoRaise(true);
    caption->setCursor(Qt::PointingHandCursor);
    connect(caption, &QToolButton::clicked, this, &TfrmSend::PickRecipients);
    auto* add = new QToolButton(this);
    add->setObjectName(QString::fromUtf8(button));
    add->setText(QStringLiteral("+"));
    add->setToolTip(QString::fromUtf8(hint));
    connect(add, &QToolButton::clicked, this, [this, box, pending] { KeepForAdding(box, compose_->Content().*pending); });
    grid->addWidget(caption, row, 0);
    grid->addWidget(box, row, 1);
    grid->addWidget(add, row, 2);
    // The line edit's focus proxy is the box: typed keys reach the box, which hands them to the
    // line edit directly, past any filter on it. Enter is caught on both.
    box->installEventFilter(this);
    box->lineEdit()->installEventFilter(this);
    return caption;
  };
  add_row(0, "あて先", edtTo_, "SpeedButton1", "あて先の追加", &ComposeContent::pending_to);
  add_row(1, "CC", edtCC_, "SpeedButton2", "CCの追加", &ComposeContent::pending_cc);
  add_row(2, "BCC", edtBCC_, "SpeedButton3", "BCC先の追加", &ComposeContent::pending_bcc);
  grid->addWidget(new QLabel(QStringLiteral("件名"), this), 3, 0);
  grid->addWidget(edtSubject_, 3, 1, 1, 2);
  edtSubject_->installEventFilter(this);

  // The common commands on a tool bar, as the main window has one: the same actions as the
  // menu items, so each button does exactly what its item does.
  auto* tools = new QToolBar(this);
  tools->setObjectName(QStringLiteral("ToolBar1"));
  tools->setIconSize(QSize(24, 24));
  tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  auto* insert = new QAction(QStringLiteral("添付"), this);
  insert->setObjectName(QStringLiteral("tbInsert"));
  insert->setToolTip(QStringLiteral("添付ファイル挿入"));
  connect(insert, &QAction::triggered, this, &TfrmSend::InsertAttachments);
  const std::tuple<QAction*, const char*, const char*, QColor> buttons[] = {
      {send, "送信", "送", QColor(40, 110, 200)},
      {temp_save, "一時保存", "保", QColor(110, 90, 160)},
      {insert, "添付", "添", QColor(50, 160, 90)},
      {cancel, "中止", "止", QColor(200, 50, 50)},
  };
  for (const auto& [action, caption, symbol, colour] : buttons) {
    action->setIcon(icons::Button(QString::fromUtf8(symbol), colour));
    action->setIconText(QString::fromUtf8(caption));
    tools->addAction(action);
  }

  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(menu_bar);
  layout->addWidget(tools);
  layout->addLayout(top);
  layout->addLayout(grid);
  layout->addWidget(Memo1_, 1);
  layout->addWidget(ListBox1_);
  resize(680, 560);
  CloseOnEscape(this);  // as "中止"

  connect(CheckBox1_, &QCheckBox::toggled, this, [this](bool on) { edtTo_->setVisible(!on); });
  connect(cmbAfterSend_, &QComboBox::editTextChanged, this, [this] {
    DialogOwnerScope owner(this);
    if (!loading_ && ui_) ui_->MessageBox(Sjis("時差送信の場合、添付ファイルは半角文字だけのものにしてください。"));
  });
}

void TfrmSend::Attach(ComposeCommands& compose, UiPort& ui) {
  compose_ = &compose;
  ui_ = &ui;
  compose_->FillSenders();  // "送信" before any new message still offers the senders
  LoadContent();
}

void TfrmSend::AttachMerge(MergeSheetCommands& sheet, DraftCommands& drafts, TfrmInsert* insert, TfrmPreView* preview) {
  sheet_ = &sheet;
  drafts_ = &drafts;
  insert_ = insert;
  preview_ = preview;
  // The sheet accepted: the "差込" box, the sheet and the column items as it left them.
  connect(insert_, &TfrmInsert::sheetClosed, this, [this] {
    sheet_->RebuildColumnItems();
    LoadContent();
  });
}

void TfrmSend::RebuildMergeItems() {
  const QList<QAction*> items = merge_menu_->actions();
  for (qsizetype i = 2; i < items.size(); ++i) {
    merge_menu_->removeAction(items[i]);
    items[i]->deleteLater();
  }
  if (!sheet_) return;
  size_t n = 0;
  for (const std::string& caption : sheet_->ColumnItems()) {
    const size_t column = ++n;
    QAction* item = merge_menu_->addAction(ToQ(caption));
    item->setObjectName(QStringLiteral("InsertSashikomi%1").arg(column));
    connect(item, &QAction::triggered, this, [this, column] { InsertPlaceholder(column); });
  }
}

void TfrmSend::InsertPlaceholder(size_t column_number) {
  const QString placeholder = QStringLiteral("%SS%1%").arg(column_number);
  QWidget* target = focus_before_merge_menu_ ? focus_before_merge_menu_.data() : focusWidget();
  if (target == Memo1_) {
    Memo1_->insertPlainText(placeholder);
  } else if (target == edtSubject_) {
    edtSubject_->insert(placeholder);
  } else if (target == edtCC_->lineEdit() || target == edtBCC_->lineEdit()) {
    bool fits = false;
    RunGuarded(this, *ui_, [&] { fits = sheet_->PlaceholderFitsAddressBox(column_number); });
    if (fits) static_cast<QLineEdit*>(target)->insert(placeholder);
  } else if (target == ListBox1_) {
    AddAttachment(placeholder);
    return;
  }
  StoreContent();
}

TfrmSend::Snapshot TfrmSend::Current() {
  StoreContent();
  const ComposeContent& c = compose_->Content();
  return {c.to, c.cc, c.bcc, c.subject, c.body, c.attachments};
}

void TfrmSend::TakeSnapshot() {
  if (compose_) filled_ = Current();
}

bool TfrmSend::HasUnsentChanges() { return compose_ && !(Current() == filled_); }

void TfrmSend::Dismiss() {
  TakeSnapshot();
  hide();
}

void TfrmSend::SaveDraft(bool overwrite) {
  if (!drafts_) return;
  StoreContent();
  RunGuarded(this, *ui_, [&] { drafts_->Save(overwrite); });
}

void TfrmSend::closeEvent(QCloseEvent* event) {
  bool may_close = true;
  if (ui_) RunGuarded(this, *ui_, [&] { may_close = ResolveUnsent(); });
  if (may_close) event->accept();
  else event->ignore();
}

bool TfrmSend::ResolveUnsent() {
  if (!ui_ || !HasUnsentChanges()) return true;
  DialogOwnerScope owner(this);
  if (isVisible()) {
    raise();
    activateWindow();
  }
  const MsgAnswer answer = ui_->MessageBox(Sjis(texts::kDiscardQuestion), MsgIcon::Question, MsgButtons::YesNoCancel);
  if (answer == MsgAnswer::Yes && drafts_) {
    // Kept as a draft: over the one the window came from, else a new one; saving hides it.
    bool saved = false;
    RunGuarded(this, *ui_, [&] {
      drafts_->Save(drafts_->CanOverwrite());
      saved = true;
    });
    if (!saved) return false;
    TakeSnapshot();
    return true;
  }
  if (answer == MsgAnswer::No) {
    // Thrown away: the window opens empty the next time it is shown as it stands.
    compose_->Content().ClearMessage();
    LoadContent();
    TakeSnapshot();
    hide();
    return true;
  }
  return false;
}

void TfrmSend::LoadContent() {
  if (!compose_) return;
  loading_ = true;
  const ComposeContent& c = compose_->Content();
  ComboBox1_->clear();
  for (const auto& s : c.senders) ComboBox1_->addItem(ToQ(s));
  ComboBox1_->setCurrentIndex(c.sender_index);
  CheckPriority_->setChecked(c.priority);
  CheckBox1_->setChecked(c.merge);
  CheckReceiptRecipient_->setChecked(c.read_receipt);
  cmbAfterSend_->setCurrentText(ToQ(c.delay));
  edtTo_->setCurrentText(ToQ(c.to));
  edtCC_->setCurrentText(ToQ(c.cc));
  edtBCC_->setCurrentText(ToQ(c.bcc));
  edtSubject_->setText(ToQ(c.subject));
  QStringList lines;
  for (const auto& l : c.body) lines << ToQ(l);
  Memo1_->setPlainText(lines.join(QLatin1Char('\n')));
  ListBox1_->clear();
  for (const auto& a : c.attachments) ListBox1_->addItem(PathToQ(PathFromText(a)));
  RebuildMergeItems();
  if (overwrite_draft_) overwrite_draft_->setEnabled(drafts_ && drafts_->CanOverwrite());
  loading_ = false;
}

void TfrmSend::StoreContent() {
  if (!compose_) return;
  ComposeContent& c = compose_->Content();
  c.sender_index = ComboBox1_->currentIndex();
  c.priority = CheckPriority_->isChecked();
  c.merge = CheckBox1_->isChecked();
  c.read_receipt = CheckReceiptRecipient_->isChecked();
  c.delay = FromQ(cmbAfterSend_->currentText());
  c.to = FromQ(edtTo_->currentText());
  c.cc = FromQ(edtCC_->currentText());
  c.bcc = FromQ(edtBCC_->currentText());
  c.subject = FromQ(edtSubject_->text());
  const QString body = Memo1_->toPlainText();
  c.body = body.isEmpty() ? std::vector<std::string>{} : SplitLines(FromQ(body));
  c.attachments.clear();
  for (int i = 0; i < ListBox1_->count(); ++i) c.attachments.push_back(PathText(PathFromQ(ListBox1_->item(i)->text())));
}

void TfrmSend::AddAttachment(const QString& path) {
  StoreContent();
  // Kept whole: a shortened path names no file and the engine would drop it without a word.
  compose_->AddAttachment(PathText(PathFromQ(path)));
  LoadContent();
}

QStringList TfrmSend::Attachments() const {
  QStringList paths;
  for (int i = 0; i < ListBox1_->count(); ++i) paths << ListBox1_->item(i)->text();
  return paths;
}

void TfrmSend::ShowContent() {
  LoadContent();
  // Left modal by "送信": modality changes only while hidden.
  if (isVisible() && windowModality() != Qt::NonModal) hide();
  setWindowModality(Qt::NonModal);
  show();
  raise();
  Memo1_->moveCursor(QTextCursor::Start);
  Memo1_->setFocus();
  TakeSnapshot();
}

void TfrmSend::ShowModal() {
  if (isVisible() && windowModality() != Qt::ApplicationModal) hide();
  setWindowModality(Qt::ApplicationModal);
  show();
  raise();
}

bool TfrmSend::SendMail() {
  StoreContent();
  bool sent = false;
  RunGuarded(this, *ui_, [&] { sent = compose_->Send(); });
  if (!sent) return false;
  ListBox1_->clear();
  TakeSnapshot();
  return true;
}

void TfrmSend::PickRecipients() {
  if (!address_window_) return;
  StoreContent();
  ComposeContent& c = compose_->Content();
  AddressBookCommands& books = address_window_->Commands();
  books.FillFromCompose(c.to, c.cc, c.bcc);
  address_window_->ShowPicker([this, &books] {
    const AddressBookCommands::Recipients picked = books.TakeForCompose();
    ComposeContent& content = compose_->Content();
    content.to = picked.to;
    content.cc = picked.cc;
    content.bcc = picked.bcc;
    LoadContent();
  });
}

void TfrmSend::KeepForAdding(QComboBox* box, std::string& pending) {
  pending = FromQ(box->currentText());
  box->setCurrentText(QString());
  StoreContent();
}

void TfrmSend::Complete(QComboBox* box, std::string& pending) {
  std::vector<std::string> items;
  RunGuarded(this, *ui_, [&] { items = compose_->Complete(FromQ(box->currentText()), pending); });
  if (items.empty()) return;
  box->clear();
  for (const auto& item : items) box->addItem(ToQ(item));
  box->setCurrentIndex(0);
  StoreContent();
}

bool TfrmSend::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !compose_) return QWidget::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
  if (watched == edtSubject_ && (enter || key == Qt::Key_Tab)) {
    Memo1_->setFocus();  // Tab or Enter in the subject goes to the body
    return true;
  }
  if (!enter) return QWidget::eventFilter(watched, event);
  ComposeContent& c = compose_->Content();
  if (watched == edtTo_ || watched == edtTo_->lineEdit()) Complete(edtTo_, c.pending_to);
  else if (watched == edtCC_ || watched == edtCC_->lineEdit()) Complete(edtCC_, c.pending_cc);
  else if (watched == edtBCC_ || watched == edtBCC_->lineEdit()) Complete(edtBCC_, c.pending_bcc);
  else return QWidget::eventFilter(watched, event);
  return true;
}

void TfrmSend::InsertAttachments() {
  StoreContent();
  RunGuarded(this, *ui_, [this] { compose_->InsertChosenAttachments(); });
  LoadContent();
}

void TfrmSend::RemoveAttachments() {
  for (QListWidgetItem* item : ListBox1_->selectedItems()) delete item;
  StoreContent();
}

void TfrmSend::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TfrmSend::dropEvent(QDropEvent* event) {
  if (!ui_) return;
  RunGuarded(this, *ui_, [&] {
    for (const QUrl& url : event->mimeData()->urls())
      if (url.isLocalFile()) AddAttachment(url.toLocalFile());
  });
}

}  // namespace plumex

#include "ui/frm_add_address.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "addressbook/address_texts.h"
#include "shell/address_book_commands.h"
#include "ui/close_on_escape.h"
#include "ui/qt_text.h"
#include "ui/run_guarded.h"

namespace plumex {

TfrmAddAddress::TfrmAddAddress(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmAddAddress"));
  setWindowTitle(QStringLiteral("アドレス帳登録"));
  TreeView1_ = new QTreeWidget(this);
  TreeView1_->setObjectName(QStringLiteral("TreeView1"));
  TreeView1_->setHeaderHidden(true);
  lblBook_ = new QLabel(this);
  lblBook_->setObjectName(QStringLiteral("lblBook"));
  auto edit = [this](const char* name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromUtf8(name));
    return e;
  };
  edtName_ = edit("edtName");
  edtAddress_ = edit("edtAddress");
  edtRemark_ = edit("edtRemark");
  btnSave_ = new QPushButton(QStringLiteral("保存"), this);
  btnSave_->setObjectName(QStringLiteral("btnSave"));
  auto* cancel = new QPushButton(QStringLiteral("中止"), this);
  cancel->setObjectName(QStringLiteral("btnCancel"));

  auto* grid = new QGridLayout(this);
  grid->addWidget(TreeView1_, 0, 0, 6, 1);
  auto* book_row = new QHBoxLayout;
  book_row->addWidget(new QLabel(QStringLiteral("アドレス帳は、"), this));
  book_row->addWidget(lblBook_, 1);
  grid->addLayout(book_row, 0, 1, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("宛名"), this), 1, 1);
  grid->addWidget(edtName_, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("アドレス"), this), 2, 1);
  grid->addWidget(edtAddress_, 2, 2);
  grid->addWidget(new QLabel(QStringLiteral("備考"), this), 3, 1);
  grid->addWidget(edtRemark_, 3, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnSave_);
  buttons->addWidget(cancel);
  grid->addLayout(buttons, 4, 1, 1, 2);
  grid->setRowStretch(5, 1);
  resize(520, 260);
  CloseOnEscape(this);  // as "中止"

  connect(TreeView1_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
    if (!books_ || !item->parent()) return;  // the root changes nothing
    books_->ChooseRegisterBook(FromQ(item->text(0)));
    lblBook_->setText(ToQ(books_->RegisterBookLabel()));
  });
  connect(btnSave_, &QPushButton::clicked, this, [this] {
    StoreFields();
    bool done = false;
    RunGuarded(this, *ui_, [&] { done = books_->RegisterSaveClick(); });
    if (!done) return;
    emit saved();
    saving_ = true;
    close();
    saving_ = false;
  });
  connect(cancel, &QPushButton::clicked, this, &QWidget::close);
}

void TfrmAddAddress::Attach(AddressBookCommands& books, UiPort& ui) {
  books_ = &books;
  ui_ = &ui;
}

void TfrmAddAddress::ShowRegister() {
  TreeView1_->clear();
  auto* root = new QTreeWidgetItem(TreeView1_, {ToQ(std::string(texts::kAddressRoot))});
  for (const auto& book : books_->Books()) {
    auto* item = new QTreeWidgetItem(root, {ToQ(book)});
    if (book == books_->RegisterBook()) TreeView1_->setCurrentItem(item);
  }
  root->setExpanded(root->childCount() > 0);
  RenderFields();
  if (isVisible() && windowModality() != Qt::ApplicationModal) hide();
  setWindowModality(Qt::ApplicationModal);
  show();
  raise();
  activateWindow();
  edtName_->setFocus();
}

void TfrmAddAddress::StoreFields() {
  AddressRecord& f = books_->RegisterFields();
  f.name = FromQ(edtName_->text());
  f.address = FromQ(edtAddress_->text());
  f.remark = FromQ(edtRemark_->text());
}

void TfrmAddAddress::RenderFields() {
  const AddressRecord& f = books_->RegisterFields();
  edtName_->setText(ToQ(f.name));
  edtAddress_->setText(ToQ(f.address));
  edtRemark_->setText(ToQ(f.remark));
  lblBook_->setText(ToQ(books_->RegisterBookLabel()));
}

// "中止", Escape and the window's own close button: the fields are emptied.
void TfrmAddAddress::closeEvent(QCloseEvent* event) {
  if (books_) {
    RunGuarded(this, *ui_, [this] {
      if (!saving_) books_->RegisterCancelClick();
    });
    RenderFields();
  }
  event->accept();
}

}  // namespace plumex

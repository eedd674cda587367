#include "ui/frm_account.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "platform/text_file.h"
#include "port/error_text.h"
#include "port/ui_port.h"
#include "shell/account_commands.h"
#include "ui/dialog_owner.h"
#include "ui/place_on_screen.h"
#include "ui/qt_text.h"

namespace plumex {
namespace {

QString Lines(const std::vector<std::string>& lines) {
  QStringList out;
  for (const auto& l : lines) out << ToQ(l);
  return out.join(QLatin1Char('\n'));
}

}  // namespace

TfrmAccount::TfrmAccount(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmAccount"));
  setWindowTitle(QStringLiteral("アカウント設定"));
  setWindowModality(Qt::ApplicationModal);

  auto edit = [this](const char* name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromUtf8(name));
    return e;
  };
  edtAccount_ = edit("edtAccount");
  edtAddress_ = edit("edtAddress");
  edtPop_ = edit("edtPop");
  edtPopPort_ = edit("edtPopPort");
  edtSmtp_ = edit("edtSmtp");
  edtSmtpPort_ = edit("edtSmtpPort");
  edtReplyMark_ = edit("edtReplyMark");
  edtUser_ = edit("edtUser");
  edtPassword_ = edit("edtPassword");
  edtPassword_->setEchoMode(QLineEdit::Password);
  edtPassword_->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));  // "*"
  for (QLineEdit* port : {edtPopPort_, edtSmtpPort_}) port->setMaximumWidth(70);
  chkPopSsl_ = new QCheckBox(QStringLiteral("SSL"), this);
  chkSmtpSsl_ = new QCheckBox(QStringLiteral("SSL"), this);
  chkDelete_ = new QCheckBox(QStringLiteral("受信後、サーバからメールを削除する"), this);
  memSignature_ = new QPlainTextEdit(this);
  memSignature_->setObjectName(QStringLiteral("memSignature"));
  memSignature_->setLineWrapMode(QPlainTextEdit::NoWrap);  // scroll bars both ways
  memSignature_->setTabChangesFocus(true);  // Tab goes on to the buttons
  btnPrev_ = new QPushButton(QStringLiteral("◀"), this);
  btnNext_ = new QPushButton(QStringLiteral("▶"), this);
  for (QPushButton* arrow : {btnPrev_, btnNext_}) arrow->setMaximumWidth(32);
  lblNumber_ = new QLabel(QStringLiteral("1"), this);
  btnAdd_ = new QPushButton(QStringLiteral("追加"), this);
  btnDelete_ = new QPushButton(QStringLiteral("削除"), this);
  btnSave_ = new QPushButton(QStringLiteral("更新/保存"), this);
  btnClose_ = new QPushButton(QStringLiteral("閉じる"), this);
  auto* btnDate = new QPushButton(QStringLiteral("日付欄を追加"), this);

  // The account name between the arrows, the record number and "件目" under it.
  auto* top = new QGridLayout;
  top->addWidget(new QLabel(QStringLiteral("アカウント名"), this), 0, 0);
  top->addWidget(btnPrev_, 0, 1);
  top->addWidget(edtAccount_, 0, 2);
  top->addWidget(btnNext_, 0, 3);
  auto* number = new QHBoxLayout;
  number->addStretch();
  number->addWidget(lblNumber_);
  number->addWidget(new QLabel(QStringLiteral("件目"), this));
  number->addStretch();
  top->addLayout(number, 1, 2);

  auto* required = new QGroupBox(QStringLiteral("必須項目"), this);
  required->setStyleSheet(QStringLiteral(
      "QGroupBox { border: 1px solid #8899aa; border-radius: 8px; margin-top: 10px; padding: 6px; }"
      "QGroupBox::title { subcontrol-origin: margin; left: 10px; }"));
  auto* grid = new QGridLayout(required);
  int row = 0;
  grid->addWidget(new QLabel(QStringLiteral("自分のメールアドレス"), required), row, 0);
  grid->addWidget(edtAddress_, row++, 1, 1, 3);
  auto* example = new QLabel(QStringLiteral("例: \"山田太郎\"<taro@example.jp>"), required);
  example->setStyleSheet(QStringLiteral("color: gray;"));
  grid->addWidget(example, row++, 1, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("POP"), required), row++, 0);
  grid->addWidget(new QLabel(QStringLiteral("受信サーバ"), required), row, 0);
  grid->addWidget(edtPop_, row, 1);
  grid->addWidget(new QLabel(QStringLiteral("ポート"), required), row, 2);
  auto* pop_port = new QHBoxLayout;
  pop_port->addWidget(edtPopPort_);
  pop_port->addWidget(chkPopSsl_);
  grid->addLayout(pop_port, row++, 3);
  grid->addWidget(new QLabel(QStringLiteral("SMTP"), required), row++, 0);
  grid->addWidget(new QLabel(QStringLiteral("送信サーバ"), required), row, 0);
  grid->addWidget(edtSmtp_, row, 1);
  grid->addWidget(new QLabel(QStringLiteral("ポート"), required), row, 2);
  auto* smtp_port = new QHBoxLayout;
  smtp_port->addWidget(edtSmtpPort_);
  smtp_port->addWidget(chkSmtpSsl_);
  grid->addLayout(smtp_port, row++, 3);
  grid->addWidget(new QLabel(QStringLiteral("返信記号"), required), row, 0);
  grid->addWidget(edtReplyMark_, row++, 1);
  grid->addWidget(new QLabel(QStringLiteral("ユーザ名(ID)"), required), row, 0);
  grid->addWidget(edtUser_, row++, 1, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("パスワード"), required), row, 0);
  grid->addWidget(edtPassword_, row++, 1, 1, 3);

  auto* right = new QVBoxLayout;
  right->addWidget(new QLabel(QStringLiteral("署名"), this));
  right->addWidget(memSignature_, 1);
  right->addWidget(btnDate);
  right->addWidget(chkDelete_);

  auto* left = new QVBoxLayout;
  left->addLayout(top);
  left->addWidget(required);
  left->addStretch();
  auto* middle = new QHBoxLayout;
  middle->addLayout(left, 3);
  middle->addLayout(right, 2);

  auto* note = new QLabel(QStringLiteral("表示されているアカウントでメールを送受信します。"), this);
  note->setStyleSheet(QStringLiteral("color: blue;"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* b : {btnAdd_, btnDelete_, btnSave_, btnClose_}) buttons->addWidget(b);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(middle);
  layout->addWidget(note);
  layout->addLayout(buttons);
  resize(720, 440);

  // Tab order: name, own address, POP3 server, SMTP server, user, password, signature, buttons.
  QWidget* order[] = {edtAccount_, edtAddress_, edtPop_,   edtSmtp_,   edtUser_, edtPassword_,
                      memSignature_, btnAdd_,   btnDelete_, btnSave_, btnClose_};
  for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  // Every button runs inside the core's error path: a file that cannot be written is shown,
  // it never escapes the slot.
  auto guarded = [this](void (TfrmAccount::*slot)()) {
    return [this, slot] {
      DialogOwnerScope owner(this);
      RunShowingErrors(*ui_, [&] { (this->*slot)(); });
    };
  };
  connect(btnPrev_, &QPushButton::clicked, this, guarded(&TfrmAccount::PreviousClick));
  connect(btnNext_, &QPushButton::clicked, this, guarded(&TfrmAccount::NextClick));
  connect(btnAdd_, &QPushButton::clicked, this, guarded(&TfrmAccount::AddClick));
  connect(btnDelete_, &QPushButton::clicked, this, guarded(&TfrmAccount::DeleteClick));
  connect(btnSave_, &QPushButton::clicked, this, guarded(&TfrmAccount::SaveClick));
  connect(btnClose_, &QPushButton::clicked, this, guarded(&TfrmAccount::CloseClick));
  connect(btnDate, &QPushButton::clicked, this, &TfrmAccount::DateFieldClick);
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, guarded(&TfrmAccount::CloseClick));
}

void TfrmAccount::Attach(AccountCommands& accounts, UiPort& ui) {
  accounts_ = &accounts;
  ui_ = &ui;
  accounts_->Editor().Open();
  LoadForm();
}

void TfrmAccount::ShowAccount() {
  if (accounts_) accounts_->Editor().ShowInUse();
  LoadForm();
  PlaceOnScreen(this);
  show();
  raise();
  activateWindow();
}

void TfrmAccount::LoadForm() {
  if (!accounts_) return;
  const AccountEditor& editor = accounts_->Editor();
  const AccountForm& f = editor.form();
  edtAccount_->setText(ToQ(f.name));
  edtAddress_->setText(ToQ(f.address));
  edtPop_->setText(ToQ(f.pop_host));
  edtPopPort_->setText(ToQ(f.pop_port));
  edtSmtp_->setText(ToQ(f.smtp_host));
  edtSmtpPort_->setText(ToQ(f.smtp_port));
  edtReplyMark_->setText(ToQ(f.reply_mark));
  edtUser_->setText(ToQ(f.user));
  edtPassword_->setText(ToQ(f.password));
  chkPopSsl_->setChecked(f.pop_ssl);
  chkSmtpSsl_->setChecked(f.smtp_ssl);
  chkDelete_->setChecked(f.delete_after_receive);
  memSignature_->setPlainText(Lines(f.signature));
  lblNumber_->setText(QString::number(editor.shown_number()));
  btnAdd_->setText(editor.add_mode() ? QStringLiteral("中止") : QStringLiteral("追加"));
  btnAdd_->setVisible(editor.add_button_visible());
  // The arrows stop at the first and the last account; "削除" needs a saved one.
  const size_t position = editor.position();
  btnPrev_->setEnabled(position >= 2);
  btnNext_->setEnabled(position < editor.record_count());
  btnDelete_->setEnabled(editor.CanDelete());
}

void TfrmAccount::StoreForm() {
  if (!accounts_) return;
  AccountForm& f = accounts_->Editor().form();
  f.name = FromQ(edtAccount_->text());
  f.address = FromQ(edtAddress_->text());
  f.pop_host = FromQ(edtPop_->text());
  f.pop_port = FromQ(edtPopPort_->text());
  f.smtp_host = FromQ(edtSmtp_->text());
  f.smtp_port = FromQ(edtSmtpPort_->text());
  f.reply_mark = FromQ(edtReplyMark_->text());
  f.user = FromQ(edtUser_->text());
  f.password = FromQ(edtPassword_->text());
  f.pop_ssl = chkPopSsl_->isChecked();
  f.smtp_ssl = chkSmtpSsl_->isChecked();
  f.delete_after_receive = chkDelete_->isChecked();
  const QString signature = memSignature_->toPlainText();
  f.signature = signature.isEmpty() ? std::vector<std::string>{} : SplitLines(FromQ(signature));
}

void TfrmAccount::Show(const std::string& message) {
  if (!message.empty()) ui_->MessageBox(message);
}

void TfrmAccount::PreviousClick() {
  StoreForm();
  accounts_->Editor().Previous();
  LoadForm();
}

void TfrmAccount::NextClick() {
  StoreForm();
  accounts_->Editor().Next();
  LoadForm();
}

void TfrmAccount::AddClick() {
  StoreForm();
  auto outcome = accounts_->Editor().AddOrCancel();
  LoadForm();
  Show(outcome.message);
}

void TfrmAccount::DeleteClick() {
  if (!accounts_->Editor().CanDelete()) return;
  if (ui_->MessageBox(AccountEditor::DeleteQuestion(), MsgIcon::Warning, MsgButtons::YesNoCancel) != MsgAnswer::Yes)
    return;
  StoreForm();
  accounts_->Editor().Delete();
  LoadForm();
}

void TfrmAccount::SaveClick() {
  StoreForm();
  auto outcome = accounts_->Editor().Save();
  LoadForm();
  Show(outcome.message);
}

void TfrmAccount::CloseClick() {
  StoreForm();
  auto outcome = accounts_->Editor().Close();
  if (!outcome.ok) {
    Show(outcome.message);
    return;
  }
  hide();
}

void TfrmAccount::DateFieldClick() { memSignature_->insertPlainText(QStringLiteral("%SSdate%")); }

}  // namespace plumex

#include "ui/frm_account.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QScrollArea>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "platform/text_file.h"
#include "port/ui_port.h"
#include "protocol/connection.h"
#include "shell/account_commands.h"
#include "ui/place_on_screen.h"
#include "ui/qt_text.h"
#include "ui/run_guarded.h"

namespace plumex {
namespace {

// The entries of the log-in box: method and provider as the record writes them.
struct LoginChoice {
  const char* label;
  const char* method;
  const char* provider;
};
constexpr LoginChoice kLoginChoices[] = {{"パスワード", "", ""},
                                         {"OAuth2 (Microsoft)", "oauth2", "microsoft"},
                                         {"OAuth2 (Google)", "oauth2", "google"},
                                         {"OAuth2 (その他)", "oauth2", "custom"}};

int LoginIndex(const std::string& method, const std::string& provider) {
  if (method != "oauth2") return 0;
  for (int i = 1; i < static_cast<int>(std::size(kLoginChoices)); ++i)
    if (provider == kLoginChoices[i].provider) return i;
  return 3;
}

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
  cmbLogin_ = new QComboBox(this);
  cmbLogin_->setObjectName(QStringLiteral("cmbLogin"));
  for (const auto& choice : kLoginChoices) cmbLogin_->addItem(QString::fromUtf8(choice.label));
  edtTenant_ = edit("edtTenant");
  edtTenant_->setPlaceholderText(QStringLiteral("common"));
  edtClientId_ = edit("edtClientId");
  edtAuthorizeUrl_ = edit("edtAuthorizeUrl");
  edtTokenUrl_ = edit("edtTokenUrl");
  edtScopes_ = edit("edtScopes");
  edtClientSecret_ = edit("edtClientSecret");
  edtClientSecret_->setPlaceholderText(QStringLiteral("(必要なときだけ)"));
  btnSignIn_ = new QPushButton(QStringLiteral("サインイン"), this);
  btnMicrosoft365_ = new QPushButton(QStringLiteral("Microsoft 365の設定"), this);
  lblLoginNotice_ = new QLabel(this);
  lblLoginNotice_->setWordWrap(true);
  lblLoginNotice_->setStyleSheet(QStringLiteral("color: #a05000;"));

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

  // The log-in: the method, the provider's fields, and "サインイン".
  auto* login = new QGroupBox(QStringLiteral("ログイン方式"), this);
  auto* login_form = new QFormLayout(login);
  auto* method_row = new QHBoxLayout;
  method_row->addWidget(cmbLogin_, 1);
  method_row->addWidget(btnSignIn_);
  method_row->addWidget(btnMicrosoft365_);
  login_form->addRow(QStringLiteral("方式"), method_row);
  tenantField_ = new QWidget(login);
  auto* tenant_row = new QHBoxLayout(tenantField_);
  tenant_row->setContentsMargins(0, 0, 0, 0);
  tenant_row->addWidget(new QLabel(QStringLiteral("テナント"), tenantField_));
  tenant_row->addWidget(edtTenant_);
  login_form->addRow(tenantField_);
  login_form->addRow(QStringLiteral("クライアントID"), edtClientId_);
  login_form->addRow(QStringLiteral("クライアントシークレット"), edtClientSecret_);
  customFields_ = new QWidget(login);
  auto* custom = new QFormLayout(customFields_);
  custom->setContentsMargins(0, 0, 0, 0);
  custom->addRow(QStringLiteral("認可URL"), edtAuthorizeUrl_);
  custom->addRow(QStringLiteral("トークンURL"), edtTokenUrl_);
  custom->addRow(QStringLiteral("スコープ"), edtScopes_);
  login_form->addRow(customFields_);
  login_form->addRow(lblLoginNotice_);

  auto* right = new QVBoxLayout;
  right->addWidget(new QLabel(QStringLiteral("署名"), this));
  right->addWidget(memSignature_, 1);
  right->addWidget(btnDate);
  right->addWidget(chkDelete_);

  // The fields scroll when the screen is too low for them all, so the buttons stay on screen.
  auto* fields = new QWidget;
  auto* left = new QVBoxLayout(fields);
  left->setContentsMargins(0, 0, 0, 0);
  left->addLayout(top);
  left->addWidget(required);
  left->addWidget(login);
  left->addStretch();
  auto* scroll = new QScrollArea(this);
  scroll->setWidget(fields);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  auto* middle = new QHBoxLayout;
  middle->addWidget(scroll, 3);
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
  resize(760, 540);

  // Tab order: name, own address, POP3 server, SMTP server, user, password, signature, buttons.
  QWidget* order[] = {edtAccount_, edtAddress_, edtPop_,   edtSmtp_,   edtUser_, edtPassword_,
                      memSignature_, btnAdd_,   btnDelete_, btnSave_, btnClose_};
  for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  // Every button runs inside the core's error path: a file that cannot be written is shown,
  // it never escapes the slot.
  auto guarded = [this](void (TfrmAccount::*slot)()) {
    return [this, slot] {
      RunGuarded(this, *ui_, [&] { (this->*slot)(); });
    };
  };
  connect(btnPrev_, &QPushButton::clicked, this, guarded(&TfrmAccount::PreviousClick));
  connect(btnNext_, &QPushButton::clicked, this, guarded(&TfrmAccount::NextClick));
  connect(btnAdd_, &QPushButton::clicked, this, guarded(&TfrmAccount::AddClick));
  connect(btnDelete_, &QPushButton::clicked, this, guarded(&TfrmAccount::DeleteClick));
  connect(btnSave_, &QPushButton::clicked, this, guarded(&TfrmAccount::SaveClick));
  connect(btnClose_, &QPushButton::clicked, this, guarded(&TfrmAccount::CloseClick));
  connect(btnDate, &QPushButton::clicked, this, &TfrmAccount::DateFieldClick);
  connect(btnSignIn_, &QPushButton::clicked, this, guarded(&TfrmAccount::SignInClick));
  connect(btnMicrosoft365_, &QPushButton::clicked, this, guarded(&TfrmAccount::Microsoft365Click));
  connect(edtAddress_, &QLineEdit::editingFinished, this, guarded(&TfrmAccount::AddressEdited));
  connect(cmbLogin_, &QComboBox::currentIndexChanged, this, [this] { ShowLoginFields(); });
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
  cmbLogin_->setCurrentIndex(LoginIndex(f.login_method, f.oauth_provider));
  edtTenant_->setText(ToQ(f.oauth_tenant));
  edtClientId_->setText(ToQ(f.oauth_client_id));
  edtAuthorizeUrl_->setText(ToQ(f.oauth_authorize_url));
  edtTokenUrl_->setText(ToQ(f.oauth_token_url));
  edtScopes_->setText(ToQ(f.oauth_scopes));
  edtClientSecret_->setText(ToQ(f.oauth_client_secret));
  // A password the keyring keeps is not shown; typing one replaces it.
  edtPassword_->setPlaceholderText(f.secret_place == "keyring" && !f.UsesOAuth2()
                                       ? QStringLiteral("(キーリングに保存済み)")
                                       : QString());
  ShowLoginFields();
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
  const LoginChoice& choice = kLoginChoices[std::max(0, cmbLogin_->currentIndex())];
  f.login_method = choice.method;
  f.oauth_provider = choice.provider;
  f.oauth_tenant = FromQ(edtTenant_->text().trimmed());
  f.oauth_client_id = FromQ(edtClientId_->text().trimmed());
  f.oauth_authorize_url = FromQ(edtAuthorizeUrl_->text().trimmed());
  f.oauth_token_url = FromQ(edtTokenUrl_->text().trimmed());
  f.oauth_scopes = FromQ(edtScopes_->text().trimmed());
  f.oauth_client_secret = FromQ(edtClientSecret_->text().trimmed());
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
  ShowOutcome(outcome.message, accounts_->Editor().notice());
}

// The notice (said once: no keyring, no TLS) comes first, the outcome itself last.
void TfrmAccount::ShowOutcome(const std::string& message, const std::string& notice) {
  if (!notice.empty()) ui_->MessageBox(notice, MsgIcon::Information, MsgButtons::Ok);
  Show(message);
}

void TfrmAccount::ShowLoginFields() {
  const int index = cmbLogin_->currentIndex();
  const bool oauth = index > 0;
  tenantField_->setVisible(index == 1);
  edtClientId_->setEnabled(oauth);
  edtClientSecret_->setEnabled(oauth);
  customFields_->setVisible(index == 3);
  btnSignIn_->setEnabled(oauth);
  edtPassword_->setEnabled(!oauth);
}

void TfrmAccount::SignInClick() {
  StoreForm();
  ConnectionOptions options;
  options.pump = [this] { ui_->Pump(); };
  btnSignIn_->setEnabled(false);
  auto outcome = accounts_->Editor().SignIn(options, [this](const std::string& url) { ui_->OpenUrl(url); });
  btnSignIn_->setEnabled(true);
  LoadForm();
  ShowOutcome(outcome.message, accounts_->Editor().notice());
}

void TfrmAccount::AddressEdited() {
  if (!accounts_) return;
  StoreForm();
  AccountForm& f = accounts_->Editor().form();
  // Filled in for an account whose servers are not set yet; afterwards every field is the user's.
  if (!f.pop_host.empty() || !f.smtp_host.empty()) return;
  std::string notice;
  if (!accounts_->Editor().ApplyPreset(false, &notice)) return;
  LoadForm();
  lblLoginNotice_->setText(ToQ(notice));
}

void TfrmAccount::Microsoft365Click() {
  StoreForm();
  std::string notice;
  accounts_->Editor().ApplyPreset(true, &notice);
  LoadForm();
  lblLoginNotice_->setText(ToQ(notice));
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

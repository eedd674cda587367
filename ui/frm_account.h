// TfrmAccount ("アカウント設定"): created hidden at start-up, shown modally on demand. It mirrors
// the account editor's fields into its controls and back; the behaviour lives in
// settings/account_editor.h.
#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace plumex {

class AccountCommands;
class UiPort;

class TfrmAccount : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmAccount(QWidget* parent = nullptr);

  // Connects the window to the account in use and runs its opening (LoadAccount of the
  // record at AccountPosition).
  void Attach(AccountCommands& accounts, UiPort& ui);
  // Shows the window modally with the account in use.
  void ShowAccount();

  QLineEdit* edtAccount() const { return edtAccount_; }
  QLineEdit* edtAddress() const { return edtAddress_; }
  QLineEdit* edtPop() const { return edtPop_; }
  QLineEdit* edtPopPort() const { return edtPopPort_; }
  QLineEdit* edtSmtp() const { return edtSmtp_; }
  QLineEdit* edtSmtpPort() const { return edtSmtpPort_; }
  QLineEdit* edtReplyMark() const { return edtReplyMark_; }
  QLineEdit* edtUser() const { return edtUser_; }
  QLineEdit* edtPassword() const { return edtPassword_; }
  QCheckBox* chkPopSsl() const { return chkPopSsl_; }
  QCheckBox* chkSmtpSsl() const { return chkSmtpSsl_; }
  QCheckBox* chkDelete() const { return chkDelete_; }
  QPlainTextEdit* memSignature() const { return memSignature_; }
  QPushButton* btnAdd() const { return btnAdd_; }
  QPushButton* btnDelete() const { return btnDelete_; }
  QPushButton* btnSave() const { return btnSave_; }
  QPushButton* btnClose() const { return btnClose_; }
  QPushButton* btnPrev() const { return btnPrev_; }
  QPushButton* btnNext() const { return btnNext_; }
  QLabel* lblNumber() const { return lblNumber_; }
  // The log-in: method ("パスワード", "OAuth2 (Microsoft)", "OAuth2 (Google)", "OAuth2 (その他)"),
  // the provider's fields, "サインイン", and the notice of a known provider.
  QComboBox* cmbLogin() const { return cmbLogin_; }
  QLineEdit* edtTenant() const { return edtTenant_; }
  QLineEdit* edtClientId() const { return edtClientId_; }
  QLineEdit* edtAuthorizeUrl() const { return edtAuthorizeUrl_; }
  QLineEdit* edtTokenUrl() const { return edtTokenUrl_; }
  QLineEdit* edtScopes() const { return edtScopes_; }
  QLineEdit* edtClientSecret() const { return edtClientSecret_; }
  QPushButton* btnSignIn() const { return btnSignIn_; }
  QPushButton* btnMicrosoft365() const { return btnMicrosoft365_; }
  QLabel* lblLoginNotice() const { return lblLoginNotice_; }

 private:
  void LoadForm();   // editor -> controls
  void StoreForm();  // controls -> editor
  void Show(const std::string& message);
  void PreviousClick();
  void NextClick();
  void AddClick();
  void DeleteClick();
  void SaveClick();
  void CloseClick();
  void DateFieldClick();
  void SignInClick();
  void AddressEdited();
  void Microsoft365Click();
  void ShowLoginFields();  // the provider's fields for the method chosen
  void ShowOutcome(const std::string& message, const std::string& notice);

  AccountCommands* accounts_ = nullptr;
  UiPort* ui_ = nullptr;
  QLineEdit* edtAccount_ = nullptr;
  QLineEdit* edtAddress_ = nullptr;
  QLineEdit* edtPop_ = nullptr;
  QLineEdit* edtPopPort_ = nullptr;
  QLineEdit* edtSmtp_ = nullptr;
  QLineEdit* edtSmtpPort_ = nullptr;
  QLineEdit* edtReplyMark_ = nullptr;
  QLineEdit* edtUser_ = nullptr;
  QLineEdit* edtPassword_ = nullptr;
  QCheckBox* chkPopSsl_ = nullptr;
  QCheckBox* chkSmtpSsl_ = nullptr;
  QCheckBox* chkDelete_ = nullptr;
  QPlainTextEdit* memSignature_ = nullptr;
  QPushButton* btnAdd_ = nullptr;
  QPushButton* btnDelete_ = nullptr;
  QPushButton* btnSave_ = nullptr;
  QPushButton* btnClose_ = nullptr;
  QPushButton* btnPrev_ = nullptr;
  QPushButton* btnNext_ = nullptr;
  QLabel* lblNumber_ = nullptr;
  QComboBox* cmbLogin_ = nullptr;
  QLineEdit* edtTenant_ = nullptr;
  QLineEdit* edtClientId_ = nullptr;
  QLineEdit* edtAuthorizeUrl_ = nullptr;
  QLineEdit* edtTokenUrl_ = nullptr;
  QLineEdit* edtScopes_ = nullptr;
  QLineEdit* edtClientSecret_ = nullptr;
  QPushButton* btnSignIn_ = nullptr;
  QPushButton* btnMicrosoft365_ = nullptr;
  QLabel* lblLoginNotice_ = nullptr;
  QWidget* customFields_ = nullptr;
  QWidget* tenantField_ = nullptr;
};

}  // namespace plumex

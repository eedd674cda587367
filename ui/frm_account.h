// TfrmAccount ("アカウント設定"): created hidden at start-up, shown modally on demand. It mirrors
// the account editor's fields into its controls and back; the behaviour lives in
// settings/account_editor.h.
#pragma once

#include <QWidget>

class QCheckBox;
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
};

}  // namespace plumex

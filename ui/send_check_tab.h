// The "送信前確認" tab of the settings dialog: the switch, the number of outside addresses in
// To/Cc above which the check warns, and the domains counted as own besides the accounts'.
// It reads the settings file when shown and writes it on "保存".
#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace plumex {

class AppCore;

class SendCheckTab : public QWidget {
  Q_OBJECT
 public:
  SendCheckTab(AppCore& core, QWidget* parent = nullptr);

  void Load();
  void Save();

  QCheckBox* chkSendCheck() const { return chkOn_; }
  QSpinBox* spnExternalLimit() const { return spnLimit_; }
  QLineEdit* edtOwnDomains() const { return edtDomains_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  AppCore& core_;
  QCheckBox* chkOn_ = nullptr;
  QSpinBox* spnLimit_ = nullptr;
  QLineEdit* edtDomains_ = nullptr;
  QLabel* lblAccountDomains_ = nullptr;
};

}  // namespace plumex

// TfrmSet ("設定"): created hidden at start-up, shown modally on demand with four tabs: the
// receive rules ("メッセージルール"), the new-mail check ("新着チェック"), the deletion-candidate
// servers ("削除候補") and the send rules ("送信ﾙｰﾙ"). Its lists show the live lists of the
// application core; the behaviour lives in shell/settings_commands.h.
#pragma once

#include <QWidget>
#include <optional>
#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeView;

namespace plumex {

class AppCore;
class TfrmAddress;
class FolderTreeModel;
class SettingsCommands;

class TfrmSet : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmSet(QWidget* parent = nullptr);
  ~TfrmSet() override;

  // Connects the window to the core's settings (after the core's start) and renders them.
  void Attach(AppCore& core);
  // "...アドレス帳参照" picks the forward address there.
  void SetAddressWindow(TfrmAddress* w) { address_window_ = w; }
  // "メッセージルール": the first tab, prepared from the main window's tree and selection.
  void ShowRules();
  // "新着チェック": the second tab, the account box refilled from the account list.
  void ShowNewCheck();

  QTabWidget* PageControl() const { return tabs_; }
  // Receive rules tab.
  QListWidget* lstRule() const { return lstRule_; }
  QComboBox* cmbField() const { return cmbField_; }
  QComboBox* cmbKeyword() const { return cmbKeyword_; }
  QRadioButton* rbMove() const { return rbMove_; }
  QRadioButton* rbReject() const { return rbReject_; }
  QTreeView* RuleTree() const { return ruleTree_; }
  QPushButton* btnRuleAdd() const { return btnRuleAdd_; }
  QPushButton* btnRuleEdit() const { return btnRuleEdit_; }
  QPushButton* btnRuleDelete() const { return btnRuleDelete_; }
  QPushButton* btnRuleRegister() const { return btnRuleRegister_; }
  QPushButton* btnApply() const { return btnApply_; }
  // New-mail tab.
  QComboBox* CmbInterval() const { return CmbInterval_; }
  QRadioButton* RadioButton5() const { return RadioButton5_; }
  QRadioButton* RadioButton4() const { return RadioButton4_; }
  QComboBox* CmbReceiveMailAccount() const { return CmbReceiveMailAccount_; }
  QCheckBox* ChkForward() const { return ChkForward_; }
  QLineEdit* Edit1() const { return Edit1_; }
  QCheckBox* chkNew() const { return chkNew_; }
  QPushButton* btnSave() const { return btnSave_; }
  QPushButton* btnRun() const { return btnRun_; }
  // Deletion candidates tab.
  QListWidget* lstServer() const { return lstServer_; }
  // Send rules tab.
  QListWidget* lstSendRule() const { return lstSendRule_; }
  QComboBox* cmbKind() const { return cmbKind_; }
  QLineEdit* edtPattern() const { return edtPattern_; }
  QTreeView* SendRuleTree() const { return sendTree_; }

 signals:
  // "実行" set the start flag and closed the dialog: the new-mail check is to start.
  void newCheckRun();

 private:
  QWidget* BuildRulesTab();
  QWidget* BuildNewCheckTab();
  QWidget* BuildCandidatesTab();
  QWidget* BuildSendRulesTab();
  QPushButton* Button(const QString& caption, const char* name, void (TfrmSet::*slot)());
  // A command of the dialog, through the one slot wrapper (ui/run_guarded.h).
  void Run(const std::function<void()>& command);

  void LoadLists();
  void LoadNewCheck();   // live settings -> controls
  void StoreNewCheck();  // controls -> live settings
  void UpdateButtons();
  std::optional<std::string> ReceiveLine() const;
  std::optional<std::string> SendLine() const;

  void RuleAddClick();
  void RuleEditClick();
  void RuleDeleteClick();
  void RuleRegisterClick();
  void RuleSelected();
  void ApplyClick();
  void SaveClick();
  void RunClick();
  void NewCheckCloseClick();
  void ServerDeleteClick();
  void ServerRegisterClick();
  void SendRuleAddClick();
  void SendRuleEditClick();
  void SendRuleDeleteClick();
  void SendRuleRegisterClick();
  void SendRuleSelected();
  void FocusProblem(int focus);

  AppCore* core_ = nullptr;
  TfrmAddress* address_window_ = nullptr;
  SettingsCommands* settings_ = nullptr;
  FolderTreeModel* ruleTreeModel_ = nullptr;
  FolderTreeModel* sendTreeModel_ = nullptr;
  bool loading_ = false;

  QTabWidget* tabs_ = nullptr;
  QListWidget* lstRule_ = nullptr;
  QComboBox* cmbField_ = nullptr;
  QComboBox* cmbKeyword_ = nullptr;
  QRadioButton* rbMove_ = nullptr;
  QRadioButton* rbReject_ = nullptr;
  QTreeView* ruleTree_ = nullptr;
  QPushButton* btnRuleAdd_ = nullptr;
  QPushButton* btnRuleEdit_ = nullptr;
  QPushButton* btnRuleDelete_ = nullptr;
  QPushButton* btnRuleRegister_ = nullptr;
  QPushButton* btnApply_ = nullptr;
  QComboBox* CmbInterval_ = nullptr;
  QRadioButton* RadioButton5_ = nullptr;
  QRadioButton* RadioButton4_ = nullptr;
  QComboBox* CmbReceiveMailAccount_ = nullptr;
  QCheckBox* ChkForward_ = nullptr;
  QLineEdit* Edit1_ = nullptr;
  QCheckBox* chkNew_ = nullptr;
  QPushButton* btnSave_ = nullptr;
  QPushButton* btnRun_ = nullptr;
  QListWidget* lstServer_ = nullptr;
  QPushButton* btnServerDelete_ = nullptr;
  QPushButton* btnServerRegister_ = nullptr;
  QPushButton* btnSendRegister_ = nullptr;
  QListWidget* lstSendRule_ = nullptr;
  QComboBox* cmbKind_ = nullptr;
  QLineEdit* edtPattern_ = nullptr;
  QTreeView* sendTree_ = nullptr;
  QPushButton* btnSendAdd_ = nullptr;
  QPushButton* btnSendEdit_ = nullptr;
  QPushButton* btnSendDelete_ = nullptr;
};

}  // namespace plumex

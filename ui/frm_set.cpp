#include "ui/frm_set.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include "text/ascii_case.h"
#include "text/sjis_text.h"
#include "settings/account_list.h"
#include "shell/app_core.h"
#include "shell/settings_commands.h"
#include "store/tab_line.h"
#include "ui/close_on_escape.h"
#include "ui/folder_tree_model.h"
#include "ui/frm_address.h"
#include "ui/qt_text.h"
#include "ui/send_check_tab.h"
#include "ui/run_guarded.h"

namespace plumex {
namespace {

std::optional<size_t> ChosenRow(const QListWidget* list) {
  const int row = list->currentRow();
  if (row < 0 || !list->item(row)->isSelected()) return std::nullopt;
  return static_cast<size_t>(row);
}

void Fill(QListWidget* list, const std::vector<std::string>& lines, std::optional<size_t> keep = std::nullopt) {
  const QSignalBlocker block(list);
  list->clear();
  for (const auto& line : lines) list->addItem(ToQ(line));
  if (keep && *keep < lines.size()) list->setCurrentRow(static_cast<int>(*keep));
  else list->setCurrentRow(-1);
}

// Whether "追加" (no row) or "編集" (the chosen row) would change the list.
bool WouldChange(const std::vector<std::string>& lines, const std::string& line, std::optional<size_t> row) {
  if (row && *row < lines.size()) return lines[*row] != line;
  for (const auto& existing : lines)
    if (EqualIgnoringCase(existing, line)) return false;
  return true;
}

QTreeView* RuleTreeView(QWidget* parent, FolderTreeModel* model, const char* name) {
  auto* view = new QTreeView(parent);
  view->setObjectName(QString::fromUtf8(name));
  view->setModel(model);
  view->setHeaderHidden(true);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  return view;
}

const FolderNode* ChosenFolder(const QTreeView* view, const FolderTreeModel* model) {
  const QModelIndex current = view->currentIndex();
  if (!current.isValid() || !view->selectionModel()->isSelected(current)) return nullptr;
  return model->NodeOf(current);
}

void ChooseFolder(QTreeView* view, const FolderTreeModel* model, const FolderNode* node) {
  if (!node) return;
  const QModelIndex index = model->IndexOf(node);
  view->setCurrentIndex(index);
  view->scrollTo(index);
  view->setFocus();
}

}  // namespace

TfrmSet::TfrmSet(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmSet"));
  setWindowTitle(QStringLiteral("設定"));
  setWindowModality(Qt::ApplicationModal);
  CloseOnEscape(this);
}

TfrmSet::~TfrmSet() {
  delete ruleTreeModel_;
  delete sendTreeModel_;
}

void TfrmSet::Run(const std::function<void()>& command) {
  if (core_) RunGuarded(this, core_->Ui(), command);
}

QPushButton* TfrmSet::Button(const QString& caption, const char* name, void (TfrmSet::*slot)()) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(QString::fromUtf8(name));
  connect(button, &QPushButton::clicked, this, [this, slot] { Run([&] { (this->*slot)(); }); });
  return button;
}

void TfrmSet::Attach(AppCore& core) {
  core_ = &core;
  settings_ = &core.Settings();
  ruleTreeModel_ = new FolderTreeModel(settings_->ReceiveRuleTree(), true);
  sendTreeModel_ = new FolderTreeModel(settings_->SendRuleTree(), false);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("PageControl1"));
  tabs_->addTab(BuildRulesTab(), QStringLiteral("メッセージルール"));
  tabs_->addTab(BuildNewCheckTab(), QStringLiteral("新着チェック"));
  tabs_->addTab(BuildCandidatesTab(), QStringLiteral("削除候補"));
  tabs_->addTab(BuildSendRulesTab(), QStringLiteral("送信ﾙｰﾙ"));
  tabs_->addTab(new SendCheckTab(core, tabs_), QStringLiteral("送信前確認"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  connect(tabs_, &QTabWidget::currentChanged, this, [this] { UpdateButtons(); });
  ruleTree_->expandAll();
  LoadLists();
  LoadNewCheck();
  resize(640, 520);
}

QWidget* TfrmSet::BuildRulesTab() {
  auto* page = new QWidget(this);
  lstRule_ = new QListWidget(page);
  lstRule_->setObjectName(QStringLiteral("lstRule"));
  cmbField_ = new QComboBox(page);
  cmbField_->setObjectName(QStringLiteral("cmbField"));
  cmbField_->addItems({QStringLiteral("差出人"), QStringLiteral("件名")});
  cmbKeyword_ = new QComboBox(page);
  cmbKeyword_->setObjectName(QStringLiteral("cmbKeyword"));
  cmbKeyword_->setEditable(true);
  cmbKeyword_->setInsertPolicy(QComboBox::NoInsert);
  rbMove_ = new QRadioButton(QStringLiteral("へ移動"), page);
  rbReject_ = new QRadioButton(QStringLiteral("削除(受信拒否)"), page);
  auto* choice = new QButtonGroup(page);
  choice->addButton(rbMove_);
  choice->addButton(rbReject_);
  rbMove_->setChecked(true);
  ruleTree_ = RuleTreeView(page, ruleTreeModel_, "TreeView1");
  btnRuleAdd_ = Button(QStringLiteral("追加"), "btnRuleAdd", &TfrmSet::RuleAddClick);
  btnRuleEdit_ = Button(QStringLiteral("編集"), "btnRuleEdit", &TfrmSet::RuleEditClick);
  btnRuleDelete_ = Button(QStringLiteral("削除"), "btnRuleDelete", &TfrmSet::RuleDeleteClick);
  btnRuleRegister_ = Button(QStringLiteral("登録"), "btnRuleRegister", &TfrmSet::RuleRegisterClick);
  btnApply_ = Button(QStringLiteral("現在のフォルダに適用"), "btnApply", &TfrmSet::ApplyClick);
  QPushButton* close = Button(QStringLiteral("閉じる"), "btnRuleClose", &TfrmSet::hide);

  auto* layout = new QGridLayout(page);
  auto* input = new QHBoxLayout;
  input->addWidget(cmbField_);
  input->addWidget(new QLabel(QStringLiteral("に"), page));
  input->addWidget(cmbKeyword_, 1);
  input->addWidget(new QLabel(QStringLiteral("を含むメールを"), page));
  layout->addLayout(input, 0, 0, 1, 2);
  auto* target = new QVBoxLayout;
  target->addWidget(ruleTree_, 1);
  auto* radios = new QHBoxLayout;
  radios->addWidget(rbMove_);
  radios->addWidget(rbReject_);
  target->addLayout(radios);
  layout->addLayout(target, 1, 0);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {btnRuleAdd_, btnRuleEdit_, btnRuleDelete_, btnRuleRegister_, btnApply_, close})
    buttons->addWidget(b);
  buttons->addStretch();
  layout->addLayout(buttons, 1, 1, 3, 1);
  layout->addWidget(new QLabel(QStringLiteral("●メッセージルールの内容"), page), 2, 0);
  layout->addWidget(lstRule_, 3, 0);

  // "差出人" goes with the sender suggestion, "件名" with the subject.
  connect(cmbField_, &QComboBox::activated, this, [this](int i) {
    if (i < cmbKeyword_->count()) cmbKeyword_->setCurrentIndex(i);
  });
  connect(cmbKeyword_, &QComboBox::activated, this, [this](int i) {
    if (i < cmbField_->count()) cmbField_->setCurrentIndex(i);
  });
  connect(lstRule_, &QListWidget::itemClicked, this, [this] { Run([&] { RuleSelected(); }); });
  connect(lstRule_, &QListWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
  connect(cmbField_, &QComboBox::currentIndexChanged, this, [this] { UpdateButtons(); });
  connect(cmbKeyword_, &QComboBox::editTextChanged, this, [this] { UpdateButtons(); });
  connect(rbMove_, &QRadioButton::toggled, this, [this] { UpdateButtons(); });
  connect(ruleTree_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateButtons(); });
  return page;
}

QWidget* TfrmSet::BuildNewCheckTab() {
  auto* page = new QWidget(this);
  CmbInterval_ = new QComboBox(page);
  CmbInterval_->setObjectName(QStringLiteral("CmbInterval"));
  CmbInterval_->setEditable(true);
  CmbInterval_->setInsertPolicy(QComboBox::NoInsert);
  for (const auto& choice : CheckIntervalChoices()) CmbInterval_->addItem(ToQ(choice));
  RadioButton5_ = new QRadioButton(
      QStringLiteral("新着は受信せず、基本情報のみ表示するだけ(すべてのメールアカウントをチェック)"), page);
  RadioButton5_->setObjectName(QStringLiteral("RadioButton5"));
  RadioButton4_ = new QRadioButton(page);
  RadioButton4_->setObjectName(QStringLiteral("RadioButton4"));
  auto* choice = new QButtonGroup(page);
  choice->addButton(RadioButton5_);
  choice->addButton(RadioButton4_);
  CmbReceiveMailAccount_ = new QComboBox(page);
  CmbReceiveMailAccount_->setObjectName(QStringLiteral("CmbReceiveMailAccount"));
  CmbReceiveMailAccount_->setEditable(true);
  CmbReceiveMailAccount_->setInsertPolicy(QComboBox::NoInsert);
  ChkForward_ = new QCheckBox(QStringLiteral("自動転送"), page);
  ChkForward_->setObjectName(QStringLiteral("ChkForward"));
  Edit1_ = new QLineEdit(page);
  Edit1_->setObjectName(QStringLiteral("Edit1"));
  Edit1_->setPlaceholderText(QStringLiteral("<転送希望メールアドレスを記述してください>"));
  auto* book = new QPushButton(QStringLiteral("...アドレス帳参照"), page);
  book->setObjectName(QStringLiteral("btnAddressBook"));
  // The forward address takes the picker's To list (joined with ","); the lists stay.
  connect(book, &QPushButton::clicked, this, [this] {
    if (!address_window_) return;
    address_window_->ShowPicker([this] { Edit1_->setText(ToQ(address_window_->Commands().JoinedTo())); });
  });
  chkNew_ = new QCheckBox(QStringLiteral("起動時に新着チェックをする"), page);
  chkNew_->setObjectName(QStringLiteral("chkNew"));
  btnSave_ = Button(QStringLiteral("保存"), "btnSave", &TfrmSet::SaveClick);
  btnRun_ = Button(QStringLiteral("実行"), "btnRun", &TfrmSet::RunClick);
  QPushButton* close = Button(QStringLiteral("閉じる"), "btnNewCheckClose", &TfrmSet::NewCheckCloseClick);

  auto* layout = new QVBoxLayout(page);
  auto* interval = new QHBoxLayout;
  interval->addWidget(CmbInterval_);
  interval->addWidget(new QLabel(QStringLiteral("秒間隔で新着メールを確認する"), page));
  interval->addStretch();
  layout->addLayout(interval);
  layout->addWidget(RadioButton5_);
  auto* all = new QHBoxLayout;
  all->addWidget(RadioButton4_);
  all->addWidget(CmbReceiveMailAccount_, 1);
  all->addWidget(new QLabel(QStringLiteral("宛にきたメールはすべて受信する"), page));
  layout->addLayout(all);
  layout->addWidget(ChkForward_);
  layout->addWidget(new QLabel(QStringLiteral("↓"), page));
  auto* forward = new QHBoxLayout;
  forward->addWidget(Edit1_, 1);
  forward->addWidget(new QLabel(QStringLiteral("へ転送する"), page));
  forward->addWidget(book);
  layout->addLayout(forward);
  layout->addWidget(chkNew_);
  layout->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* b : {btnSave_, btnRun_, close}) buttons->addWidget(b);
  layout->addLayout(buttons);

  // The controls are the live settings: every change goes to them at once.
  auto store = [this] {
    if (!loading_) StoreNewCheck();
  };
  connect(CmbInterval_, &QComboBox::editTextChanged, this, store);
  connect(RadioButton4_, &QRadioButton::toggled, this, store);
  connect(CmbReceiveMailAccount_, &QComboBox::editTextChanged, this, store);
  connect(ChkForward_, &QCheckBox::toggled, this, store);
  connect(Edit1_, &QLineEdit::textChanged, this, store);
  connect(chkNew_, &QCheckBox::toggled, this, store);
  return page;
}

QWidget* TfrmSet::BuildCandidatesTab() {
  auto* page = new QWidget(this);
  lstServer_ = new QListWidget(page);
  lstServer_->setObjectName(QStringLiteral("lstServer"));
  auto* explanation = new QLabel(QStringLiteral("「削除候補にする」としたときのメールのサーバを自動で追加登録します。\n"
                                                "メッセージルールの「削除」と異なり、受信時に削除はしません。"),
                                 page);
  explanation->setWordWrap(true);
  btnServerDelete_ = Button(QStringLiteral("削除"), "btnServerDelete", &TfrmSet::ServerDeleteClick);
  btnServerRegister_ = Button(QStringLiteral("登録"), "btnServerRegister", &TfrmSet::ServerRegisterClick);
  QPushButton* close = Button(QStringLiteral("閉じる"), "btnServerClose", &TfrmSet::hide);
  auto* layout = new QGridLayout(page);
  layout->addWidget(new QLabel(QStringLiteral("メールサーバ"), page), 0, 0);
  layout->addWidget(lstServer_, 1, 0);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {btnServerDelete_, btnServerRegister_, close}) buttons->addWidget(b);
  buttons->addStretch();
  layout->addLayout(buttons, 1, 1);
  layout->addWidget(explanation, 2, 0, 1, 2);
  connect(lstServer_, &QListWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
  return page;
}

QWidget* TfrmSet::BuildSendRulesTab() {
  auto* page = new QWidget(this);
  lstSendRule_ = new QListWidget(page);
  lstSendRule_->setObjectName(QStringLiteral("lstSendRule"));
  cmbKind_ = new QComboBox(page);
  cmbKind_->setObjectName(QStringLiteral("cmbKind"));
  cmbKind_->addItems({QStringLiteral("あて名"), QStringLiteral("件名")});
  cmbKind_->setCurrentIndex(0);
  edtPattern_ = new QLineEdit(page);
  edtPattern_->setObjectName(QStringLiteral("edtPattern"));
  sendTree_ = RuleTreeView(page, sendTreeModel_, "TreeView2");
  btnSendAdd_ = Button(QStringLiteral("追加"), "btnSendAdd", &TfrmSet::SendRuleAddClick);
  btnSendEdit_ = Button(QStringLiteral("編集"), "btnSendEdit", &TfrmSet::SendRuleEditClick);
  btnSendDelete_ = Button(QStringLiteral("削除"), "btnSendDelete", &TfrmSet::SendRuleDeleteClick);
  btnSendRegister_ = Button(QStringLiteral("登録"), "btnSendRegister", &TfrmSet::SendRuleRegisterClick);
  QPushButton* close = Button(QStringLiteral("閉じる"), "btnSendClose", &TfrmSet::hide);
  // "現在のフォルダに適用" has no meaning for sent mail: it is not shown on this tab.

  auto* layout = new QGridLayout(page);
  auto* input = new QHBoxLayout;
  input->addWidget(cmbKind_);
  input->addWidget(new QLabel(QStringLiteral("に"), page));
  input->addWidget(edtPattern_, 1);
  input->addWidget(new QLabel(QStringLiteral("を含むメールを"), page));
  layout->addLayout(input, 0, 0, 1, 2);
  layout->addWidget(sendTree_, 1, 0);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {btnSendAdd_, btnSendEdit_, btnSendDelete_, btnSendRegister_, close}) buttons->addWidget(b);
  buttons->addStretch();
  layout->addLayout(buttons, 1, 1, 3, 1);
  layout->addWidget(new QLabel(QStringLiteral("●メッセージルールの内容"), page), 2, 0);
  layout->addWidget(lstSendRule_, 3, 0);

  connect(lstSendRule_, &QListWidget::itemClicked, this, [this] { Run([&] { SendRuleSelected(); }); });
  connect(lstSendRule_, &QListWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
  connect(cmbKind_, &QComboBox::currentIndexChanged, this, [this] { UpdateButtons(); });
  connect(edtPattern_, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
  connect(sendTree_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateButtons(); });
  return page;
}

void TfrmSet::LoadLists() {
  Fill(lstRule_, settings_->ReceiveRules().Lines(), ChosenRow(lstRule_));
  Fill(lstSendRule_, settings_->SendRules().Lines(), ChosenRow(lstSendRule_));
  Fill(lstServer_, settings_->Candidates().Hosts());
  UpdateButtons();
}

void TfrmSet::LoadNewCheck() {
  loading_ = true;
  const NewCheckSettings& s = settings_->NewCheck();
  CmbInterval_->setEditText(ToQ(s.interval));
  (s.receive_all ? RadioButton4_ : RadioButton5_)->setChecked(true);
  CmbReceiveMailAccount_->setEditText(ToQ(s.receive_account));
  ChkForward_->setChecked(s.forward);
  Edit1_->setText(ToQ(s.forward_address));
  chkNew_->setChecked(s.check_at_start);
  loading_ = false;
}

void TfrmSet::StoreNewCheck() {
  NewCheckSettings& s = settings_->NewCheck();
  s.interval = FromQ(CmbInterval_->currentText());
  s.receive_all = RadioButton4_->isChecked();
  s.receive_account = FromQ(CmbReceiveMailAccount_->currentText());
  s.forward = ChkForward_->isChecked();
  s.forward_address = FromQ(Edit1_->text());
  s.check_at_start = chkNew_->isChecked();
}

std::optional<std::string> TfrmSet::ReceiveLine() const {
  return settings_->ReceiveRuleLine(FromQ(cmbField_->currentText()), FromQ(cmbKeyword_->currentText()),
                                    rbReject_->isChecked(), ChosenFolder(ruleTree_, ruleTreeModel_));
}

std::optional<std::string> TfrmSet::SendLine() const {
  return settings_->SendRuleLine(FromQ(cmbKind_->currentText()), FromQ(edtPattern_->text()),
                                 ChosenFolder(sendTree_, sendTreeModel_));
}

// Incomplete input, a rule the list holds already and a list its file holds as it is change
// nothing: their buttons are off.
void TfrmSet::UpdateButtons() {
  if (!settings_) return;
  const auto& rules = settings_->ReceiveRules().Lines();
  const auto line = ReceiveLine();
  btnRuleAdd_->setEnabled(line && WouldChange(rules, *line, std::nullopt));
  btnRuleEdit_->setEnabled(line && WouldChange(rules, *line, ChosenRow(lstRule_)));
  btnRuleDelete_->setEnabled(ChosenRow(lstRule_).has_value());
  btnRuleRegister_->setEnabled(settings_->ReceiveRulesUnregistered());
  btnApply_->setEnabled(settings_->CanApplyRules());
  const auto& send_rules = settings_->SendRules().Lines();
  const auto send_line = SendLine();
  btnSendAdd_->setEnabled(send_line && WouldChange(send_rules, *send_line, std::nullopt));
  btnSendEdit_->setEnabled(send_line && WouldChange(send_rules, *send_line, ChosenRow(lstSendRule_)));
  btnSendDelete_->setEnabled(ChosenRow(lstSendRule_).has_value());
  btnSendRegister_->setEnabled(settings_->SendRulesUnregistered());
  btnServerDelete_->setEnabled(ChosenRow(lstServer_).has_value());
  btnServerRegister_->setEnabled(settings_->CandidatesUnregistered());
}

void TfrmSet::ShowRules() {
  const std::vector<std::string> suggestions = settings_->OpenRulesTab();
  ruleTree_->expandAll();
  cmbField_->setCurrentIndex(0);
  cmbKeyword_->clear();
  for (const auto& s : suggestions) cmbKeyword_->addItem(ToQ(s));
  if (!suggestions.empty()) cmbKeyword_->setCurrentIndex(0);
  LoadLists();
  tabs_->setCurrentIndex(0);
  show();
  raise();
  activateWindow();
}

void TfrmSet::ShowNewCheck() {
  // The account box offers every account in list order and keeps the text it had.
  loading_ = true;
  const QString text = CmbReceiveMailAccount_->currentText();
  CmbReceiveMailAccount_->clear();
  for (const auto& line : core_->State().AccountList) CmbReceiveMailAccount_->addItem(ToQ(FieldOf(line, 0)));
  CmbReceiveMailAccount_->setEditText(text);
  loading_ = false;
  LoadLists();
  tabs_->setCurrentIndex(1);
  show();
  raise();
  activateWindow();
}

void TfrmSet::RuleAddClick() {
  if (auto line = ReceiveLine()) settings_->AddReceiveRule(*line);
  LoadLists();
}

void TfrmSet::RuleEditClick() {
  if (auto line = ReceiveLine()) settings_->AddReceiveRule(*line, ChosenRow(lstRule_));
  LoadLists();
}

void TfrmSet::RuleDeleteClick() {
  if (auto row = ChosenRow(lstRule_)) settings_->DeleteReceiveRule(*row);
  Fill(lstRule_, settings_->ReceiveRules().Lines());
  UpdateButtons();
}

void TfrmSet::RuleRegisterClick() {
  settings_->RegisterReceiveRules();
  UpdateButtons();
}

void TfrmSet::RuleSelected() {
  const auto row = ChosenRow(lstRule_);
  if (!row) return;
  const RuleLine fields = ParseRuleLine(settings_->ReceiveRules().Lines()[*row]);
  cmbField_->setCurrentIndex(cmbField_->findText(ToQ(fields.field)));
  cmbKeyword_->setEditText(ToQ(fields.text));
  if (!fields.complete) return;
  if (fields.target == RejectTarget()) {
    rbReject_->setChecked(true);
    return;
  }
  rbMove_->setChecked(true);
  ChooseFolder(ruleTree_, ruleTreeModel_, FindRuleFolder(settings_->ReceiveRuleTree(), fields.target));
}

void TfrmSet::ApplyClick() {
  if (settings_->ApplyRulesToCurrentFolder()) hide();
}

void TfrmSet::FocusProblem(int focus) {
  if (focus == static_cast<int>(NewCheckProblem::Focus::Interval)) CmbInterval_->setFocus();
  else Edit1_->setFocus();
}

void TfrmSet::SaveClick() {
  StoreNewCheck();
  if (auto problem = settings_->SaveNewCheck()) FocusProblem(static_cast<int>(*problem));
}

void TfrmSet::RunClick() {
  StoreNewCheck();
  if (auto problem = settings_->RunNewCheck()) {
    FocusProblem(static_cast<int>(*problem));
    return;
  }
  hide();
  emit newCheckRun();
}

void TfrmSet::NewCheckCloseClick() {
  settings_->CloseNewCheckTab();
  hide();
}

void TfrmSet::ServerDeleteClick() {
  if (auto row = ChosenRow(lstServer_)) settings_->DeleteCandidate(*row);
  Fill(lstServer_, settings_->Candidates().Hosts());
  UpdateButtons();
}

void TfrmSet::ServerRegisterClick() {
  settings_->RegisterCandidates();
  UpdateButtons();
}

void TfrmSet::SendRuleAddClick() {
  if (auto line = SendLine()) settings_->AddSendRule(*line);
  LoadLists();
}

void TfrmSet::SendRuleEditClick() {
  if (auto line = SendLine()) settings_->AddSendRule(*line, ChosenRow(lstSendRule_));
  LoadLists();
}

void TfrmSet::SendRuleDeleteClick() {
  if (auto row = ChosenRow(lstSendRule_)) settings_->DeleteSendRule(*row);
  Fill(lstSendRule_, settings_->SendRules().Lines());
  UpdateButtons();
}

void TfrmSet::SendRuleRegisterClick() {
  settings_->RegisterSendRules();
  UpdateButtons();
}

void TfrmSet::SendRuleSelected() {
  const auto row = ChosenRow(lstSendRule_);
  if (!row) return;
  const RuleLine fields = ParseRuleLine(settings_->SendRules().Lines()[*row]);
  cmbKind_->setCurrentIndex(cmbKind_->findText(ToQ(fields.field)));
  edtPattern_->setText(ToQ(fields.text));
  if (fields.complete) ChooseFolder(sendTree_, sendTreeModel_, FindRuleFolder(settings_->SendRuleTree(), fields.target));
}

}  // namespace plumex

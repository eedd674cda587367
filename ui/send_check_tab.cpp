#include "ui/send_check_tab.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "settings/send_check_settings.h"
#include "shell/app_core.h"
#include "shell/send_check_commands.h"
#include "ui/qt_text.h"
#include "ui/run_guarded.h"

namespace plumex {

SendCheckTab::SendCheckTab(AppCore& core, QWidget* parent) : QWidget(parent), core_(core) {
  setObjectName(QStringLiteral("SendCheckTab"));
  auto* layout = new QVBoxLayout(this);
  chkOn_ = new QCheckBox(QStringLiteral("送信前確認を行う（送信の前にあて先と添付ファイルを確認する画面を出す）"), this);
  chkOn_->setObjectName(QStringLiteral("chkSendCheck"));
  layout->addWidget(chkOn_);
  auto* form = new QFormLayout;
  spnLimit_ = new QSpinBox(this);
  spnLimit_->setObjectName(QStringLiteral("spnExternalLimit"));
  spnLimit_->setRange(0, 9999);
  form->addRow(QStringLiteral("To/Ccの社外あて先がこの数を超えたら警告"), spnLimit_);
  edtDomains_ = new QLineEdit(this);
  edtDomains_->setObjectName(QStringLiteral("edtOwnDomains"));
  edtDomains_->setPlaceholderText(QStringLiteral("例: example.co.jp, group.example.jp"));
  form->addRow(QStringLiteral("社内とみなすドメイン（カンマ区切り）"), edtDomains_);
  layout->addLayout(form);
  lblAccountDomains_ = new QLabel(this);
  lblAccountDomains_->setWordWrap(true);
  layout->addWidget(lblAccountDomains_);
  auto* note = new QLabel(QStringLiteral("アカウントのドメインとその下のドメインは常に社内として扱います。大文字と小文字は区別しません。"), this);
  note->setWordWrap(true);
  layout->addWidget(note);
  layout->addStretch(1);
  auto* save = new QPushButton(QStringLiteral("保存"), this);
  save->setObjectName(QStringLiteral("btnSendCheckSave"));
  connect(save, &QPushButton::clicked, this, [this] { Save(); });
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(save);
  layout->addLayout(row);
}

void SendCheckTab::Load() {
  const SendCheckSettings s = SendCheckSettings::Load(core_.State().MailRoot);
  chkOn_->setChecked(s.on);
  spnLimit_->setValue(s.external_limit);
  edtDomains_->setText(ToQ(s.DomainsText()));
  SendCheckSettings accounts_only;
  QStringList own;
  for (const auto& d : OwnDomains(core_.State().AccountList, accounts_only)) own << ToQ(d);
  lblAccountDomains_->setText(QStringLiteral("アカウントのドメイン: ") +
                              (own.isEmpty() ? QStringLiteral("（なし）") : own.join(QStringLiteral(", "))));
}

void SendCheckTab::Save() {
  SendCheckSettings s = SendCheckSettings::Load(core_.State().MailRoot);
  s.on = chkOn_->isChecked();
  s.external_limit = spnLimit_->value();
  s.own_domains = SendCheckSettings::ParseDomains(FromQ(edtDomains_->text()));
  s.Save(core_.State().MailRoot);
  edtDomains_->setText(ToQ(s.DomainsText()));
}

void SendCheckTab::showEvent(QShowEvent* event) {
  RunGuarded(this, core_.Ui(), [this] { Load(); });
  QWidget::showEvent(event);
}

}  // namespace plumex

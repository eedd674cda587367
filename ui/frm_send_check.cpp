#include "ui/frm_send_check.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "send/send_check.h"
#include "ui/qt_text.h"

namespace plumex {
namespace {

QString FieldLabel(const std::string& field) { return QString::fromStdString(field) + QStringLiteral(": "); }

QString DomainLabel(const SendCheck::DomainGroup& group) {
  return group.domain.empty() ? QStringLiteral("（ドメインなし）") : ToQ(group.domain);
}

}  // namespace

TfrmSendCheck::TfrmSendCheck(const SendCheck& check, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TfrmSendCheck"));
  setWindowTitle(QStringLiteral("送信前確認"));
  setModal(true);
  resize(560, 460);
  auto* layout = new QVBoxLayout(this);

  auto* intro = new QLabel(check.merge ? QStringLiteral("差込メールの送信先と添付ファイルを確認してください。社外のドメインと添付ファイルすべてにチェックを付けると送信できます。")
                                       : QStringLiteral("あて先と添付ファイルを確認してください。社外のドメインと添付ファイルすべてにチェックを付けると送信できます。"),
                          this);
  intro->setWordWrap(true);
  layout->addWidget(intro);

  lblWarnings_ = new QLabel(this);
  lblWarnings_->setObjectName(QStringLiteral("lblWarnings"));
  lblWarnings_->setWordWrap(true);
  lblWarnings_->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
  QStringList warnings;
  for (const auto& w : check.warnings) warnings << QStringLiteral("⚠ ") + ToQ(w);
  lblWarnings_->setText(warnings.join(QLatin1Char('\n')));
  lblWarnings_->setVisible(!warnings.isEmpty());
  layout->addWidget(lblWarnings_);

  lstRecipients_ = new QTreeWidget(this);
  lstRecipients_->setObjectName(QStringLiteral("lstRecipients"));
  lstRecipients_->setHeaderHidden(true);
  auto add_groups = [&](const QString& title, const std::vector<SendCheck::DomainGroup>& groups, bool tick) {
    if (groups.empty()) return;
    auto* top = new QTreeWidgetItem(lstRecipients_, {title});
    QFont bold = top->font(0);
    bold.setBold(true);
    top->setFont(0, bold);
    top->setFlags(Qt::ItemIsEnabled);
    for (const auto& group : groups) {
      auto* domain = new QTreeWidgetItem(top, {DomainLabel(group) + QStringLiteral("（%1件）").arg(group.recipients.size())});
      if (tick) {
        domain->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        domain->setCheckState(0, Qt::Unchecked);
        ticks_ << domain;
      } else {
        domain->setFlags(Qt::ItemIsEnabled);
      }
      for (const auto& r : group.recipients) {
        auto* item = new QTreeWidgetItem(domain, {FieldLabel(r.field) + ToQ(r.text)});
        item->setFlags(Qt::ItemIsEnabled);
      }
    }
  };
  add_groups(QStringLiteral("社外"), check.external, true);
  add_groups(QStringLiteral("社内"), check.internal, false);
  lstRecipients_->expandAll();
  layout->addWidget(new QLabel(QStringLiteral("あて先"), this));
  layout->addWidget(lstRecipients_, 2);

  lstAttachments_ = new QTreeWidget(this);
  lstAttachments_->setObjectName(QStringLiteral("lstAttachments"));
  lstAttachments_->setColumnCount(2);
  lstAttachments_->setHeaderLabels({QStringLiteral("添付ファイル"), QStringLiteral("サイズ")});
  lstAttachments_->setRootIsDecorated(false);
  for (const auto& a : check.attachments) {
    const QString size = a.size ? ToQ(SizeText(*a.size)) : QStringLiteral("読み込めません");
    auto* item = new QTreeWidgetItem(lstAttachments_, {ToQ(a.name), size});
    item->setToolTip(0, ToQ(a.path));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    ticks_ << item;
  }
  lstAttachments_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  lstAttachments_->setVisible(!check.attachments.empty());
  layout->addWidget(lstAttachments_, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  btnSend_ = new QPushButton(QStringLiteral("送信"), this);
  btnSend_->setObjectName(QStringLiteral("btnSend"));
  btnBack_ = new QPushButton(QStringLiteral("戻る"), this);
  btnBack_->setObjectName(QStringLiteral("btnBack"));
  btnBack_->setDefault(true);
  buttons->addWidget(btnSend_);
  buttons->addWidget(btnBack_);
  layout->addLayout(buttons);
  connect(btnSend_, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnBack_, &QPushButton::clicked, this, &QDialog::reject);
  connect(lstRecipients_, &QTreeWidget::itemChanged, this, [this] { UpdateSend(); });
  connect(lstAttachments_, &QTreeWidget::itemChanged, this, [this] { UpdateSend(); });
  UpdateSend();
}

void TfrmSendCheck::UpdateSend() {
  bool all = true;
  for (QTreeWidgetItem* item : ticks_) all = all && item->checkState(0) == Qt::Checked;
  btnSend_->setEnabled(all);
}

bool TfrmSendCheck::Ask(const SendCheck& check, QWidget* parent) {
  TfrmSendCheck window(check, parent);
  return window.exec() == QDialog::Accepted;
}

}  // namespace plumex

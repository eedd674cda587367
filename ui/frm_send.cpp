#include "ui/frm_send.h"

#include <QListWidget>
#include <QVBoxLayout>

namespace plumex {

TfrmSend::TfrmSend(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmSend"));
  setWindowTitle(QStringLiteral("メール作成"));
  auto* layout = new QVBoxLayout(this);
  lstAttach_ = new QListWidget(this);
  lstAttach_->setObjectName(QStringLiteral("lstAttach"));
  layout->addWidget(lstAttach_);
}

void TfrmSend::AddAttachment(const QString& path) { lstAttach_->addItem(path); }

QStringList TfrmSend::Attachments() const {
  QStringList paths;
  for (int i = 0; i < lstAttach_->count(); ++i) paths << lstAttach_->item(i)->text();
  return paths;
}

}  // namespace plumex

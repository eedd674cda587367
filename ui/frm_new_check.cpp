#include "ui/frm_new_check.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/close_on_escape.h"
#include "ui/qt_text.h"

namespace plumex {

TfrmNewCheck::TfrmNewCheck(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("TfrmNewCheck"));
  setWindowTitle(QStringLiteral("新着チェック中..."));
  label_ = new QLabel(QStringLiteral("新着は？"), this);
  label_->setObjectName(QStringLiteral("Label1"));
  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("ListView1"));
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({QStringLiteral("ｱｶｳﾝﾄ"), QStringLiteral("件名"), QStringLiteral("差出人"),
                          QStringLiteral("日時"), QStringLiteral("サイズ(Byte)"), QStringLiteral("MsgID"),
                          QStringLiteral("添付ﾌﾗｸﾞ"), QStringLiteral("新着フラグ")});
  const int widths[] = {80, 200, 200, 120, 90};
  for (int c = 0; c < 5; ++c) list_->setColumnWidth(c, widths[c]);
  for (int c = 5; c < 8; ++c) list_->setColumnHidden(c, true);
  list_->setStyleSheet(QStringLiteral("QTreeWidget { background: #808080; color: #00FFFF; }"));
  forward_ = new QLabel(this);
  forward_->setObjectName(QStringLiteral("lblForward"));
  forward_->setWordWrap(true);
  forward_->hide();
  finish_ = new QPushButton(QStringLiteral("終了"), this);
  finish_->setObjectName(QStringLiteral("btnFinish"));
  connect(finish_, &QPushButton::clicked, this, &TfrmNewCheck::finishClicked);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(list_);
  layout->addWidget(forward_);
  layout->addWidget(finish_, 0, Qt::AlignHCenter);
  resize(720, 260);
  setFixedSize(size());
  CloseOnEscape(this);
}

void TfrmNewCheck::AddRows(const std::vector<NewMailRow>& rows) {
  for (const NewMailRow& r : rows) {
    auto* item = new QTreeWidgetItem(list_);
    const std::string texts[] = {r.account, r.subject, r.sender, r.checked_at, r.size, r.id};
    for (int c = 0; c < 6; ++c) item->setText(c, ToQ(texts[c]));
  }
}

void TfrmNewCheck::SetLabel(const QString& text) { label_->setText(text); }

QString TfrmNewCheck::Label() const { return label_->text(); }

void TfrmNewCheck::AddForwardFailure(const QString& text) {
  const QString shown = forward_->text();
  forward_->setText(shown.isEmpty() ? text : shown + QLatin1Char('\n') + text);
  forward_->show();
}

void TfrmNewCheck::Clear() {
  list_->clear();
  label_->clear();
  forward_->clear();
  forward_->hide();
}

void TfrmNewCheck::ShowOver(QWidget* over) {
  if (over) {
    const QRect frame = over->frameGeometry();
    if (frame.isValid()) move(frame.center() - rect().center());
  }
  show();
  raise();
}

}  // namespace plumex

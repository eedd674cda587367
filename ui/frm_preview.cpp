#include "ui/frm_preview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/merge_sheet_commands.h"
#include "ui/close_on_escape.h"
#include "ui/qt_text.h"
#include "ui/run_guarded.h"

namespace plumex {

TfrmPreView::TfrmPreView(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmPreView"));
  setWindowTitle(QStringLiteral("差し込みメールプレビュー"));
  LblRecNum_ = new QLabel(QStringLiteral("1"), this);
  LblRecNum_->setObjectName(QStringLiteral("LblRecNum"));
  Memo1_ = new QPlainTextEdit(this);
  Memo1_->setObjectName(QStringLiteral("Memo1"));
  Memo1_->setReadOnly(true);
  prev_ = new QPushButton(QStringLiteral("←　前"), this);
  next_ = new QPushButton(QStringLiteral("次　→"), this);
  auto* close_button = new QPushButton(QStringLiteral("閉じる"), this);

  auto* top = new QHBoxLayout;
  top->addWidget(LblRecNum_);
  top->addWidget(new QLabel(QStringLiteral("件目"), this));
  top->addStretch();
  top->addWidget(prev_);
  top->addWidget(next_);
  top->addWidget(close_button);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(Memo1_, 1);
  resize(560, 460);
  CloseOnEscape(this);

  connect(prev_, &QPushButton::clicked, this, [this] { Step(-1); });
  connect(next_, &QPushButton::clicked, this, [this] { Step(1); });
  connect(close_button, &QPushButton::clicked, this, [this] {
    if (sheet_) sheet_->Preview().Reset();
    close();
  });
}

void TfrmPreView::Attach(MergeSheetCommands& sheet, UiPort& ui) {
  sheet_ = &sheet;
  ui_ = &ui;
}

void TfrmPreView::Show(const std::string& text) {
  LblRecNum_->setText(QString::number(sheet_->Preview().Record()));
  Memo1_->setPlainText(ToQ(text));
}

void TfrmPreView::StartPreview() {
  std::optional<std::string> text;
  RunGuarded(nullptr, *ui_, [&] { text = sheet_->StartPreview(); });
  if (!text) return;
  Show(*text);
  show();
  raise();
}

void TfrmPreView::Step(int delta) {
  if (!sheet_) return;
  std::string text;
  RunGuarded(this, *ui_, [&] { text = sheet_->StepPreview(delta); });
  Show(text);
}

}  // namespace plumex

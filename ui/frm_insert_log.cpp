#include "ui/frm_insert_log.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "store/store_layout.h"
#include "store/store_texts.h"
#include "ui/close_on_escape.h"
#include "ui/qt_text.h"

namespace plumex {

TfrmInsertLog::TfrmInsertLog(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("TfrmInsertLog"));
  setWindowTitle(QStringLiteral("差込結果"));
  Memo1_ = new QPlainTextEdit(this);
  Memo1_->setObjectName(QStringLiteral("Memo1"));
  Memo1_->setReadOnly(true);
  Memo1_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* close_button = new QPushButton(QStringLiteral("閉じる"), this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("直前の差込送信の結果は以下のとおりです"), this));
  layout->addWidget(Memo1_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close_button);
  layout->addLayout(buttons);
  resize(560, 400);
  CloseOnEscape(this);
  connect(close_button, &QPushButton::clicked, this, &QWidget::close);
}

void TfrmInsertLog::ShowLog(const std::filesystem::path& mail_root) {
  const auto file = ToNativePath(mail_root, SendFolderPath()) / NativeName(Sjis(texts::kMergeLogName));
  Memo1_->setPlainText(ToQ(ReadFileBytes(file).value_or(std::string())));
  show();
  raise();
}

}  // namespace plumex

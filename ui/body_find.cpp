#include "ui/body_find.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include "text/sjis_text.h"

namespace plumex {
namespace {

constexpr std::string_view kNoBody = "メール本文が表示されていません";
constexpr std::string_view kNotFound = "検索文字は見つかりません。\r\n最初から検索しますか？";

}  // namespace

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FindDialog"));
  setWindowTitle(QStringLiteral("検索"));
  setModal(false);
  auto* grid = new QGridLayout(this);
  auto* label = new QLabel(QStringLiteral("検索する文字列(&N):"), this);
  text_ = new QLineEdit(this);
  label->setBuddy(text_);
  whole_word_ = new QCheckBox(QStringLiteral("単語単位で探す(&W)"), this);
  match_case_ = new QCheckBox(QStringLiteral("大文字と小文字を区別する(&C)"), this);
  find_next_ = new QPushButton(QStringLiteral("次を検索(&F)"), this);
  find_next_->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
  grid->addWidget(label, 0, 0);
  grid->addWidget(text_, 0, 1);
  grid->addWidget(find_next_, 0, 2);
  grid->addWidget(whole_word_, 1, 0, 1, 2);
  grid->addWidget(cancel, 1, 2);
  grid->addWidget(match_case_, 2, 0, 1, 2);
  // "Find next" acts only with something to find.
  find_next_->setEnabled(false);
  connect(text_, &QLineEdit::textChanged, this, [this](const QString& t) { find_next_->setEnabled(!t.isEmpty()); });
  connect(find_next_, &QPushButton::clicked, this, &FindDialog::findNext);
  connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
}

BodyFinder::BodyFinder(QTextEdit* body, UiPort& ui, QWidget* window)
    : QObject(window), body_(body), ui_(ui), dialog_(new FindDialog(window)) {
  connect(dialog_, &FindDialog::findNext, this, &BodyFinder::FindNext);
}

void BodyFinder::Open() {
  if (body_->document()->isEmpty()) {
    ui_.MessageBox(Sjis(kNoBody));
    return;
  }
  remembered_line_ = body_->textCursor().blockNumber();
  QString selected = body_->textCursor().selectedText();
  // A selection across lines holds paragraph separators; the dialog takes one line.
  selected = selected.left(selected.indexOf(QChar::ParagraphSeparator) < 0 ? selected.size()
                                                                             : selected.indexOf(QChar::ParagraphSeparator));
  dialog_->Text()->setText(selected);
  dialog_->show();
  dialog_->raise();
  dialog_->activateWindow();
}

void BodyFinder::FindNext() {
  const QString needle = dialog_->Text()->text();
  if (needle.isEmpty()) return;
  QTextDocument::FindFlags flags;
  if (dialog_->MatchCase()->isChecked()) flags |= QTextDocument::FindCaseSensitively;
  if (dialog_->WholeWord()->isChecked()) flags |= QTextDocument::FindWholeWords;
  QTextCursor current = body_->textCursor();
  int from = current.hasSelection() ? current.selectionEnd() : 0;
  for (;;) {
    QTextCursor found = body_->document()->find(needle, from, flags);
    if (!found.isNull()) {
      // The view moves by as many lines as the match lies from the line reached before.
      QScrollBar* bar = body_->verticalScrollBar();
      const int kept = bar->value();
      body_->setFocus();
      body_->setTextCursor(found);
      const int line = found.blockNumber();
      bar->setValue(kept + (line - remembered_line_) * QFontMetrics(body_->document()->defaultFont()).lineSpacing());
      body_->ensureCursorVisible();
      remembered_line_ = line;
      return;
    }
    if (ui_.MessageBox(Sjis(kNotFound), MsgIcon::Question, MsgButtons::YesCancel) != MsgAnswer::Yes) return;
    current.clearSelection();
    body_->setTextCursor(current);
    from = 0;
  }
}

}  // namespace plumex

#include "ui/text_commands.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace plumex {
namespace {

template <class F>
void OnFocusedText(F f) {
  QWidget* w = QApplication::focusWidget();
  if (auto* t = qobject_cast<QTextEdit*>(w)) f(t);
  else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) f(p);
  else if (auto* l = qobject_cast<QLineEdit*>(w)) f(l);
}

}  // namespace

void EnableTextCommands(QAction* copy, QAction* cut, QAction* paste) {
  bool selected = false, editable = false;
  OnFocusedText([&](const auto* w) {
    if constexpr (requires { w->hasSelectedText(); }) selected = w->hasSelectedText();
    else selected = w->textCursor().hasSelection();
    editable = !w->isReadOnly();
  });
  copy->setEnabled(selected);
  cut->setEnabled(selected && editable);
  const QMimeData* clipboard = QApplication::clipboard()->mimeData();
  paste->setEnabled(editable && clipboard && clipboard->hasText() && !clipboard->text().isEmpty());
}

void CopyFocusedText() { OnFocusedText([](auto* w) { w->copy(); }); }
void CutFocusedText() { OnFocusedText([](auto* w) { w->cut(); }); }
void PasteFocusedText() { OnFocusedText([](auto* w) { w->paste(); }); }

}  // namespace plumex

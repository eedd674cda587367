#include "ui/close_on_escape.h"

#include <QShortcut>
#include <QWidget>

namespace plumex {

void CloseOnEscape(QWidget* window) {
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
  escape->setContext(Qt::WindowShortcut);
  QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
}

}  // namespace plumex

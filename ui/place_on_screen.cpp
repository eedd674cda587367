#include "ui/place_on_screen.h"

#include <QApplication>
#include <algorithm>
#include <QScreen>
#include <QWidget>

namespace plumex {

void PlaceOnScreen(QWidget* window, const QWidget* over) {
  if (!over) over = QApplication::activeWindow();
  if (over == window) over = nullptr;
  QScreen* screen = over ? over->screen() : window->screen();
  if (!screen) screen = QApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  // The frame (title bar, borders) counts: a window whose title bar is off screen cannot be moved.
  const QSize frame_extra = window->frameGeometry().size() - window->geometry().size();
  const QSize size = window->size().boundedTo(area.size() - frame_extra);
  window->resize(size);
  const QRect target = over && over->isVisible() ? over->frameGeometry() : area;
  QPoint top_left = target.center() - QPoint(size.width() / 2, size.height() / 2);
  top_left.setX(std::clamp(top_left.x(), area.left(), std::max(area.left(), area.right() - size.width() - frame_extra.width())));
  top_left.setY(std::clamp(top_left.y(), area.top(), std::max(area.top(), area.bottom() - size.height() - frame_extra.height())));
  window->move(top_left);
}

}  // namespace plumex

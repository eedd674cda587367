#include "ui/dialog_owner.h"

#include <QApplication>

namespace plumex {
namespace {
QPointer<QWidget> g_owner;
}

DialogOwnerScope::DialogOwnerScope(QWidget* owner) : previous_(g_owner) { g_owner = owner ? owner->window() : nullptr; }

DialogOwnerScope::~DialogOwnerScope() { g_owner = previous_; }

QWidget* DialogOwnerScope::Owner(QWidget* fallback) {
  if (g_owner && g_owner->isVisible()) return g_owner;
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow(); active && active->isWindow() && !(active->windowFlags() & Qt::Popup))
    return active;
  return fallback;
}

}  // namespace plumex

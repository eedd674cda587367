#include "ui/not_available.h"

#include <QAction>
#include <QMenu>
#include <QVariant>

namespace plumex {
namespace {
constexpr char kProperty[] = "notAvailable";
}

QString NotAvailableText() { return QStringLiteral("この機能はまだ使用できません。"); }

void MarkNotAvailable(QAction* action) {
  action->setProperty(kProperty, true);
  // A button that shows only an icon keeps its name in the tooltip.
  const bool named_by_tooltip = !action->icon().isNull();
  action->setToolTip(named_by_tooltip ? action->text() + QLatin1Char('\n') + NotAvailableText() : NotAvailableText());
  action->setStatusTip(NotAvailableText());
  action->setEnabled(false);
  QObject::connect(action, &QAction::enabledChanged, action, [action](bool enabled) {
    if (enabled) action->setEnabled(false);
  });
  // Menus show tooltips only when asked to; they show just the ones set explicitly.
  for (QObject* holder : action->associatedObjects())
    if (auto* menu = qobject_cast<QMenu*>(holder)) menu->setToolTipsVisible(true);
}

bool IsNotAvailable(const QObject* control) { return control && control->property(kProperty).toBool(); }

}  // namespace plumex

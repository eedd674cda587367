// Commands whose behaviour is not built yet. Their menu items and buttons stay where they
// belong, visible with their captions, but disabled and saying why, so that choosing them never
// silently does nothing. The code that builds such a command connects it and drops the mark.
#pragma once

#include <QString>

class QAction;
class QObject;

namespace plumex {

// "この機能はまだ使用できません。"
QString NotAvailableText();

// Disables the action for good: it shows NotAvailableText as its status tip and tooltip (after
// its name for a button that shows only an icon), and carries the property "notAvailable".
// State code that enables actions (by view mode, selection...) may call setEnabled(true) on it
// freely: the action turns itself off again.
void MarkNotAvailable(QAction* action);

// True for an action given to MarkNotAvailable.
bool IsNotAvailable(const QObject* control);

}  // namespace plumex

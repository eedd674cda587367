// The one way a window runs what a person (or a timer, or a drop) set off: a menu item, a
// button, a click on a row, a window event, a tick. Dialogs it raises belong to `owner` (with
// none, to the owner of the command it runs inside, else the window in front), and whatever it
// throws is shown through the port as a command's failure, so that no exception ever crosses
// into Qt's event loop.
#pragma once

#include <functional>

class QWidget;

namespace plumex {

class UiPort;

// False when the command failed (the failure was shown).
bool RunGuarded(QWidget* owner, UiPort& ui, const std::function<void()>& command);

}  // namespace plumex

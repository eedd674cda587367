// Escape closes a secondary window, as it closes a dialog.
#pragma once

class QWidget;

namespace plumex {

// Escape anywhere in the window runs close() (hiding a window that lives for the whole run).
void CloseOnEscape(QWidget* window);

}  // namespace plumex

// A window about to be shown lies wholly on the screen: centred over the window it belongs
// to (or the screen), made smaller when the screen is smaller than it.
#pragma once

class QWidget;

namespace plumex {

void PlaceOnScreen(QWidget* window, const QWidget* over = nullptr);

}  // namespace plumex

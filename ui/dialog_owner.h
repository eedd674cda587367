// Message boxes and choosers belong to the window whose command raised them: a window runs
// its commands inside a DialogOwnerScope, and the Qt Ui port parents every dialog to the
// innermost scope's window. Without a scope a dialog goes to the modal window showing, else
// to the active window of the program, else to the main window.
#pragma once

#include <QPointer>
#include <QWidget>

namespace plumex {

class DialogOwnerScope {
 public:
  explicit DialogOwnerScope(QWidget* owner);
  ~DialogOwnerScope();
  DialogOwnerScope(const DialogOwnerScope&) = delete;
  DialogOwnerScope& operator=(const DialogOwnerScope&) = delete;

  // The window a dialog opened now belongs to; fallback when nothing better is showing.
  static QWidget* Owner(QWidget* fallback);

 private:
  QPointer<QWidget> previous_;
};

}  // namespace plumex

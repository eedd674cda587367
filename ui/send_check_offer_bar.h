// The one-time offer of the check before sending, for a store made before the check existed:
// a bar across the top of the main window (no question box, so nothing waits at start). The
// store counts as decided (check off) once the bar is shown; "使う" turns the check on.
#pragma once

#include <QFrame>
#include <filesystem>

class QMainWindow;
class QPushButton;

namespace plumex {

class SendCheckOfferBar : public QFrame {
  Q_OBJECT
 public:
  SendCheckOfferBar(std::filesystem::path mail_root, QWidget* parent);

  // A new store gets the check on; an older one without a decision gets the bar on top of
  // the window's central widget. Returns the bar, or null when none is due.
  static SendCheckOfferBar* ShowIfDue(QMainWindow* window, const std::filesystem::path& mail_root);

  QPushButton* btnUse() const { return btnUse_; }
  QPushButton* btnDismiss() const { return btnDismiss_; }

 private:
  std::filesystem::path mail_root_;
  QPushButton* btnUse_ = nullptr;
  QPushButton* btnDismiss_ = nullptr;
};

}  // namespace plumex

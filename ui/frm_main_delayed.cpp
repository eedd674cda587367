// The main window's part in delayed sending and mail merge: the one-minute timer with its
// label "時差送信中...", "時差送信解除", and the merge log window.
#include <QAction>
#include <QEvent>
#include <QShowEvent>
#include <QTimer>

#include "text/sjis_text.h"
#include "ui/frm_insert_log.h"
#include "ui/frm_main.h"
#include "ui/qt_text.h"
#include "ui/run_guarded.h"

namespace plumex {

namespace {
constexpr int kQueueTickMs = 60 * 1000;
}

void TfrmMain::SetDelayedSendActive(bool active) {
  SetDelayedSendLabelShown(active);
  if (QAction* cancel = FindAction(QStringLiteral("送受信/時差送信解除"))) cancel->setEnabled(active);
  // The same timer closes the window after a refused start-up password: that keeps it.
  if (shell_->State().CloseRequested) return;
  if (active) {
    if (!tmrAfterSend_->isActive() || tmrAfterSend_->interval() != kQueueTickMs) tmrAfterSend_->start(kQueueTickMs);
  } else {
    tmrAfterSend_->stop();
  }
}

// A tick belongs to no window: what it tells goes to the window in front.
void TfrmMain::DelayedSendTick() {
  RunGuarded(nullptr, *port_, [this] { core_->DelayedSend().Tick(); });
  TellQueueFailures();
}

void TfrmMain::TellQueueFailures() {
  if (!isVisible() || isMinimized()) return;
  RunGuarded(nullptr, *port_, [this] {
    for (const std::string& text : core_->DelayedSend().TakeUntold()) port_->MessageBox(text, MsgIcon::Warning, MsgButtons::Ok);
  });
}

void TfrmMain::mnuCancelDelayedClick() { core_->DelayedSend().CancelAll(); }

void TfrmMain::ShowMergeLog() {
  if (merge_log_window_) merge_log_window_->ShowLog(shell_->State().MailRoot);
}

void TfrmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  QTimer::singleShot(0, this, [this] { TellQueueFailures(); });
}

void TfrmMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && !isMinimized())
    QTimer::singleShot(0, this, [this] { TellQueueFailures(); });
}

}  // namespace plumex

// The new-mail check in the window: its timer, the notification-area icon ("Plumexは、ここです..")
// with the main window hidden behind it, the check window, and one short beep for a tick
// that found new mail. Where the desktop has no notification area the main window is
// minimised instead (so it can never be lost) and a desktop notification, when the desktop
// offers one, announces new mail. The behaviour itself is the core's (NewCheckCommands).
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

#include "shell/new_check_commands.h"

class QSystemTrayIcon;
class QTimer;

namespace plumex {

class AppCore;
class TfrmMain;
class TfrmNewCheck;

class NewCheckDriver : public QObject {
  Q_OBJECT
 public:
  NewCheckDriver(AppCore& core, TfrmMain& main, TfrmNewCheck& window, QObject* parent = nullptr);
  ~NewCheckDriver() override;

  // StartNewMailCheck after the settings dialog's "実行", from "新着チェックを継続する", or at
  // start-up when "起動時に新着チェックをする" is on. False when it did not start.
  bool Start(NewCheckCommands::StartKind kind);
  // The timer's handler (public for the tests): one tick, then the timer runs again unless
  // the check was stopped.
  void Tick();
  // What a tick found: rows in the check window, one beep, the window shown.
  void Announce(const NewCheckTickResult& result);
  // "中止", "切断", "受信停止": the timer stops.
  void StopTimer();
  // "終了" of the check window.
  void Finish();

  QTimer* Timer() const { return timer_; }
  // The icon while the check waits; null when none is shown (or the desktop has no area).
  QSystemTrayIcon* TrayIcon() const { return icon_; }
  // Replaces the beep and the desktop notification (tests count them).
  std::function<void()> beep;
  std::function<void(const QString& title, const QString& text)> notify;

 private:
  void HideMainWindow();
  void RestoreMainWindow();
  void RemoveIcon();

  AppCore& core_;
  TfrmMain& main_;
  TfrmNewCheck& window_;
  QTimer* timer_ = nullptr;
  QSystemTrayIcon* icon_ = nullptr;
};

}  // namespace plumex

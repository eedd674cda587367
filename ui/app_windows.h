// The program's one Ui port and application core, and every window, created once at start-up
// in a fixed order and handed the core and the port; only the main window is ever shown at
// start.
#pragma once

#include <filesystem>
#include <memory>

#include "shell/app_core.h"
#include "ui/qt_ui_port.h"

namespace plumex {

class TfrmMain;
class TfrmAccount;
class TfrmSend;
class TfrmAddress;
class TfrmInsert;
class TfrmSet;
class TfrmNewCheck;
class TfrmAddAddress;
class TfrmPreView;
class TfrmInsertLog;
class NewCheckDriver;

struct AppWindows {
  // Creates the port (a QtUiPort when none is given) and the core on mail_root, then the
  // windows in order: main, account, compose, address book, merge sheet, settings, new-mail
  // check, register address, merge preview, merge result.
  explicit AppWindows(const std::filesystem::path& mail_root, std::unique_ptr<QtUiPort> port = nullptr);
  ~AppWindows();

  // They outlive every window.
  std::unique_ptr<QtUiPort> port;
  std::unique_ptr<AppCore> core;

  std::unique_ptr<TfrmMain> frmMain;
  std::unique_ptr<TfrmAccount> frmAccount;
  std::unique_ptr<TfrmSend> frmSend;
  std::unique_ptr<TfrmAddress> frmAddress;
  std::unique_ptr<TfrmInsert> frmInsert;
  std::unique_ptr<TfrmSet> frmSet;
  std::unique_ptr<TfrmNewCheck> frmNewCheck;
  std::unique_ptr<TfrmAddAddress> frmAddAddress;
  std::unique_ptr<TfrmPreView> frmPreView;
  std::unique_ptr<TfrmInsertLog> frmInsertLog;
  // The new-mail check's timer, notification-area icon and beeps.
  std::unique_ptr<NewCheckDriver> newCheck;

  // The end of start-up: the window shows, and the new-mail check starts when the settings
  // say so ("起動時に新着チェックをする").
  void ShowAtStart();
};

}  // namespace plumex

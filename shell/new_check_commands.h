// The new-mail check below the window: starting it ("新着チェック", "新着チェックを継続する",
// at start-up), each tick of its timer (count-only over every account, or the receive run of
// one account with auto-forwarding), "終了", and the "受信" command, which forwards what the
// check queued. The window owns the timer, the notification-area icon and the check window;
// it asks this object what to do and shows what a tick found.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "receive/forward_queue.h"
#include "receive/new_mail_check.h"
#include "receive/receive_run.h"
#include "settings/new_check_settings.h"
#include "settings/send_rule_list.h"
#include "shell/main_shell.h"

namespace plumex {

class ReceiveCommands;
class SettingsCommands;
class ComposeCommands;

// What one tick found, for the window to show.
struct NewCheckTickResult {
  std::vector<NewMailRow> rows;  // count-only: messages announced for the first time
  long long received = 0;        // receive mode: messages filed
  // Forwards that failed, each told once (CP932); they are tried again at the next tick.
  std::vector<std::string> forward_failures;
  bool restart = false;  // the timer runs again (the check was not stopped)
  bool FoundNewMail() const { return !rows.empty() || received > 0; }
};

class NewCheckCommands {
 public:
  enum class StartKind {
    AfterDialog,  // "新着チェック": the dialog closed; starts only when "実行" set the start flag
    Continue,     // "新着チェックを継続する": starts with the settings in force
    AtStartUp,    // "起動時に新着チェックをする": starts when the dialog's creation set the flag
  };

  // use_account: makes the named account the one in use (as choosing its node does).
  NewCheckCommands(MainShell& shell, ReceiveCommands& receiving, SettingsCommands& settings,
                   ComposeCommands& compose, const SendRuleList& send_rules,
                   std::function<bool(const std::string&)> use_account);

  // StartNewMailCheck up to hiding the window: the interval is checked first (New.ini may have
  // been edited by hand), so a refused start leaves the window as it was. The interval in
  // seconds, or nothing when the check does not start.
  std::optional<int> Start(StartKind kind);
  // NewMailTick. Never throws: whatever fails is told, and the timer runs again unless the
  // user stopped the check.
  NewCheckTickResult Tick();
  // "終了" of the check window: the check ends, the connection closes, what was announced is
  // forgotten.
  void Finish();
  bool Active() const;  // NewCheckActive: the settings dialog's start flag

  // "受信": the receive run of the account in use (by the rules), then the forwards the check
  // still owes.
  ReceiveResult ReceiveAndForward();
  // Forward failures not yet taken by the window (each told once).
  std::vector<std::string> TakeForwardFailures();

  // The ids whose forward is still owed (failed so far), of every account, as kept on disk.
  std::vector<std::string> OwedForwardIds() const;
  NewMailCheck& Check() { return check_; }
  // The status text while the check is on: "新着ﾁｪｯｸ中（" + interval + "秒間隔）".
  std::string StatusText() const;

 private:
  bool ForwardingMode() const;
  // A receive inside `run`; in forwarding mode each message filed is owed a forward. Then
  // every owed forward goes.
  ReceiveResult ReceiveAndForwardIn(const RunGate::Run& run, bool forwarding);
  void ForwardQueuedNow(const RunGate::Run& run, OwedForwards& owed);
  void ShowWaiting();

  MainShell& shell_;
  ReceiveCommands& receiving_;
  SettingsCommands& settings_;
  ComposeCommands& compose_;
  const SendRuleList& send_rules_;
  std::function<bool(const std::string&)> use_account_;
  NewMailCheck check_;
  std::set<std::string> failure_told_;      // ids whose failed forward was told
  std::vector<std::string> untaken_failures_;
  bool running_ = false;  // started in this run of the program (never in plumex-cli's receive)
  bool ticking_ = false;
  bool forget_after_tick_ = false;  // "終了" came while a tick was polling
};

}  // namespace plumex

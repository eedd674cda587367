// The receive commands of the main window: "受信", the stop commands ("中止", "切断",
// "受信停止", Escape), "メールを開く", applying the message rules to the folder on screen,
// and the labels of the folders that received mail.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "receive/message_rules.h"
#include "receive/receive_run.h"
#include "shell/main_shell.h"

namespace plumex {

class ReceiveCommands {
 public:
  // rules: the live receive rules the application core owns.
  ReceiveCommands(MainShell& shell, RuleList& rules);

  // "受信": the receive run of the account in use, then the list, the tree and the labels
  // show what it filed, and a run that ended early says why. Nothing when a run is going on.
  // `selected`: the server numbers of a selective receive (ascending), on the open session.
  ReceiveResult Receive(std::vector<int> selected = {});
  // The same inside a run already going on (the new-mail check's tick, "受信" with its
  // forwards). forward_queue: the check's forwarding mode, each message filed is queued there
  // (and no rule moves it); null for a run that files by the rules.
  // forward_queued: told after each message that joined the queue.
  ReceiveResult ReceiveIn(const RunGate::Run& run, std::vector<int> selected = {},
                          std::vector<std::string>* forward_queue = nullptr,
                          std::function<void()> forward_queued = nullptr);
  bool Receiving() const { return receiving_; }
  // "中止", "切断", "受信停止", Escape: ends the run going on (the next one starts afresh).
  void StopReceiving();
  // "メールを開く": files each message file; stops at the first that fails. The number filed
  // (files already fetched or rejected by a rule are not), or -1 after a failure.
  int OpenMessageFiles(const std::vector<std::filesystem::path>& files);
  // The same for the files chosen in an open dialog (none: nothing happens).
  int OpenChosenMessageFiles();
  // "現在のフォルダに適用": the rules on the folder on screen, then "完了".
  void ApplyRules();
  // AddToFolderLabel: path relative to "受信\" with a trailing "\".
  void AddToFolderLabel(const std::string& path, long long count);

  RuleList& Rules() { return rules_; }

 private:
  void ShowRunResult(const ReceiveResult& result);
  void NewMailFiled(const FolderNewCounts& counts);

  MainShell& shell_;
  RuleList& rules_;
  bool receiving_ = false;
};

}  // namespace plumex

// Server delete mode ("メール削除モード") and selective receiving: the mailbox on the server
// listed in the message list, deletion candidates, deleting there, and receiving chosen
// messages. Every command that acts on listed messages in a later session first checks that
// each is still the message listed (see LocateListed), so shifted numbers never hit the wrong mail.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "receive/server_mailbox.h"
#include "settings/deletion_candidates.h"
#include "shell/main_shell.h"
#include "shell/receive_commands.h"

namespace plumex {

// The question before "削除する" deletes the chosen rows on the server.
std::string ServerDeleteQuestion(size_t count);

// The row-icon value of a deletion candidate in the message list's priority column.
inline constexpr std::string_view kCandidatePriority = "D";

class ServerDeleteCommands {
 public:
  // `candidates`: the live candidate server list, the settings dialog's too.
  ServerDeleteCommands(MainShell& shell, ReceiveCommands& receive, DeletionCandidates& candidates);

  // "メール削除モード開始": connects, lists the mailbox and stays connected. False when the
  // listing did not complete (no connection, a failed fetch, a stop).
  bool EnterDeleteMode();
  // "削除する": the selected rows, once the person said yes to deleting them on the server.
  void DeleteSelected();
  // "・削除候補にする" / "・削除候補からはずす": the servers of the selected rows.
  void MarkSelected(bool candidate);
  // "・削除候補のみ削除する".
  void DeleteCandidates();
  // "メール番号で削除": one message by its number, after showing it and asking.
  void DeleteByNumber();
  // "指定したメールを受信".
  void ReceiveSelected();
  // "メール削除モード解除".
  void LeaveMode() { shell_.LeaveServerDelete(); }

  // The same for messages named outside the window (plumex-cli): by their UIDL whatever their
  // numbers are by now. The messages no longer on the server are left alone and shown.
  // Nothing when the server could not be reached (that was shown).
  std::optional<DeleteOutcome> DeleteMessages(const std::vector<ServerMessage>& targets);
  struct ReceiveOutcome {
    std::vector<ServerMessage> missing;
    ReceiveResult result;
  };
  std::optional<ReceiveOutcome> ReceiveMessages(const std::vector<ServerMessage>& targets);

  // The messages of the last listing, in server order (row k is message k + 1 as listed).
  const std::vector<ServerMessage>& Listed() const { return listed_; }

 // The server list is on screen: "・削除候補のみ削除する" and "メール削除モード解除" act.
  bool InMode() const { return shell_.State().ViewMode == ViewModes::ServerDelete; }
  // "削除する", "・削除候補にする", "・削除候補からはずす": rows of the server list chosen.
  bool CanActOnSelected() const { return InMode() && !shell_.List().Selection().empty(); }

 private:
  // A command chosen while the listing runs (the window is pumped between headers) stops the
  // listing and does nothing else: the connection is the listing's until it ends.
  bool StopsListing();
  std::vector<ServerMessage> SelectedMessages() const;
  // Connects once; false (the failure shown) when that fails.
  bool ConnectOnce(const RunGate::Run& run);
  // Closes the connection and lists the mailbox afresh.
  void Relist();
  void ShowMissing(const std::vector<ServerMessage>& missing, bool receiving);
  void FillList();

  MainShell& shell_;
  ReceiveCommands& receive_;
  std::vector<ServerMessage> listed_;
  bool listing_ = false;
  DeletionCandidates& candidates_;
};

}  // namespace plumex

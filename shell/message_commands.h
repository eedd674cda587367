// Moving and deleting messages and store maintenance, as the main window, plumex-cli and the
// tests give them: dropping list rows on a tree node, local delete ("ローカルメール削除", the
// toolbar's "メール削除", the list's "メールを削除する", the Delete key), "フォルダ内メール全削除"
// and "メンテナンス". The store does the work (store/row_move.h, row_delete.h, maintenance.h);
// this keeps the list, the labels and the state in step with it.
#pragma once

#include <string>
#include <vector>

#include "shell/main_shell.h"
#include "store/maintenance.h"
#include "store/row_move.h"

namespace plumex {

class ServerDeleteCommands;

// A row a command acts on, fixed when the command is given: what comes after (a question box,
// a new selection) never changes which messages are touched.
struct ChosenMessage {
  std::string row;     // the eight fields, rebuilt from the list item
  std::string folder;  // store path of the folder holding the message
};

class MessageCommands {
 public:
  explicit MessageCommands(MainShell& shell);
  // The server delete mode whose list the delete commands act on while it is shown.
  void SetServerDelete(ServerDeleteCommands* server_delete) { server_delete_ = server_delete; }

  // The list's rows at these display rows (invalid rows, and extraction rows outside the
  // receive folders, are left out).
  std::vector<ChosenMessage> RowsAt(const std::vector<size_t>& display_rows) const;
  std::vector<ChosenMessage> SelectedRows() const { return RowsAt(shell_.List().Selection()); }
  // The rows of a receive folder's index with these ids, in the order given; ids it does not
  // list are returned in `missing` (plumex-cli).
  std::vector<ChosenMessage> RowsOfFolder(const std::string& folder, const std::vector<std::string>& ids,
                                      std::vector<std::string>& missing) const;

  // Whether rows of the list on screen can be dragged, and dropped on this node: never in a
  // server list or the drafts view, never on the root "受信", on "一時保存" or on nothing.
  bool CanDragRows() const;
  bool CanDropOn(Trees tree, const FolderNode* node) const;
  // The number of rows that stayed where they were (already in the target, or files that
  // could not move); each was reported.
  size_t DropRows(const std::vector<ChosenMessage>& rows, Trees tree, FolderNode* node);

  // "ローカルメール削除", the tool bar's "メール削除", the list's "メールを削除する" and the Delete
  // key: the chosen rows deleted locally, or in a server list on the server ("削除する").
  // Offered where it acts: rows chosen, in a view whose rows can be deleted.
  bool CanDelete() const;
  void Delete();
  // Local delete of the rows chosen now; the question is asked after they are fixed.
  bool CanDeleteLocally() const;
  void DeleteLocally() { DeleteLocally(SelectedRows(), true); }
  // With ask false no question is asked (plumex-cli, whose command line is the answer).
  // The number of rows whose messages (or their attachments) could not be deleted; each was
  // reported.
  size_t DeleteLocally(const std::vector<ChosenMessage>& rows, bool ask);

  // "フォルダ内メール全削除": the receive tree's selected node's own folder, read from its own
  // index, whatever folder the list shows.
  bool CanDeleteFolderMail() const;
  void DeleteFolderMail();

  // "未読に戻す", "既読にする": the rows of a server list are no stored messages.
  bool CanMarkRead() const;
  // "着色" with this mark: it goes to the first chosen stored row, and the colour that row
  // has already changes nothing.
  bool CanColour(std::string_view mark) const;

  // "メンテナンス"; RepairStore is its repair alone, without questions (plumex-cli).
  void Maintain();
  std::vector<FolderRepair> RepairStore();

 private:
  void ReportFailures(const std::vector<RowFailure>& failed, bool moving);
  void SetFolderLabel(Trees tree, const std::string& path, long long unread);

  MainShell& shell_;
  ServerDeleteCommands* server_delete_ = nullptr;
};

}  // namespace plumex

// The commands of the main window: start-up, the close question and shutdown, the folder
// trees, the message list and the viewer. Qt-free; windows drive it and render its models.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "settings/app_settings.h"
#include "shell/folder_tree.h"
#include "shell/main_state.h"
#include "shell/message_list.h"
#include "shell/run_gate.h"
#include "port/ui_port.h"
#include "protocol/connection.h"

namespace plumex {

class Pop3Client;

class MainShell {
 public:
  MainShell(UiPort& ui, std::filesystem::path mail_root);
  ~MainShell();

  MainState& State() { return state_; }
  const MainState& State() const { return state_; }
  FolderTree& ReceiveTree() { return receive_tree_; }  // TreeView1
  FolderTree& SendTree() { return send_tree_; }        // TreeView2
  MessageList& List() { return list_; }                // ListView1
  const MessageList& List() const { return list_; }
  UiPort& Ui() { return ui_; }

  // The one command that pumps at a time, and its stop.
  RunGate& Gate() { return gate_; }
  const RunGate& Gate() const { return gate_; }

  // The POP3 connection of the account in use; it pumps the window while it waits and breaks
  // off when the run going on is stopped.
  Pop3Client& Pop3() { return *pop3_; }
  // Options for a connection of a run: the window pumps while it waits, and the run's stop
  // ends it.
  ConnectionOptions RunConnection(const RunGate::Run& run);
  // Closes the POP3 connection when open.
  void DisconnectPop3();

  // --- Start-up and shutdown -------------------------------------------------------------
  // FormCreate up to showing the window; the window applies State().Settings afterwards.
  // check_start_password asks for the start-up password when the lock is on (true: the program
  // goes on); false ends the start at once, before anything of the store is loaded.
  void FormCreate(const std::function<bool()>& check_start_password = nullptr);
  // The close question; true when the window may close.
  bool FormCloseQuery();
  // Writes Account.ini and the settings file; `window` carries the sizes of the window.
  void FormDestroy(const AppSettings& window);
  // "切断" (also Escape, "中止").
  void Disconnect();
  // "メール削除モード解除": stops, closes the connection and, in server delete mode, goes back
  // to the folder on screen.
  void LeaveServerDelete();
  // Empties the message list and the viewer (the server list is about to be shown).
  void ClearMessageView();
  // Empties the viewer the one way every command does (after a delete, a move, a new list).
  void EmptyViewer();
  // After any send filed a copy: the send side's indexes in memory are read again, and a send
  // folder on screen is listed again when its rows changed, so no later command writes a stale
  // index over the new row.
  void RefreshSendSide();

  // --- Folder trees ---------------------------------------------------------------------
  // The folder of the node goes on screen. When the node is an account's own, that account
  // comes into use: its position (from 0) is returned for the account settings to be loaded.
  std::optional<size_t> SelectReceiveNode(FolderNode* node);
  void SelectSendNode(FolderNode* node);
  void CreateFolder();  // "フォルダ作成"
  void RenameFolder();  // "フォルダ名変更"
  void DeleteFolder();  // "フォルダ削除"
  bool CanEditInPlace(const FolderNode* node) const;
  // On the chosen node of the tree in use: never on a tree's top; nothing is made directly
  // under "受信" (accounts are made in the account window).
  bool CanCreateFolder() const;
  bool CanRenameFolder() const;
  bool CanDeleteFolder() const;
  // A run going on files into the receive folders of the account in use, works on the index
  // on screen or holds the POP3 connection: the receive folder on screen may not change.
  bool ReceiveFolderHeld() const;
  // In-place rename of a receive-tree node; false when the old label must stay.
  bool RenameInPlace(FolderNode* node, const std::string& new_text);

  // --- Message list ---------------------------------------------------------------------
  void ListFolderIndex(const SortedLineList& rows);
  void ColumnClick(int column);
  void ChooseSort(SortKinds kind);
  // The column header's arrow: the column the rows are sorted by; nothing where the rows keep
  // the server's order or their own.
  struct SortArrow {
    int column = 0;
    bool descending = false;
  };
  std::optional<SortArrow> ListSortArrow() const;
  // A send folder's list and the drafts show the recipient where the others show the sender.
  bool ListShowsRecipients() const;
  void ShowMessage(size_t display_row);
  void MarkSelected(std::string_view mark);  // "未読に戻す" "1", "既読にする" "2"
  void ColourMark(std::string_view mark);    // "着色": "3".."7", "2"

  // --- Viewer ---------------------------------------------------------------------------
  void ShowHtml();  // "HTML表示"
  void ShowText();  // "テキスト表示(標準)"
  // "ソース表示": the shown message's original as text (UTF-8), line ends as received; nothing,
  // and a message saying so, when the message keeps none.
  std::optional<std::string> ShownSource();
  bool CanShowSource() const { return !state_.Viewer.message_file.empty(); }
  void SetHeaderShown(bool shown);  // "ヘッダ表示" / "ヘッダ非表示"
  void PreviewAttachment(const std::filesystem::path& file);
  void ClickAttachment(size_t entry);
  void OpenAttachment(size_t entry);  // double click, "直接実行"
  void SaveAttachment(size_t entry);  // "名前を付けて保存"
  void SaveAllAttachments();          // "すべてを保存"
  // "名前を付けて保存" and "直接実行" act on an entry of the list; "すべてを保存" on a list
  // that has one.
  bool CanActOnAttachment(std::optional<size_t> entry) const;
  bool CanSaveAllAttachments() const { return !state_.Viewer.attachments.empty(); }
  // Link detection at a position of the body; true when the pointer is to be the hand.
  bool DetectLink(std::u16string_view body, size_t position);
  void OpenHoverLink();

  // Reads the message `id` of the folder `dir` (store path) into v as the viewer shows it:
  // texts, shown texts and attachment names; nothing is marked. False when it has no file.
  bool ReadMessage(const std::string& dir, const std::string& id, ViewerContent& v) const;

  // A listed row's subject or sender as sent (code page 932 carrying what it lacks), read from
  // the message's original when the stored column has a substitute; nothing when the column
  // shows as stored.
  std::optional<std::string> ShownColumn(size_t display_row, int column);

  // The message directory of a listed row (store path).
  std::string MessageDirOf(size_t display_row) const;
  std::filesystem::path Native(std::string_view store_path) const;

 private:
  struct IndexOnScreen {
    FolderIndex* index = nullptr;
    std::filesystem::path file;
  };
  IndexOnScreen CurrentListedIndex();
  struct MarkTargets;
  // Sets the Mark of a listed row's stored row (its other fields as stored); false when the
  // index does not list it.
  bool MarkStoredRow(size_t display_row, std::string_view mark, MarkTargets& targets);
  void SaveMarkTargets(MarkTargets& targets);
  void ScanFolders(FolderTree& tree, FolderNode* node, std::string_view index_name);
  void RefreshListedLabel();
  void ClearViewer();
  FolderTree& TreeOf(Trees which) { return which == Trees::Receive ? receive_tree_ : send_tree_; }
  bool CheckFolderName(const std::string& name);
  void FolderRenamed(const std::string& old_path, const std::string& new_path);
  void FolderRemoved(const std::string& path);
  void RenameAccountFiles(const std::filesystem::path& account_dir);
  void SetMode();

  UiPort& ui_;
  MainState state_;
  RunGate gate_;
  // Subjects and senders as sent, by message directory and id, for the rows asked for so far.
  std::unordered_map<std::string, std::pair<std::string, std::string>> shown_columns_;
  std::unique_ptr<Pop3Client> pop3_;
  FolderTree receive_tree_;
  FolderTree send_tree_;
  MessageList list_;
};

}  // namespace plumex

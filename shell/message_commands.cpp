#include "shell/message_commands.h"

#include <cerrno>
#include <map>
#include <optional>
#include <set>
#include <unordered_set>

#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "shell/message_command_texts.h"
#include "shell/server_delete_commands.h"
#include "shell/viewer_offers.h"
#include "shell/shell_texts.h"
#include "store/file_key.h"
#include "store/folder_label.h"
#include "store/index_row.h"
#include "store/row_delete.h"
#include "store/store_layout.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

std::string IdOf(const std::string& row) { return FieldOf(row, IndexRow::kMessageId); }

// "受信\" + account + "\" of a receive folder's store path.
std::string AccountDirOf(const std::string& folder) {
  auto parts = SplitStorePath(folder);
  return parts.size() >= 2 ? AccountFolderPath(parts[1]) : std::string();
}

// The fetched-id list of the account a folder belongs to, and its file: the list in memory when
// that account is the one on screen, else the list read into `loaded`.
ReceivedIdList* IdsOfFolder(MainShell& shell, const std::string& folder, ReceivedIdList& loaded,
                            std::filesystem::path& file) {
  const std::string ids_dir = AccountDirOf(folder);
  file = shell.Native(ids_dir) / std::string(kReceivedIdListName);
  if (ids_dir == shell.State().CurrentAccountDir) return &shell.State().ReceivedIds;
  loaded = ReceivedIdList::Open(file);
  return &loaded;
}

bool IsReceiveView(ViewModes mode) {
  return mode == ViewModes::Normal || mode == ViewModes::Extract || mode == ViewModes::RelatedExtract;
}

std::string ReasonText(const std::error_code& e) {
  using std::errc;
  if (e == errc::permission_denied || e == errc::operation_not_permitted) return Sjis(texts::kReasonDenied);
  if (e == errc::read_only_file_system) return Sjis(texts::kReasonReadOnly);
  if (e == errc::no_space_on_device) return Sjis(texts::kReasonNoSpace);
  if (e == errc::file_exists || e == errc::directory_not_empty || e == errc::is_a_directory ||
      e == errc::not_a_directory)
    return Sjis(texts::kReasonInTheWay);
  if (e == errc::no_such_file_or_directory) return Sjis(texts::kReasonNotListed);
  return Sjis(texts::kReasonOther) + " (" + e.message() + ")";
}

// The rows of one folder among the chosen ones, in their order.
std::map<std::string, std::vector<std::string>> ByFolder(const std::vector<ChosenMessage>& rows) {
  std::map<std::string, std::vector<std::string>> groups;
  for (const auto& r : rows) groups[r.folder].push_back(r.row);
  return groups;
}

}  // namespace

MessageCommands::MessageCommands(MainShell& shell) : shell_(shell) {}

std::vector<ChosenMessage> MessageCommands::RowsAt(const std::vector<size_t>& display_rows) const {
  const MainState& s = shell_.State();
  const MessageList& list = shell_.List();
  std::vector<ChosenMessage> rows;
  for (size_t r : display_rows) {
    if (r >= list.Count() || !list.IsValid(r)) continue;
    std::string folder;
    switch (s.ViewMode) {
      case ViewModes::SendFolder: folder = s.CurrentSendFolderPath; break;
      case ViewModes::Drafts: folder = DraftFolderPath(); break;
      default: folder = shell_.MessageDirOf(r);
    }
    // An extraction may list sent mail too; only rows of receive folders can be moved or
    // deleted by the folder they name.
    if (s.ViewMode == ViewModes::Extract && folder.rfind(ReceiveRootName() + "\\", 0) != 0) continue;
    rows.push_back({list.RebuildRow(r), folder});
  }
  return rows;
}

std::vector<ChosenMessage> MessageCommands::RowsOfFolder(const std::string& folder, const std::vector<std::string>& ids,
                                                     std::vector<std::string>& missing) const {
  const MainState& s = shell_.State();
  FolderIndex loaded;
  const FolderIndex* index = &s.CurrentIndex;
  if (folder != s.CurrentFolderPath) {
    loaded = FolderIndex::LoadIfExists(shell_.Native(folder) / std::string(kReceiveIndexName));
    index = &loaded;
  }
  std::vector<ChosenMessage> rows;
  for (const auto& id : ids) {
    if (auto at = FindRow(*index, id)) rows.push_back({index->Rows()[*at], folder});
    else missing.push_back(id);
  }
  return rows;
}

bool MessageCommands::CanDragRows() const {
  ViewModes mode = shell_.State().ViewMode;
  return IsReceiveView(mode) || mode == ViewModes::SendFolder;
}

bool MessageCommands::CanDropOn(Trees tree, const FolderNode* node) const {
  if (!node || !CanDragRows()) return false;
  if (tree == Trees::Receive) return node->Level() > 0;
  return !(node->Level() == 0 && node->FolderName() == DraftRootName());
}

void MessageCommands::SetFolderLabel(Trees tree, const std::string& path, long long unread) {
  FolderTree& t = tree == Trees::Receive ? shell_.ReceiveTree() : shell_.SendTree();
  if (FolderNode* node = t.FindByPath(path)) t.SetLabel(node, LabelOfFolder(node->FolderName(), unread));
}

void MessageCommands::ReportFailures(const std::vector<RowFailure>& failed, bool moving) {
  if (failed.empty()) return;
  std::string text = Sjis(moving ? texts::kNotMoved : texts::kNotDeleted);
  for (const auto& f : failed)
    text += "\r\n" + Sjis(texts::kDuplicateSubjectOpen) + FieldOf(f.row, IndexRow::kSubject) +
            Sjis(texts::kDuplicateSubjectClose) + ": " + ReasonText(f.error);
  shell_.Ui().MessageBox(text, MsgIcon::Warning);
}

size_t MessageCommands::DropRows(const std::vector<ChosenMessage>& rows, Trees tree, FolderNode* node) {
  if (rows.empty() || !CanDropOn(tree, node)) return 0;
  MainState& s = shell_.State();
  const bool from_send = s.ViewMode == ViewModes::SendFolder;
  const std::string target_path = node->Path();

  MoveTarget target;
  ReceivedIdList loaded_target_ids;
  std::string target_ids_dir;
  if (tree == Trees::Receive) {
    target.index_file = shell_.Native(target_path) / std::string(kReceiveIndexName);
    target.dir = shell_.Native(target_path);
    target_ids_dir = AccountDirOf(target_path);
    target.ids_file = shell_.Native(target_ids_dir) / std::string(kReceivedIdListName);
    if (target_ids_dir == s.CurrentAccountDir) {
      target.ids = &s.ReceivedIds;
    } else {
      loaded_target_ids = ReceivedIdList::Open(target.ids_file);
      target.ids = &loaded_target_ids;
    }
  } else {
    target.index_file = shell_.Native(target_path) / std::string(kSendIndexName);
    // Message files of every send folder stay in "送信\".
    target.dir = shell_.Native(SendFolderPath());
  }
  EnsureDirectory(shell_.Native(target_path));

  MoveOptions options;
  options.check_duplicates = !from_send;
  options.files = from_send ? (tree == Trees::Receive ? FileAction::Copy : FileAction::None) : FileAction::Move;

  std::vector<std::string> duplicates;
  std::vector<RowFailure> failed;
  std::set<std::pair<std::string, std::string>> left;  // folder, id of rows that left the list
  bool target_changed = false;
  std::optional<long long> source_left;

  for (auto& [folder, group] : ByFolder(rows)) {
    // Rows dropped on the folder they come from stay.
    if (folder == target_path) continue;
    MoveSource source;
    FolderIndex loaded_index;
    ReceivedIdList loaded_ids;
    std::vector<std::string> moving = group;
    if (from_send) {
      source.dir = shell_.Native(SendFolderPath());
      const bool root = folder == SendFolderPath();
      source.index = root ? &s.SendRootIndex.Rows() : &s.SendFolderIndex.Rows();
      source.index_file = shell_.Native(folder) / std::string(kSendIndexName);
      options.same_account = tree == Trees::Send;
    } else {
      source.dir = shell_.Native(folder);
      source.index_file = source.dir / std::string(kReceiveIndexName);
      if (folder == s.CurrentFolderPath && s.ViewMode != ViewModes::Extract) {
        source.index = &s.CurrentIndex.Rows();
      } else {
        // An extraction row names its folder: the row it moves is that folder's own, mark and all.
        loaded_index = FolderIndex::Open(source.index_file);
        source.index = &loaded_index.Rows();
        moving.clear();
        for (const auto& r : group) {
          if (auto at = FindRow(loaded_index, IdOf(r))) moving.push_back(loaded_index.Rows()[*at]);
          else failed.push_back({r, std::make_error_code(std::errc::no_such_file_or_directory)});
        }
      }
      source.ids = IdsOfFolder(shell_, folder, loaded_ids, source.ids_file);
      options.same_account = tree == Trees::Receive && AccountDirOf(folder) == target_ids_dir;
    }
    MoveResult result = MoveRows(moving, source, target, options);
    duplicates.insert(duplicates.end(), result.duplicates.begin(), result.duplicates.end());
    failed.insert(failed.end(), result.failed.begin(), result.failed.end());
    target_changed |= result.target_changed;
    if (options.files != FileAction::Copy)
      for (const auto& id : result.moved_ids) left.emplace(folder, id);
    if (source.index) {
      source_left = static_cast<long long>(source.index->Size());
      if (!from_send) SetFolderLabel(Trees::Receive, folder, CountUnread(*source.index));
      else SetFolderLabel(Trees::Send, folder, CountUnread(*source.index));
      if (!from_send && folder == s.CurrentFolderPath && source.index == &loaded_index.Rows())
        s.CurrentIndex = std::move(loaded_index);
    }
  }

  for (const auto& row : duplicates)
    shell_.Ui().MessageBox(Sjis(texts::kDuplicateSubjectOpen) + FieldOf(row, IndexRow::kSubject) +
                           Sjis(texts::kDuplicateSubjectClose) + "\r\n" + Sjis(texts::kDuplicateCannotMove));
  ReportFailures(failed, true);

  if (!left.empty()) {
    const MessageList& list = shell_.List();
    shell_.List().RemoveRows([&](size_t r) {
      std::string folder = s.ViewMode == ViewModes::SendFolder ? s.CurrentSendFolderPath : shell_.MessageDirOf(r);
      return left.count({folder, std::string(list.MessageId(r))}) > 0;
    });
  }
  shell_.EmptyViewer();

  if (target_changed) {
    // The target's label, and any copy of its index the window holds, follow the file.
    FolderIndex written = FolderIndex::LoadIfExists(target.index_file);
    SetFolderLabel(tree, target_path, CountUnread(written));
    if (tree == Trees::Receive && target_path == s.CurrentFolderPath) s.CurrentIndex = std::move(written);
    else if (tree == Trees::Send && target_path == SendFolderPath()) s.SendRootIndex = std::move(written);
    else if (tree == Trees::Send && target_path == s.CurrentSendFolderPath) s.SendFolderIndex = std::move(written);
  }
  s.UnreadCount = 0;
  if (s.ViewMode == ViewModes::Normal || s.ViewMode == ViewModes::RelatedExtract) s.UnreadCount = CountUnread(s.CurrentIndex);
  long long count = source_left && s.ViewMode != ViewModes::Extract ? *source_left : static_cast<long long>(shell_.List().Count());
  shell_.Ui().SetStatusText(0, std::to_string(count) + Sjis(texts::kRowCountSuffix));
  return duplicates.size() + failed.size();
}

bool MessageCommands::CanDelete() const {
  if (server_delete_ && server_delete_->InMode()) return server_delete_->CanActOnSelected();
  return CanDeleteLocally();
}

void MessageCommands::Delete() {
  if (server_delete_ && server_delete_->InMode()) server_delete_->DeleteSelected();
  else DeleteLocally();
}

bool MessageCommands::CanMarkRead() const { return !IsServerList(shell_.State().ViewMode); }

bool MessageCommands::CanColour(std::string_view mark) const {
  const MessageList& rows = shell_.List();
  const std::vector<size_t> chosen = rows.Selection();
  return OffersOnScreen(shell_, false).colour && rows.IsValid(chosen.front()) && rows.Mark(chosen.front()) != mark;
}

bool MessageCommands::CanDeleteLocally() const {
  const MainState& s = shell_.State();
  if (shell_.List().Selection().empty()) return false;
  if (s.ViewMode == ViewModes::Drafts || s.ViewMode == ViewModes::SendFolder) return true;
  if (!IsReceiveView(s.ViewMode)) return false;
  const FolderNode* node = const_cast<MainShell&>(shell_).ReceiveTree().Selected();
  return node && (node->Level() == 1 || node->Level() == 2);
}

size_t MessageCommands::DeleteLocally(const std::vector<ChosenMessage>& rows, bool ask) {
  MainState& s = shell_.State();
  if (rows.empty()) return 0;
  // The level rule holds for receive folders only; sent mail and drafts are deleted wherever
  // the receive tree stands.
  // plumex-cli names its folder on the command line, so the rule is the window's alone.
  if (IsReceiveView(s.ViewMode)) {
    const FolderNode* node = shell_.ReceiveTree().Selected();
    if (ask && !(node && (node->Level() == 1 || node->Level() == 2))) return 0;
  } else if (s.ViewMode != ViewModes::Drafts && s.ViewMode != ViewModes::SendFolder) {
    return 0;
  }
  shell_.EmptyViewer();

  std::set<std::pair<std::string, std::string>> left;  // folder, id
  std::vector<RowFailure> failed;
  auto collect = [&](const std::string& folder, const DeleteResult& result) {
    for (const auto& id : result.deleted_ids) left.emplace(folder, id);
    failed.insert(failed.end(), result.failed.begin(), result.failed.end());
  };

  if (s.ViewMode == ViewModes::Drafts) {
    std::vector<std::string> lines;
    for (const auto& r : rows) lines.push_back(r.row);
    DeletePlace place;
    place.dir = shell_.Native(DraftFolderPath());
    place.index_file = place.dir / std::string(kDraftIndexName);
    place.attachments = AttachmentForm::DraftList;
    // The drafts' index is read afresh: a draft saved since the view was filled stays listed.
    s.DraftIndex = FolderIndex::LoadIfExists(place.index_file);
    place.index = &s.DraftIndex.Rows();
    collect(DraftFolderPath(), DeleteRows(lines, place));
  } else if (s.ViewMode == ViewModes::SendFolder) {
    const std::string& folder = s.CurrentSendFolderPath;
    std::vector<std::string> lines;
    for (const auto& r : rows) lines.push_back(r.row);
    const bool root = folder == SendFolderPath();
    DeletePlace place;
    place.dir = shell_.Native(SendFolderPath());
    place.index = root ? &s.SendRootIndex.Rows() : &s.SendFolderIndex.Rows();
    place.index_file = shell_.Native(folder) / std::string(kSendIndexName);
    place.every_row_of_id = true;
    collect(folder, DeleteRows(lines, place));
    if (!root) s.SendRootIndex = FolderIndex::LoadIfExists(shell_.Native(SendFolderPath()) / std::string(kSendIndexName));
  } else {
    if (ask) {
      MsgAnswer a = shell_.Ui().MessageBox(Sjis(texts::kDeleteSelected) + "\r\n\r\n" + Sjis(texts::kAreYouSure),
                                           MsgIcon::Warning, MsgButtons::YesNoCancel);
      if (a != MsgAnswer::Yes) return 0;
    }
    for (auto& [folder, group] : ByFolder(rows)) {
      DeletePlace place;
      FolderIndex loaded_index;
      ReceivedIdList loaded_ids;
      place.dir = shell_.Native(folder);
      place.index_file = place.dir / std::string(kReceiveIndexName);
      if (folder == s.CurrentFolderPath) {
        place.index = &s.CurrentIndex.Rows();
      } else {
        loaded_index = FolderIndex::Open(place.index_file);
        place.index = &loaded_index.Rows();
      }
      place.ids = IdsOfFolder(shell_, folder, loaded_ids, place.ids_file);
      place.ref_lines = true;
      collect(folder, DeleteRows(group, place));
      SetFolderLabel(Trees::Receive, folder, CountUnread(*place.index));
    }
    s.UnreadCount = CountUnread(s.CurrentIndex);
  }
  ReportFailures(failed, false);

  const bool send_side = s.ViewMode == ViewModes::SendFolder || s.ViewMode == ViewModes::Drafts;
  const std::string listed = s.ViewMode == ViewModes::Drafts ? DraftFolderPath() : s.CurrentSendFolderPath;
  const MessageList& list = shell_.List();
  shell_.List().RemoveRows([&](size_t r) {
    return left.count({send_side ? listed : shell_.MessageDirOf(r), std::string(list.MessageId(r))}) > 0;
  });
  shell_.Ui().SetStatusText(0, std::to_string(shell_.List().Count()) + Sjis(texts::kRowCountSuffix));
  return failed.size();
}

bool MessageCommands::CanDeleteFolderMail() const {
  const FolderNode* node = const_cast<MainShell&>(shell_).ReceiveTree().Selected();
  return node && node->Level() > 0;
}

void MessageCommands::DeleteFolderMail() {
  MainState& s = shell_.State();
  FolderNode* node = shell_.ReceiveTree().Selected();
  if (!node || node->Level() == 0) return;
  // Fixed before the question: the folder of the node chosen when the command was given.
  const std::string folder = node->Path();
  MsgAnswer a = shell_.Ui().MessageBox(Sjis(texts::kDeleteFolderMail) + "\r\n\r\n" + Sjis(texts::kAreYouSure),
                                       MsgIcon::Warning, MsgButtons::YesNoCancel);
  if (a != MsgAnswer::Yes) return;
  DeletePlace place;
  FolderIndex index = FolderIndex::Open(shell_.Native(folder) / std::string(kReceiveIndexName));
  ReceivedIdList loaded_ids;
  place.dir = shell_.Native(folder);
  place.index = &index.Rows();
  place.index_file = place.dir / std::string(kReceiveIndexName);
  place.ids = IdsOfFolder(shell_, folder, loaded_ids, place.ids_file);
  place.ref_lines = true;
  const std::vector<std::string> rows = index.Rows().Lines();
  DeleteResult result = DeleteRows(rows, place);
  ReportFailures(result.failed, false);
  SetFolderLabel(Trees::Receive, folder, CountUnread(index));
  // The list changes only when it shows this folder.
  if (folder == s.CurrentFolderPath && s.ViewMode == ViewModes::Normal) {
    std::unordered_set<std::string> gone(result.deleted_ids.begin(), result.deleted_ids.end());
    const MessageList& list = shell_.List();
    shell_.List().RemoveRows([&](size_t r) { return gone.count(std::string(list.MessageId(r))) > 0; });
    s.CurrentIndex = std::move(index);
    s.UnreadCount = CountUnread(s.CurrentIndex);
    shell_.EmptyViewer();
    shell_.Ui().SetStatusText(0, std::to_string(shell_.List().Count()) + Sjis(texts::kRowCountSuffix));
  } else if (folder == s.CurrentFolderPath) {
    s.CurrentIndex = std::move(index);
  }
}

std::vector<FolderRepair> MessageCommands::RepairStore() {
  auto run = shell_.Gate().TryEnter(RunKind::Maintenance);
  if (!run) return {};
  auto go_on = [&] {
    shell_.Ui().Pump();
    return !run->StopRequested();
  };
  bool completed = false;
  std::vector<FolderRepair> done =
      RepairFolders(shell_.Native(ReceiveRootName() + "\\"), ReceiveRootName() + "\\", go_on, &completed);
  // The send tree too: a sent copy that its index lost is listed again.
  if (completed) {
    std::vector<FolderRepair> sent = RepairSendFolders(shell_.Native(SendFolderPath()), SendFolderPath(), go_on);
    done.insert(done.end(), sent.begin(), sent.end());
  }
  return done;
}

void MessageCommands::Maintain() {
  MainState& s = shell_.State();
  if (shell_.Gate().Busy()) return;  // one command at a time; the window greys it meanwhile
  const FolderNode* node = shell_.ReceiveTree().Selected();
  if (!node || node->Level() == 0) {
    shell_.Ui().MessageBox(Sjis(texts::kChooseAccountFirst));
    return;
  }
  MsgAnswer a = shell_.Ui().MessageBox(
      Sjis(texts::kMaintain1) + "\r\n" + Sjis(texts::kMaintain2) + "\r\n\r\n" + Sjis(texts::kMaintain3),
      MsgIcon::Warning, MsgButtons::YesNoCancel);
  if (a != MsgAnswer::Yes) return;
  for (const FolderRepair& r : RepairStore()) SetFolderLabel(Trees::Receive, r.folder, r.unread);
  // The send folder on screen shows a sent copy the repair listed again.
  shell_.RefreshSendSide();
  shell_.Ui().MessageBox(Sjis(texts::kCompleted));
  if (s.CurrentFolderPath.empty()) return;
  s.CurrentIndex = FolderIndex::Open(shell_.Native(s.CurrentFolderPath) / std::string(kReceiveIndexName));
  if (s.ViewMode == ViewModes::Normal) shell_.ListFolderIndex(s.CurrentIndex.Rows());
}

}  // namespace plumex

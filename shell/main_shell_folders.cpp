// MainShell: the folder trees: scan, node selection, and the folder commands of their
// context menus.
#include "platform/directories.h"
#include "text/sjis_text.h"
#include "settings/account_list.h"
#include "shell/main_shell.h"
#include "shell/shell_texts.h"
#include "store/folder_label.h"
#include "store/store_layout.h"

namespace plumex {

void MainShell::ScanFolders(FolderTree& tree, FolderNode* node, std::string_view index_name) {
  std::string dir = node->Path();
  for (const std::string& name : ListSubdirectories(Native(dir))) {
    if (name == kAttachmentDirName) continue;
    std::string sub = dir + name + "\\";
    const long long unread = CountUnreadInIndexFile(Native(sub) / std::string(index_name));
    FolderNode* child = tree.Add(node, LabelOfFolder(name, unread));
    ScanFolders(tree, child, index_name);
  }
}

bool MainShell::ReceiveFolderHeld() const {
  const auto kind = gate_.CurrentKind();
  return kind && *kind != RunKind::Send && *kind != RunKind::Queue && *kind != RunKind::Search;
}

std::optional<size_t> MainShell::SelectReceiveNode(FolderNode* node) {
  MainState& s = state_;
  // The folder and account on screen stay while a run files into them or holds the server
  // connection; the tree goes back to the folder on screen.
  if (ReceiveFolderHeld()) return std::nullopt;
  s.ActiveTree = Trees::Receive;
  if (!node) return std::nullopt;
  receive_tree_.Select(node);
  ui_.SetStatusText(1, "");
  SetMode();
  std::string path = node->Path();
  if (s.ViewMode == ViewModes::Normal && path == s.CurrentFolderPath) return std::nullopt;
  if (s.ViewMode == ViewModes::ServerDelete) DisconnectPop3();
  s.ViewMode = ViewModes::Normal;
  if (node->Level() == 0) {
    list_.Clear();
    ui_.SetStatusText(0, "");
    s.CurrentFolderPath.clear();
    return std::nullopt;
  }
  s.Viewer.attachments.clear();
  ui_.ViewerChanged();
  s.CurrentFolderPath = path;
  // A folder removed behind our back is made again rather than failing to open its index.
  EnsureDirectory(Native(path));
  s.CurrentIndex = FolderIndex::Open(Native(path) / std::string(kReceiveIndexName));
  ListFolderIndex(s.CurrentIndex.Rows());

  FolderNode* account = node;
  while (account->Level() > 1) account = account->Parent();
  std::string account_name = account->FolderName();
  std::optional<size_t> loaded;
  if (node == account) {
    if (auto i = FindAccount(s.AccountList, account_name)) {
      s.AccountPosition = *i + 1;
      s.CurrentAccount = account_name;
      loaded = *i;
      ui_.SetAccountLabel(Sjis(texts::kAccountLabelPrefix) + account_name);
    }
  }
  std::string account_dir = AccountFolderPath(account_name);
  if (account_dir != s.CurrentAccountDir) {
    s.CurrentAccountDir = account_dir;
    s.ReceivedIds = ReceivedIdList::Open(Native(account_dir) / std::string(kReceivedIdListName));
  }
  return loaded;
}

void MainShell::SelectSendNode(FolderNode* node) {
  MainState& s = state_;
  if (!node) return;
  send_tree_.Select(node);
  s.ActiveTree = Trees::Send;
  ui_.SetStatusText(1, "");
  SetMode();
  if (s.ViewMode == ViewModes::ServerDelete) DisconnectPop3();
  std::string path = node->Path();
  if (node->Level() == 0 && node->FolderName() == DraftRootName()) {
    list_.Clear();
    s.ViewMode = ViewModes::Drafts;
    EnsureDirectory(Native(path));
    auto file = Native(path) / std::string(kDraftIndexName);
    s.DraftIndex = FolderIndex();
    if (FileExists(file)) {
      s.DraftIndex = FolderIndex::LoadIfExists(file);
      ListFolderIndex(s.DraftIndex.Rows());
    }
    return;
  }
  s.ViewMode = ViewModes::SendFolder;
  s.CurrentSendFolderPath = path;
  auto root_file = Native(SendFolderPath()) / std::string(kSendIndexName);
  if (node->Level() == 0) {
    s.SendRootIndex = FolderIndex::LoadIfExists(root_file);
    ListFolderIndex(s.SendRootIndex.Rows());
    return;
  }
  EnsureDirectory(Native(path));
  s.SendFolderIndex = FolderIndex::Open(Native(path) / std::string(kSendIndexName));
  ListFolderIndex(s.SendFolderIndex.Rows());
  if (FileExists(root_file)) s.SendRootIndex = FolderIndex::LoadIfExists(root_file);
}

bool MainShell::CheckFolderName(const std::string& name) {
  const bool ok = IsFolderName(name);
  if (!ok) ui_.MessageBox(Sjis(texts::kBadFolderName), MsgIcon::Warning);
  return ok;
}

bool MainShell::CanCreateFolder() const {
  const bool receive = state_.ActiveTree == Trees::Receive;
  const FolderNode* node = (receive ? receive_tree_ : send_tree_).Selected();
  return node && !(receive && node->Level() == 0);
}

bool MainShell::CanRenameFolder() const {
  const FolderNode* node = (state_.ActiveTree == Trees::Receive ? receive_tree_ : send_tree_).Selected();
  return node && node->Level() > 0;
}

bool MainShell::CanDeleteFolder() const { return CanRenameFolder(); }

void MainShell::CreateFolder() {
  FolderTree& tree = TreeOf(state_.ActiveTree);
  FolderNode* node = tree.Selected();
  if (!CanCreateFolder()) return;
  auto name = ui_.InputBox(Sjis(texts::kAddFolderCaption), Sjis(texts::kAddFolderPrompt), "");
  if (!name || name->empty() || !CheckFolderName(*name)) return;
  std::string path = node->Path() + *name + "\\";
  tree.Add(node, *name);
  EnsureDirectory(Native(path));
}

void MainShell::FolderRenamed(const std::string& old_path, const std::string& new_path) {
  for (std::string* p : {&state_.CurrentFolderPath, &state_.CurrentSendFolderPath, &state_.CurrentAccountDir})
    if (!p->empty() && p->compare(0, old_path.size(), old_path) == 0) *p = new_path + p->substr(old_path.size());
}

void MainShell::FolderRemoved(const std::string& path) {
  auto under = [&](const std::string& p) { return !p.empty() && p.compare(0, path.size(), path) == 0; };
  if (under(state_.CurrentFolderPath)) {
    state_.CurrentFolderPath.clear();
    state_.CurrentIndex = FolderIndex();
  }
  if (under(state_.CurrentSendFolderPath)) {
    state_.CurrentSendFolderPath.clear();
    state_.SendFolderIndex = FolderIndex();
  }
}

void MainShell::RenameFolder() {
  FolderTree& tree = TreeOf(state_.ActiveTree);
  FolderNode* node = tree.Selected();
  if (!CanRenameFolder()) return;
  if (state_.ActiveTree == Trees::Receive && node->Level() == 1) {
    ui_.MessageBox(Sjis(texts::kRenameAccountHint));
    return;
  }
  // The default is the folder name: the count of the label is no part of the name.
  std::string old_name = node->FolderName();
  auto answer = ui_.InputBox(Sjis(texts::kRenameFolderCaption), Sjis(texts::kRenameFolderPrompt), old_name);
  if (!answer || answer->empty() || *answer == old_name || *answer == node->Label()) return;
  if (!CheckFolderName(*answer)) return;
  std::string old_path = node->Path();
  std::string new_path = node->Parent()->Path() + *answer + "\\";
  auto from = Native(old_path);
  auto to = Native(new_path);
  // Renaming onto an existing folder would replace or merge it.
  std::error_code ec;
  if (std::filesystem::exists(std::filesystem::symlink_status(to, ec)) || !MovePath(from, to)) {
    ui_.MessageBox(Sjis(texts::kRenameFailed));
    return;
  }
  tree.SetLabel(node, *answer);
  FolderRenamed(old_path, new_path);
}

bool MainShell::CanEditInPlace(const FolderNode* node) const { return node && node->Level() >= 2; }

bool MainShell::RenameInPlace(FolderNode* node, const std::string& new_text) {
  if (!node || new_text == node->Label() || new_text == node->FolderName()) return false;
  if (node->Level() == 1) {
    ui_.MessageBox(Sjis(texts::kRenameAccountHint));
    return false;
  }
  if (node->Level() == 0 || new_text.empty() || !CheckFolderName(new_text)) return false;
  std::string old_path = node->Path();
  std::string new_path = node->Parent()->Path() + new_text + "\\";
  auto to = Native(new_path);
  std::error_code ec;
  if (std::filesystem::exists(std::filesystem::symlink_status(to, ec))) {
    ui_.MessageBox(Sjis(texts::kRenameExists));
    return false;
  }
  // A failed rename keeps the old label, so the node still names its directory.
  if (!MovePath(Native(old_path), to)) return false;
  receive_tree_.SetLabel(node, new_text);
  FolderRenamed(old_path, new_path);
  return true;
}

void MainShell::DeleteFolder() {
  FolderTree& tree = TreeOf(state_.ActiveTree);
  FolderNode* node = tree.Selected();
  if (!CanDeleteFolder()) return;
  MsgAnswer a = ui_.MessageBox(Sjis(texts::kDeleteFolder1) + "\r\n\r\n" + Sjis(texts::kDeleteFolder2),
                               MsgIcon::Warning, MsgButtons::YesNoCancel);
  if (a != MsgAnswer::Yes) return;
  std::string path = node->Path();
  RemoveRecursively(Native(path));
  tree.Remove(node);
  list_.Clear();
  FolderRemoved(path);
}

}  // namespace plumex

#include "shell/account_commands.h"

#include "text/sjis_text.h"
#include "protocol/pop3_client.h"
#include "receive/receive_run.h"
#include "shell/shell_texts.h"
#include "store/store_layout.h"

namespace plumex {

AccountCommands::AccountCommands(MainShell& shell)
    : shell_(shell),
      editor_(shell.State().MailRoot,
              AccountState{shell.State().AccountList, shell.State().AccountPosition, shell.State().CurrentAccount},
              *this) {}

void AccountCommands::AfterShutdown() {
  if (editor_.all_deleted() && shell_.State().AccountList.empty()) WriteAccountList(shell_.State().MailRoot, {});
}

FolderNode* AccountCommands::AccountNode(std::string_view name) {
  FolderTree& tree = shell_.ReceiveTree();
  if (tree.TopCount() == 0) return nullptr;
  FolderNode* root = tree.Top(0);
  for (size_t i = 0; i < root->ChildCount(); ++i)
    if (root->Child(i)->FolderName() == name) return root->Child(i);
  return nullptr;
}

bool AccountCommands::HasAccountNode(std::string_view name) { return AccountNode(name) != nullptr; }

void AccountCommands::AddAccountNode(std::string_view name) {
  FolderTree& tree = shell_.ReceiveTree();
  if (tree.TopCount() == 0) tree.Add(nullptr, ReceiveRootName());
  tree.Add(tree.Top(0), std::string(name));
}

bool AccountCommands::RenameAccountNode(std::string_view old_name, std::string_view new_name) {
  FolderNode* node = AccountNode(old_name);
  if (!node) return false;
  shell_.ReceiveTree().SetLabel(node, std::string(new_name));
  // Paths of the folder on screen follow the folder that moved.
  MainState& s = shell_.State();
  const std::string old_prefix = AccountFolderPath(old_name);
  const std::string new_prefix = AccountFolderPath(new_name);
  for (std::string* path : {&s.CurrentFolderPath, &s.CurrentAccountDir})
    if (path->rfind(old_prefix, 0) == 0) *path = new_prefix + path->substr(old_prefix.size());
  return true;
}

void AccountCommands::RemoveAccountNode(std::string_view name) {
  FolderNode* node = AccountNode(name);
  if (!node) return;
  MainState& s = shell_.State();
  const std::string prefix = AccountFolderPath(name);
  if (s.CurrentFolderPath.rfind(prefix, 0) == 0) {
    s.CurrentFolderPath.clear();
    s.CurrentIndex = FolderIndex();
    shell_.List().Clear();
  }
  shell_.ReceiveTree().Remove(node);
}

void AccountCommands::AccountLoaded(AccountInUse in_use) {
  MainState& s = shell_.State();
  s.CurrentAccount = in_use.record.name;
  s.CurrentAccountDir = AccountFolderPath(in_use.record.name);
  s.ReceivedIds = in_use.received_ids;
  ConfigurePop3(in_use.pop3);
  shell_.Ui().SetAccountLabel(Sjis(texts::kAccountLabelPrefix) + in_use.record.name);
  in_use_ = std::move(in_use);
}

void AccountCommands::ConfigurePop3(const Pop3Settings& settings) { ConfigurePop3For(settings, shell_.Pop3()); }

void AccountCommands::SelectAccountNode(std::string_view name) {
  FolderNode* node = AccountNode(name);
  if (!node) return;
  shell_.ReceiveTree().Select(node);
  if (auto loaded = shell_.SelectReceiveNode(node)) editor_.LoadAccount(*loaded);
  shell_.Ui().SetAccountLabel(Sjis(texts::kAccountLabelPrefix) + std::string(name));
}

}  // namespace plumex

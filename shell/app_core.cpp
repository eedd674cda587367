#include "shell/app_core.h"

#include "platform/store_path.h"
#include "port/error_text.h"
#include "settings/account_list.h"
#include "store/store_layout.h"

namespace plumex {

AppCore::AppCore(UiPort& ui, std::filesystem::path mail_root)
    : shell_(ui, std::move(mail_root)),
      receive_(shell_, receive_rules_),
      accounts_(shell_),
      compose_(shell_, accounts_, send_rules_),
      messages_(shell_),
      search_(shell_),
      password_(shell_),
      files_(shell_, receive_),
      settings_(shell_, receive_, receive_rules_, send_rules_, candidates_, new_check_),
      server_delete_(shell_, receive_, candidates_),
      address_books_(shell_),
      mail_check_(shell_, receive_, settings_, compose_, send_rules_,
                  [this](const std::string& name) { return UseAccount(name); }),
      delayed_(shell_, send_rules_),
      merge_sheet_(shell_, compose_),
      drafts_(shell_, compose_, merge_sheet_) {
  messages_.SetServerDelete(&server_delete_);
  compose_.SetDelayedSend(&delayed_);
  compose_.SetMergeSheet(&merge_sheet_);
}

bool AppCore::Start() {
  shell_.FormCreate([this] { return password_.CheckAtStart(); });
  if (State().StartRefused) return false;
  // The settings dialog's creation, after the main window's: the lists start from their files.
  const auto& root = State().MailRoot;
  new_check_ = NewCheckSettings::Load(root);
  receive_rules_ = RuleList::Load(root);
  send_rules_ = SendRuleList::Load(root);
  candidates_ = DeletionCandidates::Load(root);
  settings_.Create();
  return true;
}

bool AppCore::MayClose() { return shell_.FormCloseQuery(); }

void AppCore::Shutdown(const AppSettings& window) {
  if (State().StartRefused) return;  // nothing was loaded, so nothing may be written over
  shell_.FormDestroy(window);
  accounts_.AfterShutdown();
}

void AppCore::SelectReceiveNode(FolderNode* node) {
  if (auto loaded = shell_.SelectReceiveNode(node)) accounts_.Editor().LoadAccount(*loaded);
}

void AppCore::ShowSavedFolder() {
  const std::string& path = State().Settings.folder_path;
  if (path.empty() || State().StartRefused) return;
  if (FolderNode* node = shell_.ReceiveTree().FindByPath(path)) {
    if (node->Level() == 0) return;
    // Another account's own node would bring that account into use: only its folders and
    // the inbox of the account in use come back.
    if (node->Level() == 1 && node->FolderName() != State().CurrentAccount) return;
    SelectReceiveNode(node);
  } else if (FolderNode* send = shell_.SendTree().FindByPath(path)) {
    shell_.SelectSendNode(send);
  }
}

bool AppCore::UseAccount(const std::string& name) {
  if (!FindAccount(State().AccountList, name)) return false;
  FolderNode* node = shell_.ReceiveTree().FindByPath(AccountFolderPath(name));
  if (!node) return false;
  SelectReceiveNode(node);
  return State().CurrentAccount == name;
}

bool AppCore::Run(const std::function<void()>& command) { return RunShowingErrors(Ui(), command); }

}  // namespace plumex

#include "shell/app_core.h"

#include "platform/store_path.h"
#include "port/error_text.h"
#include "settings/account_list.h"
#include "store/store_layout.h"

namespace plumex {

AppCore::AppCore(UiPort& ui, std::filesystem::path mail_root)
    : shell_(ui, std::move(mail_root)),
      receive_(shell_),
      accounts_(shell_),
      compose_(shell_, accounts_),
      search_(shell_),
      password_(shell_),
      files_(shell_, receive_) {}

bool AppCore::Start() {
  shell_.FormCreate([this] { return password_.CheckAtStart(); });
  return !State().StartRefused;
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

bool AppCore::UseAccount(const std::string& name) {
  if (!FindAccount(State().AccountList, name)) return false;
  FolderNode* node = shell_.ReceiveTree().FindByPath(AccountFolderPath(name));
  if (!node) return false;
  SelectReceiveNode(node);
  return State().CurrentAccount == name;
}

bool AppCore::Run(const std::function<void()>& command) { return RunShowingErrors(Ui(), command); }

}  // namespace plumex

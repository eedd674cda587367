// The account in use, seen from the main window: the account window's behaviour
// (AccountEditor) over the main window's state, its folder tree and its POP3 connection.
#pragma once

#include <optional>
#include <string>

#include "settings/account_editor.h"
#include "shell/main_shell.h"

namespace plumex {

class AccountCommands : public AccountHooks {
 public:
  explicit AccountCommands(MainShell& shell);

  AccountEditor& Editor() { return editor_; }
  MainState& State() { return shell_.State(); }
  // What LoadAccount made current last: reply mark, signature, delete-after-receive.
  const std::optional<AccountInUse>& InUse() const { return in_use_; }
  // After the main window's shutdown: an empty Account.ini once the last account is gone.
  void AfterShutdown();

  // AccountHooks
  bool HasAccountNode(std::string_view name) override;
  void AddAccountNode(std::string_view name) override;
  bool RenameAccountNode(std::string_view old_name, std::string_view new_name) override;
  void RemoveAccountNode(std::string_view name) override;
  void AccountLoaded(AccountInUse in_use) override;
  void ConfigurePop3(const Pop3Settings& settings) override;
  void SelectAccountNode(std::string_view name) override;
  bool RunGoing() const override { return shell_.Gate().Busy(); }

 private:
  FolderNode* AccountNode(std::string_view name);

  MainShell& shell_;
  AccountEditor editor_;
  std::optional<AccountInUse> in_use_;
};

}  // namespace plumex

// The application core: the state, the POP3 connection and every command object, built the
// same way for the window, plumex-cli and the tests, so that all three run the same code.
// Everything it tells a person goes through the one Ui port it is given.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "port/ui_port.h"
#include "settings/app_settings.h"
#include "shell/account_commands.h"
#include "shell/address_book_commands.h"
#include "shell/compose.h"
#include "shell/delayed_send_commands.h"
#include "shell/draft_commands.h"
#include "shell/merge_sheet_commands.h"
#include "shell/main_shell.h"
#include "shell/message_commands.h"
#include "shell/message_file_commands.h"
#include "shell/new_check_commands.h"
#include "shell/receive_commands.h"
#include "shell/server_delete_commands.h"
#include "shell/search_commands.h"
#include "shell/start_password_commands.h"
#include "shell/settings_commands.h"

namespace plumex {

class AppCore {
 public:
  AppCore(UiPort& ui, std::filesystem::path mail_root);
  AppCore(const AppCore&) = delete;
  AppCore& operator=(const AppCore&) = delete;

  UiPort& Ui() { return shell_.Ui(); }
  MainShell& Shell() { return shell_; }
  MainState& State() { return shell_.State(); }
  ReceiveCommands& Receiving() { return receive_; }
  AccountCommands& Accounts() { return accounts_; }
  ComposeCommands& Compose() { return compose_; }
  MessageCommands& Messages() { return messages_; }
  SearchCommands& Search() { return search_; }
  StartPasswordCommands& StartPassword() { return password_; }
  MessageFileCommands& MessageFiles() { return files_; }
  SettingsCommands& Settings() { return settings_; }
  ServerDeleteCommands& ServerDelete() { return server_delete_; }
  AddressBookCommands& AddressBooks() { return address_books_; }
  DelayedSendCommands& DelayedSend() { return delayed_; }
  MergeSheetCommands& MergeSheet() { return merge_sheet_; }
  DraftCommands& Drafts() { return drafts_; }
  NewCheckCommands& MailCheck() { return mail_check_; }

  // The live settings lists, loaded at Start: what receiving, sending and server delete mode
  // read, and what the settings dialog edits (its "登録" writes them).
  RuleList& ReceiveRules() { return receive_rules_; }
  SendRuleList& SendRules() { return send_rules_; }
  DeletionCandidates& Candidates() { return candidates_; }
  NewCheckSettings& NewCheck() { return new_check_; }

  // Start-up up to showing the window: settings, accounts, folder trees, the account in use,
  // after the start-up password when the lock is on. False when the program must end (a wrong
  // or cancelled password): nothing of the store was loaded then.
  bool Start();
  // The close question; true when the program may end.
  bool MayClose();
  // Writes Account.ini and the settings file; `window` carries the sizes of the window. Writes
  // nothing after a start that ended at the password.
  void Shutdown(const AppSettings& window);

  // A receive-tree node was chosen: its folder goes on screen, and when it is an account's
  // own node that account comes into use.
  void SelectReceiveNode(FolderNode* node);
  // The window's start: the folder on screen at the last exit goes on screen again (when it
  // still exists; the account in use stays the saved one).
  void ShowSavedFolder();
  // Makes the named account the one in use with its inbox on screen; false when there is
  // no such account.
  bool UseAccount(const std::string& name);

  // Runs a command a person started. Whatever it throws is shown through the port as an
  // error message; nothing escapes. False when the command failed.
  bool Run(const std::function<void()>& command);
  // While a command that pumps runs, no other may start: only what stops it, closing the
  // program (which stops it too) and copying text stay offered.
  bool CanStartCommand() const { return !shell_.Gate().Busy(); }

 private:
  MainShell shell_;
  RuleList receive_rules_;
  SendRuleList send_rules_;
  DeletionCandidates candidates_;
  NewCheckSettings new_check_;
  ReceiveCommands receive_;
  AccountCommands accounts_;
  ComposeCommands compose_;
  MessageCommands messages_;
  SearchCommands search_;
  StartPasswordCommands password_;
  MessageFileCommands files_;
  SettingsCommands settings_;
  ServerDeleteCommands server_delete_;
  AddressBookCommands address_books_;
  NewCheckCommands mail_check_;
  DelayedSendCommands delayed_;
  MergeSheetCommands merge_sheet_;
  DraftCommands drafts_;
};

}  // namespace plumex

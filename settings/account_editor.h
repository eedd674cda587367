// The account window's behaviour without widgets: the fields it shows, its add mode and its
// buttons. The window (ui/) mirrors `form()` into its controls and calls these operations;
// the main window's state (AccountList, AccountPosition, CurrentAccount) is edited in place,
// and the folder tree and the account in use are reached through AccountHooks.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/connection.h"
#include "settings/account_list.h"

namespace plumex {

struct AccountForm {
  std::string name, address, pop_host, pop_port = "110", smtp_host, smtp_port = "25", reply_mark = ">", user,
      password;
  bool pop_ssl = false, smtp_ssl = false, delete_after_receive = false;
  std::vector<std::string> signature;
  // The log-in method and OAuth2 provider (fields 12 to 20 of the record, see AccountRecord).
  std::string login_method, secret_place, oauth_provider, oauth_client_id, oauth_tenant, oauth_authorize_url,
      oauth_token_url, oauth_scopes, oauth_client_secret;

  bool UsesOAuth2() const { return login_method == "oauth2"; }
  // The password field may stay empty: OAuth2, or a password the keyring keeps.
  bool PasswordOptional() const { return UsesOAuth2() || secret_place == "keyring"; }

  static AccountForm FromRecord(const AccountRecord& record, std::vector<std::string> signature);
  AccountRecord ToRecord() const;
  bool RequiredTextsFilled() const;  // the six text fields (the password only when it is needed)
};

// What the account code needs from the main window.
class AccountHooks {
 public:
  virtual ~AccountHooks() = default;
  virtual bool HasAccountNode(std::string_view name) = 0;
  virtual void AddAccountNode(std::string_view name) = 0;
  // Renames the node whose folder name is old_name; false when there is none.
  virtual bool RenameAccountNode(std::string_view old_name, std::string_view new_name) = 0;
  virtual void RemoveAccountNode(std::string_view name) = 0;
  // The record just loaded is the account in use: POP3 settings, signature, fetched ids.
  virtual void AccountLoaded(AccountInUse in_use) = 0;
  // "閉じる": the POP3 connection takes the settings shown in the window.
  virtual void ConfigurePop3(const Pop3Settings& settings) = 0;
  // "閉じる": select the account's node and run the tree's selection action.
  virtual void SelectAccountNode(std::string_view name) = 0;
  // A command is running (receiving, sending...) for the account in use: it may then be
  // neither renamed, nor deleted, nor replaced by another as the account in use.
  virtual bool RunGoing() const { return false; }
};

// The state of the main window that accounts edit (it lives in the main window).
struct AccountState {
  std::vector<std::string>& account_list;
  size_t& account_position;  // 1-based number of the record in use
  std::string& current_account;
};

class AccountEditor {
 public:
  AccountEditor(std::filesystem::path mail_root, AccountState state, AccountHooks& hooks);

  // Result of a button: the message to show (CP932; empty when none) and whether it worked.
  struct Outcome {
    bool ok = true;
    std::string message;
  };
  // A notice of the last Save or SignIn, shown besides its message ("" when none): the
  // keyring is missing, a server has no TLS. Each is said once.
  const std::string& notice() const { return notice_; }

  // Window opening: LoadAccount on the record at AccountPosition (nothing when there are none).
  void Open();
  // Makes record n (from 0) the account in use and shows it.
  void LoadAccount(size_t n);
  // The window is shown again: it shows the account in use (unless a new one is being added).
  void ShowInUse();
  // 1-based number of the record the window shows (record_count() + 1 while adding). The
  // arrows browse the records without changing the account in use; "閉じる" chooses the
  // record shown.
  size_t position() const { return position_; }

  AccountForm& form() { return form_; }
  const AccountForm& form() const { return form_; }
  bool add_mode() const { return add_mode_; }
  bool add_button_visible() const { return add_visible_; }
  // True once the last account was deleted: Account.ini is then written empty.
  bool all_deleted() const { return all_deleted_; }
  size_t record_count() const { return record_count_; }
  // The number shown above "件目".
  size_t shown_number() const { return shown_number_; }

  void Previous();
  void Next();
  Outcome AddOrCancel();  // "追加" / "中止"
  Outcome Save();         // "更新/保存"
  // "削除" acts only on a saved record (not on one being added); the window asks
  // DeleteQuestion() first, and calls Delete() on Yes.
  bool CanDelete() const;
  Outcome Delete();
  Outcome Close();        // "閉じる"

  static std::string DeleteQuestion();

  // A known provider's servers, ports, SSL and log-in method for the own address typed (or
  // Microsoft 365 when microsoft365); the returned text is the provider's notice (or "").
  // False when the domain is not known.
  bool ApplyPreset(bool microsoft365, std::string* notice);

  // "サインイン": the OAuth2 sign-in of the account shown, with the provider set in the form.
  // show_url gets the authorization URL (the window opens the browser). The tokens are kept at
  // once (keyring or the account folder), and a saved record notes where.
  Outcome SignIn(const ConnectionOptions& options, const std::function<void(const std::string&)>& show_url);

 private:
  Outcome PortsValid() const;
  // Shows record n (from 0) in the form without making it the account in use.
  void ShowRecord(size_t n);
  std::string MissingFields() const;

  std::filesystem::path mail_root_;
  AccountState state_;
  AccountHooks& hooks_;
  AccountForm form_;
  std::string loaded_name_;  // name of the record shown, as in AccountList
  bool add_mode_ = false;
  bool add_visible_ = true;
  bool all_deleted_ = false;
  size_t record_count_ = 0;
  size_t shown_number_ = 1;
  size_t position_ = 1;
  std::string notice_;
};

}  // namespace plumex

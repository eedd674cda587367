// Accounts: the records of "Account.ini" and what makes a record the account in use.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/received_id_list.h"

namespace plumex {

inline constexpr const char* kAccountFileName = "Account.ini";
inline constexpr const char* kSignatureFileName = "syomei.ini";

// One line of Account.ini: twelve TAB-separated fields, and nine more for the log-in method
// when it is not the plain password kept in field 3.
struct AccountRecord {
  std::string name;       // field 0, also the name of the account's receive folder
  std::string pop_host;   // field 1
  std::string user;       // field 2, POP3 and SMTP log-in
  std::string password;   // field 3
  std::string smtp_host;  // field 4
  std::string address;    // field 5, the sender text of outgoing mail
  std::string pop_port;   // field 6, decimal text
  std::string smtp_port;  // field 7, decimal text
  bool delete_after_receive = false;  // field 8
  std::string reply_mark = ">";       // field 9, ">" for records of fewer than 10 fields
  bool pop_ssl = false;               // field 10, off for records of fewer than 12 fields
  bool smtp_ssl = false;              // field 11
  // Fields 12 to 20, written only when one of them is set, so a password account keeps the
  // twelve fields other readers of the file know.
  std::string login_method;   // field 12: "" or "password"; "oauth2"
  // field 13, where the secret (password, or OAuth2 refresh token) is: "" in field 3 (as
  // always); "keyring" in the desktop's Secret Service, field 3 empty; "file" in field 3
  // because no Secret Service answered when the account was saved (the user was told).
  std::string secret_place;
  std::string oauth_provider;       // field 14: "microsoft", "google" or "custom"
  std::string oauth_client_id;      // field 15: empty for the provider's default
  std::string oauth_tenant;         // field 16: Microsoft's tenant, empty for "common"
  std::string oauth_authorize_url;  // field 17: custom provider
  std::string oauth_token_url;      // field 18: custom provider
  std::string oauth_scopes;         // field 19: empty for the provider's default
  // field 20: the client secret some providers want even of a desktop program (Google's
  // "desktop app" clients); not a secret in truth, as every copy of the program holds it.
  std::string oauth_client_secret;

  bool UsesOAuth2() const { return login_method == "oauth2"; }
  bool SecretInKeyring() const { return secret_place == "keyring"; }

  // Missing fields take their defaults; flags follow the stored boolean rule.
  static AccountRecord Parse(std::string_view line);
  // Always all twelve fields, flags as "-1" / "0". A TAB, CR or LF inside a field becomes a
  // space: the record is one line of TAB-separated fields and would fall apart otherwise.
  std::string ToLine() const;
};

// Lines of Account.ini (AccountList); empty when the file is missing.
std::vector<std::string> LoadAccountList(const std::filesystem::path& mail_root);
bool AccountFileExists(const std::filesystem::path& mail_root);
// Writes AccountList unless its text is empty or a single line break; returns whether it wrote.
bool SaveAccountList(const std::filesystem::path& mail_root, const std::vector<std::string>& account_list);
// Always writes, an empty file for an empty list (after the last account was deleted).
void WriteAccountList(const std::filesystem::path& mail_root, const std::vector<std::string>& account_list);

// Position (from 0) of the record whose name equals name exactly, or nothing.
std::optional<size_t> FindAccount(const std::vector<std::string>& account_list, std::string_view name);
// Whether a record's name equals name with ASCII letters compared without regard to case;
// the record at position except (from 0), when given, is not looked at.
bool AccountNameTaken(const std::vector<std::string>& account_list, std::string_view name,
                      std::optional<size_t> except = std::nullopt);

// A port typed by the user: a decimal number from 1 to 65535.
std::optional<int> ParsePort(std::string_view text);

struct Pop3Settings {
  std::string host;
  std::string user;
  std::string password;
  int port = 110;
  bool implicit_tls = false;  // TLS from the first byte
};

// The POP3 settings of an account: its port, or 995 with TLS and 110 without when the port
// cannot be read. The one mapping every connection of an account goes through.
Pop3Settings Pop3SettingsOf(const AccountRecord& record);

// What LoadAccount(n) makes current: the record, its signature, the POP3 connection settings
// and its list of fetched Message-IDs (created empty, with its folder, when missing).
struct AccountInUse {
  AccountRecord record;
  std::vector<std::string> signature;
  Pop3Settings pop3;
  ReceivedIdList received_ids;
  std::filesystem::path account_dir;
};

// Nothing when the list is empty or n is out of range.
std::optional<AccountInUse> LoadAccount(const std::filesystem::path& mail_root,
                                        const std::vector<std::string>& account_list, size_t n);

// Replaces every "%SSdate%" (any letter case) by the date "yyyy/mm/dd".
std::string ExpandSignatureDate(std::string_view text, int year, int month, int day);

}  // namespace plumex

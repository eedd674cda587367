// How an account logs in: its method (password or OAuth2 with a provider), where its secret is
// kept (the keyring, or the store's own 0600 files when no Secret Service answers), and the
// access token of an OAuth2 account, refreshed before it runs out and once more when a server
// refused it. The POP3 and SMTP clients ask for the secret only when they are about to send it.
#pragma once

#include <filesystem>
#include <string>

#include "protocol/connection.h"
#include "protocol/oauth2.h"
#include "protocol/sasl.h"
#include "settings/account_list.h"

namespace plumex {

// The file that keeps an OAuth2 account's tokens in its folder when there is no keyring.
inline constexpr const char* kOAuthTokenFileName = "OAuthToken.ini";

// The endpoints, client id and scopes of the record's provider, defaults filled in:
// Microsoft (tenant "common" unless one is set), Google, or the custom values.
OAuthProvider ProviderFor(const AccountRecord& record);

// The credentials for a POP3 or SMTP client. options are used to reach the token endpoint.
LoginCredentials AccountLogin(const AccountRecord& record, const std::filesystem::path& mail_root,
                              const ConnectionOptions& options);

// The account's password (keyring or field 3). Throws AppError when the keyring cannot be read
// or holds none: an empty password is never sent.
std::string AccountPassword(const AccountRecord& record, const std::filesystem::path& mail_root);

// An access token for an OAuth2 account: the kept one while it has more than a minute left
// (and renew is false), else a new one from the refresh token, whose successor is kept.
// Throws OAuthError (sign in again, admin approval) or AppError.
std::string AccountAccessToken(const AccountRecord& record, const std::filesystem::path& mail_root,
                               const ConnectionOptions& options, bool renew);

// Saving an account: moves a password typed (or still in field 3) to the keyring when one
// answers: field 3 is emptied and field 13 says "keyring". Without a Secret Service the password
// stays in field 3 as it always did (the record keeps its twelve fields); the notice returned
// then (the first time for the store, noted in plumex.ini) tells the user so. An empty password keeps what the keyring holds. Throws
// AppError when the keyring answers but refuses (locked).
std::string PlaceAccountPassword(AccountRecord& record, const std::filesystem::path& mail_root);

// Keeps the tokens of a sign-in (keyring, or the account folder's 0600 file) and notes the
// place in the record (field 13 "keyring", or "file" for the account folder's
// OAuthToken.ini); returns the notice as PlaceAccountPassword.
std::string KeepSignIn(AccountRecord& record, const std::filesystem::path& mail_root, const OAuthTokens& tokens);

// A renamed account takes its keyring items along; a deleted one's are removed.
void MoveAccountSecrets(const std::filesystem::path& mail_root, const std::string& old_name,
                        const std::string& new_name);
void ForgetAccountSecrets(const std::filesystem::path& mail_root, const std::string& name);

// "Secret Serviceが見つからないため、パスワードは…保存しました。"
std::string NoKeyringNotice();

}  // namespace plumex

namespace plumex {

class Pop3Client;

// The log-in part of a POP3 connection set up from the record: STLS on any port but 995 when
// SSL is on, the method, and the secret source (the store is the client's MailRoot).
void SetPop3Login(const AccountRecord& record, Pop3Client& pop3);

}  // namespace plumex

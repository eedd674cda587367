#include "settings/account_login.h"

#include <map>
#include <mutex>

#include "platform/clock.h"
#include "platform/directories.h"
#include "platform/private_files.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "protocol/protocol_trace.h"
#include "settings/app_settings.h"
#include "settings/profile_file.h"
#include "settings/secret_store.h"
#include "settings/settings_texts.h"
#include "store/store_layout.h"

namespace plumex {
namespace {

// An access token is renewed when it has less than this left.
constexpr long long kRefreshMarginSeconds = 60;

std::string StoreKey(const std::filesystem::path& mail_root) {
  std::error_code ec;
  auto absolute = std::filesystem::absolute(mail_root, ec);
  return (ec ? mail_root : absolute).lexically_normal().string();
}

SecretKey KeyOf(const std::filesystem::path& mail_root, const std::string& account, SecretKind kind) {
  return {StoreKey(mail_root), account, kind};
}

std::filesystem::path TokenFile(const std::filesystem::path& mail_root, const std::string& account) {
  return ToNativePath(mail_root, AccountFolderPath(account)) / kOAuthTokenFileName;
}

// The tokens of the accounts this process used, by store and account, so that a run does not
// ask the keyring or the provider for every connection.
std::mutex& CacheMutex() {
  static std::mutex m;
  return m;
}
std::map<std::string, OAuthTokens>& Cache() {
  static std::map<std::string, OAuthTokens> cache;
  return cache;
}
std::string CacheKey(const std::filesystem::path& mail_root, const std::string& account) {
  return StoreKey(mail_root) + '\0' + account;
}

std::optional<OAuthTokens> ReadTokenFile(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  if (!ReadLines(file, lines)) return std::nullopt;
  OAuthTokens t;
  for (const auto& line : lines) {
    if (line.starts_with("refresh:")) t.refresh_token = line.substr(8);
    else if (line.starts_with("access:")) t.access_token = line.substr(7);
    else if (line.starts_with("expires:")) t.expires_at = std::atoll(line.c_str() + 8);
  }
  return t;
}

void WriteTokenFile(const std::filesystem::path& file, const OAuthTokens& t) {
  EnsureDirectory(file.parent_path());
  WriteLines(file, {"refresh:" + t.refresh_token, "access:" + t.access_token,
                    "expires:" + std::to_string(t.expires_at)});
}

bool TokensInKeyring(const AccountRecord& record) { return record.SecretInKeyring(); }

OAuthTokens LoadTokens(const AccountRecord& record, const std::filesystem::path& mail_root) {
  OAuthTokens t;
  if (TokensInKeyring(record)) {
    t.refresh_token = LookupSecret(KeyOf(mail_root, record.name, SecretKind::RefreshToken)).value_or("");
    if (auto access = LookupSecret(KeyOf(mail_root, record.name, SecretKind::AccessToken))) {
      // "expiry token"
      const size_t space = access->find(' ');
      if (space != std::string::npos) {
        t.expires_at = std::atoll(access->substr(0, space).c_str());
        t.access_token = access->substr(space + 1);
      }
    }
  } else if (auto file = ReadTokenFile(TokenFile(mail_root, record.name))) {
    t = *file;
  }
  return t;
}

void SaveTokens(const AccountRecord& record, const std::filesystem::path& mail_root, const OAuthTokens& t) {
  if (TokensInKeyring(record)) {
    StoreSecret(KeyOf(mail_root, record.name, SecretKind::RefreshToken), t.refresh_token);
    StoreSecret(KeyOf(mail_root, record.name, SecretKind::AccessToken),
                std::to_string(t.expires_at) + " " + t.access_token);
  } else {
    WriteTokenFile(TokenFile(mail_root, record.name), t);
  }
}

std::string NotSignedInText(const AccountRecord& record) {
  return Sjis(texts::kNotSignedIn) + "\r\n" +
         Sjis(texts::kAccountLine) + record.name;
}

// The notice the first time a secret stays in the store's files; "" after that.
std::string NoKeyringNoticeOnce(const std::filesystem::path& mail_root) {
  const auto file = mail_root / kSettingsFileName;
  ProfileFile profile = ProfileFile::Load(file);
  if (profile.ReadBool("Keyring", "FileNoticeShown", false)) return {};
  profile.WriteBool("Keyring", "FileNoticeShown", true);
  try {
    profile.Save(file);
  } catch (const std::exception&) {
    // the notice then comes again next time; nothing is lost
  }
  return NoKeyringNotice();
}

}  // namespace

std::string NoKeyringNotice() {
  return Sjis(texts::kNoKeyring1) + "\r\n" +
         Sjis(texts::kNoKeyring2);
}

OAuthProvider ProviderFor(const AccountRecord& r) {
  OAuthProvider p;
  p.client_id = r.oauth_client_id;
  p.client_secret = r.oauth_client_secret;
  p.scopes = r.oauth_scopes;
  if (r.oauth_provider == "microsoft") {
    const std::string tenant = r.oauth_tenant.empty() ? "common" : r.oauth_tenant;
    p.authorize_url = "https://login.microsoftonline.com/" + tenant + "/oauth2/v2.0/authorize";
    p.token_url = "https://login.microsoftonline.com/" + tenant + "/oauth2/v2.0/token";
    if (p.scopes.empty())
      p.scopes = "https://outlook.office.com/POP.AccessAsUser.All https://outlook.office.com/SMTP.Send offline_access";
  } else if (r.oauth_provider == "google") {
    p.authorize_url = "https://accounts.google.com/o/oauth2/v2/auth";
    p.token_url = "https://oauth2.googleapis.com/token";
    if (p.scopes.empty()) p.scopes = "https://mail.google.com/";
  } else {
    p.authorize_url = r.oauth_authorize_url;
    p.token_url = r.oauth_token_url;
  }
  return p;
}

std::string AccountPassword(const AccountRecord& record, const std::filesystem::path& mail_root) {
  if (!record.SecretInKeyring()) return record.password;
  auto secret = LookupSecret(KeyOf(mail_root, record.name, SecretKind::Password));
  if (!secret || secret->empty())
    throw AppError(ErrorKind::Authentication,
                   Sjis(texts::kNoPasswordInKeyring) +
                       "\r\n" + Sjis(texts::kAccountLine) + record.name);
  return *secret;
}

std::string AccountAccessToken(const AccountRecord& record, const std::filesystem::path& mail_root,
                               const ConnectionOptions& options, bool renew) {
  const std::string key = CacheKey(mail_root, record.name);
  const long long now = NowSeconds();
  OAuthTokens tokens;
  {
    std::lock_guard<std::mutex> lock(CacheMutex());
    auto it = Cache().find(key);
    if (it != Cache().end()) tokens = it->second;
  }
  if (tokens.refresh_token.empty()) tokens = LoadTokens(record, mail_root);
  if (!renew && !tokens.access_token.empty() && tokens.expires_at - now > kRefreshMarginSeconds)
    return tokens.access_token;
  if (tokens.refresh_token.empty()) throw OAuthError(OAuthError::Reason::SignInAgain, NotSignedInText(record));
  WriteProtocolDebug(renew ? "*: access token refused, refreshing" : "*: access token expired, refreshing");
  OAuthTokens fresh;
  try {
    fresh = RefreshAccessToken(options, ProviderFor(record), tokens.refresh_token, now);
  } catch (const OAuthError& e) {
    if (e.reason() == OAuthError::Reason::SignInAgain) {
      std::lock_guard<std::mutex> lock(CacheMutex());
      Cache().erase(key);
      throw OAuthError(e.reason(), e.text() + "\r\n" + Sjis(texts::kAccountLine) + record.name, e.server_reply());
    }
    throw;
  }
  // The provider may hand out a new refresh token and retire the old one: kept at once.
  SaveTokens(record, mail_root, fresh);
  std::lock_guard<std::mutex> lock(CacheMutex());
  Cache()[key] = fresh;
  return fresh.access_token;
}

LoginCredentials AccountLogin(const AccountRecord& record, const std::filesystem::path& mail_root,
                              const ConnectionOptions& options) {
  LoginCredentials login;
  if (record.UsesOAuth2()) {
    login.method = LoginMethod::OAuth2;
    ConnectionOptions http = options;
    login.secret = [record, mail_root, http](bool renew) {
      return AccountAccessToken(record, mail_root, http, renew);
    };
  } else {
    login.secret = [record, mail_root](bool) { return AccountPassword(record, mail_root); };
  }
  return login;
}

std::string PlaceAccountPassword(AccountRecord& record, const std::filesystem::path& mail_root) {
  if (record.UsesOAuth2()) {
    // The refresh token is the secret; a password left in the record has no use.
    record.password.clear();
    return {};
  }
  if (record.password.empty()) return {};  // nothing typed: what the keyring holds stays
  if (SecretServiceAvailable()) {
    StoreSecret(KeyOf(mail_root, record.name, SecretKind::Password), record.password);
    record.password.clear();
    record.secret_place = "keyring";
    return {};
  }
  // Field 3 keeps it, as it always did; the user is told once per store.
  record.secret_place.clear();
  return NoKeyringNoticeOnce(mail_root);
}

std::string KeepSignIn(AccountRecord& record, const std::filesystem::path& mail_root, const OAuthTokens& tokens) {
  record.login_method = "oauth2";
  std::string notice;
  if (SecretServiceAvailable()) {
    record.secret_place = "keyring";
  } else {
    notice = NoKeyringNoticeOnce(mail_root);
    record.secret_place = "file";
  }
  record.password.clear();
  SaveTokens(record, mail_root, tokens);
  std::lock_guard<std::mutex> lock(CacheMutex());
  Cache()[CacheKey(mail_root, record.name)] = tokens;
  return notice;
}

void MoveAccountSecrets(const std::filesystem::path& mail_root, const std::string& old_name,
                        const std::string& new_name) {
  if (old_name == new_name || !SecretServiceAvailable()) return;
  for (SecretKind kind : {SecretKind::Password, SecretKind::RefreshToken, SecretKind::AccessToken}) {
    auto secret = LookupSecret(KeyOf(mail_root, old_name, kind));
    if (!secret) continue;
    StoreSecret(KeyOf(mail_root, new_name, kind), *secret);
    ClearSecret(KeyOf(mail_root, old_name, kind));
  }
  std::lock_guard<std::mutex> lock(CacheMutex());
  Cache().erase(CacheKey(mail_root, old_name));
}

void ForgetAccountSecrets(const std::filesystem::path& mail_root, const std::string& name) {
  {
    std::lock_guard<std::mutex> lock(CacheMutex());
    Cache().erase(CacheKey(mail_root, name));
  }
  if (!SecretServiceAvailable()) return;
  for (SecretKind kind : {SecretKind::Password, SecretKind::RefreshToken, SecretKind::AccessToken})
    ClearSecret(KeyOf(mail_root, name, kind));
}

}  // namespace plumex

#include "protocol/pop3_client.h"

namespace plumex {

void SetPop3Login(const AccountRecord& record, Pop3Client& pop3) {
  pop3.starttls = pop3.use_tls && pop3.port != 995;
  pop3.login = AccountLogin(record, pop3.options().mail_root, pop3.options());
}

}  // namespace plumex

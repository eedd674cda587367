// account list | add | password | signin: the accounts of Account.ini from the command line,
// through the same core as the account window (secrets to the keyring, OAuth2 sign-in).
//   account list
//   account add NAME --pop HOST[:PORT] --smtp HOST[:PORT] --user USER --address ADDR [--ssl]
//       [--auth password|oauth2] [--provider microsoft|google|custom] [--client-id ID]
//       [--client-secret S] [--tenant T]
//       [--authorize-url URL --token-url URL --scope SCOPES]
//   account password NAME          (the password on standard input)
//   account signin NAME [--no-browser]
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <istream>
#include <iterator>
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_texts.h"
#include "text/code_page.h"
#include "platform/directories.h"
#include "platform/store_path.h"
#include "protocol/oauth2.h"
#include "settings/account_list.h"
#include "settings/account_login.h"
#include "settings/settings_texts.h"
#include "store/store_layout.h"

extern char** environ;

namespace plumex::cli {
namespace {

constexpr const char* kUsage =
    "account list | add NAME --pop HOST[:PORT] --smtp HOST[:PORT] --user USER --address ADDR [--ssl] "
    "[--auth password|oauth2] [--provider microsoft|google|custom] [--client-id ID] [--client-secret S] [--tenant T] "
    "[--authorize-url URL --token-url URL --scope SCOPES] | password NAME | signin NAME [--no-browser]";

int Usage(CliContext& c) {
  c.err << "usage: plumex-cli " << kUsage << "\n";
  return 1;
}

std::string Where(const AccountRecord& r) {
  if (r.SecretInKeyring()) return "keyring";
  if (r.UsesOAuth2()) return r.secret_place == "file" ? kOAuthTokenFileName : "none";
  return r.password.empty() ? "none" : kAccountFileName;
}

int List(CliContext& c) {
  for (const std::string& line : LoadAccountList(c.mail_root)) {
    if (line.empty()) continue;
    const AccountRecord r = AccountRecord::Parse(line);
    const std::string method = r.UsesOAuth2() ? "oauth2:" + (r.oauth_provider.empty() ? "custom" : r.oauth_provider)
                                              : "password";
    c.out << Cp932ToUtf8(r.name) << "\t" << Cp932ToUtf8(r.address) << "\t" << r.pop_host << ":" << r.pop_port
          << (r.pop_ssl ? " ssl" : "") << "\t" << r.smtp_host << ":" << r.smtp_port << (r.smtp_ssl ? " ssl" : "")
          << "\t" << Cp932ToUtf8(r.user) << "\t" << method << "\t" << Where(r) << "\n";
  }
  return 0;
}

// "host" or "host:port"; the port stays empty when not given.
void SplitHostPort(const std::string& text, std::string& host, std::string& port) {
  const size_t colon = text.rfind(':');
  if (colon != std::string::npos && text.find(':') == colon) {
    host = text.substr(0, colon);
    port = text.substr(colon + 1);
  } else {
    host = text;
    port.clear();
  }
}

int Add(CliContext& c) {
  const auto& a = c.args;
  if (a.size() < 2) return Usage(c);
  AccountRecord r;
  r.name = Utf8ToCp932(a[1]);
  std::string pop, smtp, auth = "password";
  for (size_t i = 2; i < a.size(); ++i) {
    auto value = [&]() -> std::string { return i + 1 < a.size() ? a[++i] : std::string(); };
    if (a[i] == "--pop") pop = value();
    else if (a[i] == "--smtp") smtp = value();
    else if (a[i] == "--user") r.user = Utf8ToCp932(value());
    else if (a[i] == "--address") r.address = Utf8ToCp932(value());
    else if (a[i] == "--ssl") r.pop_ssl = r.smtp_ssl = true;
    else if (a[i] == "--auth") auth = value();
    else if (a[i] == "--provider") r.oauth_provider = value();
    else if (a[i] == "--client-id") r.oauth_client_id = value();
    else if (a[i] == "--tenant") r.oauth_tenant = value();
    else if (a[i] == "--authorize-url") r.oauth_authorize_url = value();
    else if (a[i] == "--token-url") r.oauth_token_url = value();
    else if (a[i] == "--scope") r.oauth_scopes = value();
    else if (a[i] == "--client-secret") r.oauth_client_secret = value();
    else return Usage(c);
  }
  if (auth != "password" && auth != "oauth2") return Usage(c);
  if (!r.oauth_provider.empty() && r.oauth_provider != "microsoft" && r.oauth_provider != "google" &&
      r.oauth_provider != "custom")
    return Usage(c);
  if (auth == "oauth2") {
    r.login_method = "oauth2";
    if (r.oauth_provider.empty()) r.oauth_provider = "custom";
  }
  SplitHostPort(pop, r.pop_host, r.pop_port);
  SplitHostPort(smtp, r.smtp_host, r.smtp_port);
  if (r.pop_port.empty()) r.pop_port = r.pop_ssl ? "995" : "110";
  if (r.smtp_port.empty()) r.smtp_port = r.smtp_ssl ? "465" : "587";
  if (r.name.empty() || r.pop_host.empty() || r.smtp_host.empty() || r.user.empty() || r.address.empty()) {
    c.err << "plumex-cli: " << texts::kCliAccountAddNeeds << "\n";
    return 1;
  }
  if (!ParsePort(r.pop_port) || !ParsePort(r.smtp_port)) {
    c.err << "plumex-cli: " << texts::kBadPort << "\n";
    return 1;
  }
  if (!IsFolderName(r.name)) {
    c.err << "plumex-cli: " << texts::kAccountNameBackslash << "\n";
    return 1;
  }
  std::vector<std::string> list = LoadAccountList(c.mail_root);
  while (!list.empty() && list.back().empty()) list.pop_back();
  if (AccountNameTaken(list, r.name)) {
    c.err << "plumex-cli: " << texts::kAccountNameTaken << "\n";
    return 1;
  }
  EnsureDirectory(ToNativePath(c.mail_root, AccountFolderPath(r.name)));
  list.push_back(r.ToLine());
  WriteAccountList(c.mail_root, list);
  return 0;
}

// The record named by args[1], with its position; false (and a message) when there is none.
bool Find(CliContext& c, std::vector<std::string>& list, size_t& position, AccountRecord& record) {
  if (c.args.size() < 2) return false;
  list = LoadAccountList(c.mail_root);
  const auto found = FindAccount(list, Utf8ToCp932(c.args[1]));
  if (!found) {
    c.err << "plumex-cli: " << texts::kCliNoSuchAccount << c.args[1] << "\n";
    return false;
  }
  position = *found;
  record = AccountRecord::Parse(list[position]);
  return true;
}

int Password(CliContext& c) {
  if (c.args.size() != 2) return Usage(c);
  std::vector<std::string> list;
  size_t position = 0;
  AccountRecord r;
  if (!Find(c, list, position, r)) return 1;
  std::string password(std::istreambuf_iterator<char>(c.in), {});
  while (!password.empty() && (password.back() == '\n' || password.back() == '\r')) password.pop_back();
  if (password.empty() || password.find_first_of("\t\r\n") != std::string::npos) {
    c.err << "plumex-cli: " << texts::kCliPasswordOneLine << "\n";
    return 1;
  }
  r.password = Utf8ToCp932(password);
  if (r.secret_place == "keyring" && !r.SecretInKeyring()) r.secret_place.clear();
  const std::string notice = PlaceAccountPassword(r, c.mail_root);
  if (!notice.empty()) c.err << Cp932ToUtf8(notice) << "\n";
  list[position] = r.ToLine();
  WriteAccountList(c.mail_root, list);
  return 0;
}

void OpenBrowser(const std::string& url) {
  pid_t pid = 0;
  const char* argv[] = {"xdg-open", url.c_str(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  if (posix_spawnp(&pid, "xdg-open", &actions, nullptr, const_cast<char* const*>(argv), environ) == 0)
    waitpid(pid, nullptr, WNOHANG);
  posix_spawn_file_actions_destroy(&actions);
}

int SignIn(CliContext& c) {
  bool browser = true;
  for (size_t i = 2; i < c.args.size(); ++i) {
    if (c.args[i] == "--no-browser") browser = false;
    else return Usage(c);
  }
  std::vector<std::string> list;
  size_t position = 0;
  AccountRecord r;
  if (c.args.size() < 2) return Usage(c);
  if (!Find(c, list, position, r)) return 1;
  if (!r.UsesOAuth2()) {
    r.login_method = "oauth2";
    if (r.oauth_provider.empty()) r.oauth_provider = "custom";
  }
  ConnectionOptions options;
  options.mail_root = c.mail_root;
  const OAuthTokens tokens = SignInWithBrowser(options, ProviderFor(r), Cp932ToUtf8(r.user), [&](const std::string& url) {
    c.out << url << std::endl;
    if (browser) OpenBrowser(url);
  });
  const std::string notice = KeepSignIn(r, c.mail_root, tokens);
  if (!notice.empty()) c.err << Cp932ToUtf8(notice) << "\n";
  list[position] = r.ToLine();
  WriteAccountList(c.mail_root, list);
  c.out << texts::kSignedIn << std::endl;
  return 0;
}

int Account(CliContext& c) {
  if (c.args.empty()) return Usage(c);
  const std::string& what = c.args[0];
  if (what == "list" && c.args.size() == 1) return List(c);
  if (what == "add") return Add(c);
  if (what == "password") return Password(c);
  if (what == "signin") return SignIn(c);
  return Usage(c);
}

const CliCommand registration("account", kUsage, Account);

}  // namespace
}  // namespace plumex::cli

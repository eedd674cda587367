#include "protocol/oauth2.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "text/base64.h"
#include "text/sjis_text.h"
#include "platform/unique_fd.h"
#include "protocol/flat_json.h"
#include "protocol/http_client.h"
#include "protocol/protocol_error.h"
#include "protocol/protocol_texts.h"
#include "protocol/protocol_trace.h"

namespace plumex {
namespace {

constexpr size_t kMaxRequestBytes = 16 * 1024;

std::string SignInAgainText() {
  return Sjis(texts::kSignInExpired1) + "\r\n" +
         Sjis(texts::kSignInExpired2);
}

std::string AdminApprovalText() {
  return Sjis(texts::kAdminApproval1) + "\r\n" +
         Sjis(texts::kAdminApproval2) + "\r\n" +
         Sjis(texts::kAdminApproval3);
}

bool NeedsAdmin(const std::string& error, const std::string& description) {
  for (const char* mark : {"AADSTS65001", "AADSTS90094", "AADSTS90095", "AADSTS900941", "admin_consent",
                           "admin approval", "administrator"})
    if (description.find(mark) != std::string::npos || error.find(mark) != std::string::npos) return true;
  return error == "consent_required" || error == "admin_policy_enforced";
}

// The value of name in a query string ("a=1&b=2"), decoded; nothing when absent.
std::optional<std::string> QueryValue(std::string_view query, std::string_view name) {
  while (!query.empty()) {
    const size_t amp = query.find('&');
    std::string_view pair = query.substr(0, amp);
    const size_t eq = pair.find('=');
    if (FormDecode(pair.substr(0, eq)) == name)
      return eq == std::string_view::npos ? std::string() : FormDecode(pair.substr(eq + 1));
    if (amp == std::string_view::npos) break;
    query.remove_prefix(amp + 1);
  }
  return std::nullopt;
}

OAuthTokens ReadTokenAnswer(const HttpResponse& response, const std::string& token_url, long long now) {
  const auto json = ParseFlatJsonObject(response.body);
  auto field = [&](const char* name) -> std::string {
    if (!json) return {};
    auto it = json->find(name);
    return it == json->end() ? std::string() : it->second;
  };
  if (response.status != 200 || !json || field("access_token").empty()) {
    const std::string error = field("error");
    WriteProtocolDebug("*: token endpoint answered " + std::to_string(response.status) +
                       (error.empty() ? std::string() : " error=" + error));
    if (!error.empty()) throw ProviderRefusal(error, field("error_description"));
    throw ProtocolError(Sjis(texts::kNoToken) + std::to_string(response.status) + ")\r\n" +
                            Sjis(texts::kServerLine) + token_url,
                        ErrorKind::Protocol);
  }
  OAuthTokens tokens;
  tokens.access_token = field("access_token");
  tokens.refresh_token = field("refresh_token");
  long long expires_in = 3600;
  if (const std::string e = field("expires_in"); !e.empty()) expires_in = std::atoll(e.c_str());
  tokens.expires_at = now + expires_in;
  return tokens;
}

std::string SignInPage(bool ok, const std::string& text_utf8) {
  return std::string("<!DOCTYPE html><html lang=\"ja\"><head><meta charset=\"utf-8\"><title>Plumex</title></head>"
                     "<body><p>") +
         (ok ? std::string(texts::kSignInPageDone) : text_utf8) +
         "</p></body></html>";
}

// One loopback listener for the redirect (RFC 8252 section 7.3).
class RedirectListener {
 public:
  RedirectListener() {
    fd_.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd_) Fail();
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (::bind(fd_.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd_.get(), 8) != 0) Fail();
    socklen_t len = sizeof addr;
    ::getsockname(fd_.get(), reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
  }
  std::string RedirectUri() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

  // Waits for the browser's request carrying `state`, answers it, and gives the code.
  std::string WaitForCode(const ConnectionOptions& options, const std::string& state, int timeout_seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
    for (;;) {
      UniqueFd client = Accept(options, deadline);
      std::string request = ReadRequest(options, client.get(), deadline);
      // "GET /?code=...&state=... HTTP/1.1"
      std::string_view line(request);
      line = line.substr(0, line.find("\r\n"));
      std::string_view target;
      if (line.starts_with("GET ")) {
        target = line.substr(4);
        target = target.substr(0, target.find(' '));
      }
      const size_t q = target.find('?');
      const std::string_view query = q == std::string_view::npos ? std::string_view() : target.substr(q + 1);
      const auto got_state = QueryValue(query, "state");
      if (!got_state || *got_state != state) {
        // Not the redirect (a favicon, a stray request): answered and forgotten.
        Answer(client.get(), "404 Not Found", SignInPage(false, "Not found"));
        continue;
      }
      WriteProtocolDebug("*: redirect received");
      if (auto error = QueryValue(query, "error")) {
        const OAuthError refusal = ProviderRefusal(*error, QueryValue(query, "error_description").value_or(""));
        Answer(client.get(), "200 OK", SignInPage(false, std::string(texts::kSignInPageFailed)));
        throw refusal;
      }
      const auto code = QueryValue(query, "code");
      if (!code || code->empty()) {
        Answer(client.get(), "400 Bad Request", SignInPage(false, std::string(texts::kSignInPageNoCode)));
        throw OAuthError(OAuthError::Reason::Other, Sjis(texts::kNoAuthorizationCode));
      }
      Answer(client.get(), "200 OK", SignInPage(true, {}));
      return *code;
    }
  }

 private:
  [[noreturn]] static void Fail() {
    throw ProtocolError(Sjis(texts::kNoRedirectListener) + std::strerror(errno),
                        ErrorKind::Connection);
  }

  static void Wait(const ConnectionOptions& options, int fd, short events,
                   std::chrono::steady_clock::time_point deadline) {
    for (;;) {
      if (options.stop_requested && options.stop_requested()) throw ConnectionStopped();
      if (std::chrono::steady_clock::now() >= deadline)
        throw OAuthError(OAuthError::Reason::Other, Sjis(texts::kSignInTimedOut));
      pollfd p{fd, events, 0};
      const int rc = ::poll(&p, 1, 30);
      if (rc > 0) return;
      if (options.pump) options.pump();
    }
  }

  UniqueFd Accept(const ConnectionOptions& options, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
      Wait(options, fd_.get(), POLLIN, deadline);
      UniqueFd client(::accept4(fd_.get(), nullptr, nullptr, SOCK_CLOEXEC));
      if (client) return client;
    }
  }

  static std::string ReadRequest(const ConnectionOptions& options, int fd,
                                 std::chrono::steady_clock::time_point deadline) {
    std::string request;
    char buf[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < kMaxRequestBytes) {
      Wait(options, fd, POLLIN, std::min(deadline, std::chrono::steady_clock::now() + std::chrono::seconds(10)));
      const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
      if (n <= 0) break;
      request.append(buf, static_cast<size_t>(n));
    }
    return request;
  }

  static void Answer(int fd, const char* status, const std::string& html) {
    const std::string reply = std::string("HTTP/1.1 ") + status +
                              "\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\nContent-Length: " +
                              std::to_string(html.size()) + "\r\n\r\n" + html;
    size_t done = 0;
    while (done < reply.size()) {
      const ssize_t n = ::send(fd, reply.data() + done, reply.size() - done, MSG_NOSIGNAL);
      if (n <= 0) return;
      done += static_cast<size_t>(n);
    }
  }

  UniqueFd fd_;
  int port_ = 0;
};

}  // namespace

std::string Base64Url(std::string_view bytes) {
  std::string s = Base64Encode(bytes);
  while (!s.empty() && s.back() == '=') s.pop_back();
  for (char& c : s) {
    if (c == '+') c = '-';
    else if (c == '/') c = '_';
  }
  return s;
}

std::string RandomUrlSafe(size_t bytes) {
  std::string raw(bytes, '\0');
  if (RAND_bytes(reinterpret_cast<unsigned char*>(raw.data()), static_cast<int>(bytes)) != 1)
    throw ProtocolError(Sjis(texts::kNoRandom), ErrorKind::Protocol);
  return Base64Url(raw);
}

Pkce MakePkce() {
  Pkce p;
  p.verifier = RandomUrlSafe(32);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_Digest(p.verifier.data(), p.verifier.size(), digest, &size, EVP_sha256(), nullptr);
  p.challenge = Base64Url(std::string_view(reinterpret_cast<const char*>(digest), size));
  return p;
}

std::string AuthorizationUrl(const OAuthProvider& provider, const std::string& redirect_uri, const Pkce& pkce,
                             const std::string& state, const std::string& login_hint) {
  std::string url = provider.authorize_url;
  url += url.find('?') == std::string::npos ? '?' : '&';
  url += "response_type=code&client_id=" + FormEncode(provider.client_id) + "&redirect_uri=" +
         FormEncode(redirect_uri) + "&scope=" + FormEncode(provider.scopes) + "&state=" + FormEncode(state) +
         "&code_challenge=" + pkce.challenge + "&code_challenge_method=S256";
  if (!login_hint.empty()) url += "&login_hint=" + FormEncode(login_hint);
  return url;
}

OAuthError ProviderRefusal(const std::string& error, const std::string& description) {
  const std::string reply = error + (description.empty() ? "" : ": " + description.substr(0, 300));
  if (NeedsAdmin(error, description)) return OAuthError(OAuthError::Reason::AdminApproval, AdminApprovalText(), reply);
  if (error == "invalid_grant") return OAuthError(OAuthError::Reason::SignInAgain, SignInAgainText(), reply);
  if (error == "access_denied")
    return OAuthError(OAuthError::Reason::Denied, Sjis(texts::kSignInDenied), reply);
  return OAuthError(OAuthError::Reason::Other, Sjis(texts::kSignInFailed) + reply, reply);
}

OAuthTokens ExchangeCode(const ConnectionOptions& options, const OAuthProvider& provider, const std::string& code,
                         const std::string& redirect_uri, const std::string& verifier, long long now) {
  FormFields fields = {{"grant_type", "authorization_code"},
                       {"code", code},
                       {"redirect_uri", redirect_uri},
                       {"client_id", provider.client_id},
                       {"code_verifier", verifier}};
  if (!provider.client_secret.empty()) fields.emplace_back("client_secret", provider.client_secret);
  return ReadTokenAnswer(HttpPostForm(options, provider.token_url, fields), provider.token_url, now);
}

OAuthTokens RefreshAccessToken(const ConnectionOptions& options, const OAuthProvider& provider,
                               const std::string& refresh_token, long long now) {
  FormFields fields = {{"grant_type", "refresh_token"}, {"refresh_token", refresh_token}, {"client_id", provider.client_id}};
  if (!provider.scopes.empty()) fields.emplace_back("scope", provider.scopes);
  if (!provider.client_secret.empty()) fields.emplace_back("client_secret", provider.client_secret);
  OAuthTokens tokens = ReadTokenAnswer(HttpPostForm(options, provider.token_url, fields), provider.token_url, now);
  if (tokens.refresh_token.empty()) tokens.refresh_token = refresh_token;
  return tokens;
}

OAuthTokens SignInWithBrowser(const ConnectionOptions& options, const OAuthProvider& provider,
                              const std::string& login_hint, const std::function<void(const std::string&)>& show_url,
                              int timeout_seconds) {
  if (provider.authorize_url.empty() || provider.token_url.empty() || provider.client_id.empty())
    throw OAuthError(OAuthError::Reason::Other,
                     Sjis(texts::kSignInSettingsMissing));
  RedirectListener listener;
  const Pkce pkce = MakePkce();
  const std::string state = RandomUrlSafe(16);
  const std::string redirect_uri = listener.RedirectUri();
  show_url(AuthorizationUrl(provider, redirect_uri, pkce, state, login_hint));
  const std::string code = listener.WaitForCode(options, state, timeout_seconds);
  return ExchangeCode(options, provider, code, redirect_uri, pkce.verifier,
                      std::chrono::duration_cast<std::chrono::seconds>(
                          std::chrono::system_clock::now().time_since_epoch())
                          .count());
}

}  // namespace plumex

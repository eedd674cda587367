// OAuth2 sign-in for mail (RFC 6749 authorization code grant, RFC 7636 PKCE with S256, RFC 8252
// loopback redirect): the authorization URL opened in the system's browser, a one-shot HTTP
// listener on 127.0.0.1 and a random port that takes the redirect, and the token endpoint for
// the code and for refreshing. A client secret is sent only for providers that insist on one
// even from a desktop program, where it cannot be kept secret.
#pragma once

#include <functional>
#include <string>

#include "platform/app_error.h"
#include "protocol/connection.h"

namespace plumex {

struct OAuthProvider {
  std::string authorize_url;
  std::string token_url;
  std::string client_id;
  std::string scopes;  // space-separated
  std::string client_secret;  // sent only when set (Google's desktop clients want one)
};

struct OAuthTokens {
  std::string access_token;
  std::string refresh_token;
  long long expires_at = 0;  // seconds since the epoch when the access token runs out
};

// A refusal by the identity provider, explained in Japanese.
class OAuthError : public AppError {
 public:
  enum class Reason { SignInAgain, AdminApproval, Denied, Other };
  OAuthError(Reason reason, const std::string& text, std::string provider_reply = {})
      : AppError(ErrorKind::Authentication, text, std::move(provider_reply)), reason_(reason) {}
  Reason reason() const { return reason_; }

 private:
  Reason reason_;
};

struct Pkce {
  std::string verifier;   // 43 characters of base64url from 32 random bytes
  std::string challenge;  // base64url(SHA-256(verifier)), no padding
};
Pkce MakePkce();
std::string RandomUrlSafe(size_t bytes);  // base64url of random bytes
std::string Base64Url(std::string_view bytes);

// The URL the user opens: response_type=code, client_id, redirect_uri, scope, state,
// code_challenge (S256), and login_hint when given.
std::string AuthorizationUrl(const OAuthProvider& provider, const std::string& redirect_uri, const Pkce& pkce,
                             const std::string& state, const std::string& login_hint);

// The token endpoint. A refresh keeps the old refresh token when the answer brings none;
// `now` is seconds since the epoch. Throws OAuthError for the endpoint's refusals (invalid_grant:
// SignInAgain; an administrator's consent missing: AdminApproval), ProtocolError otherwise.
OAuthTokens ExchangeCode(const ConnectionOptions& options, const OAuthProvider& provider, const std::string& code,
                         const std::string& redirect_uri, const std::string& verifier, long long now);
OAuthTokens RefreshAccessToken(const ConnectionOptions& options, const OAuthProvider& provider,
                               const std::string& refresh_token, long long now);

// The whole sign-in: listens on the loopback address, hands the authorization URL to
// show_url (which opens the browser, or prints it), waits for the redirect (pumping, and
// ending on a stop or after timeout_seconds) and exchanges the code.
OAuthTokens SignInWithBrowser(const ConnectionOptions& options, const OAuthProvider& provider,
                              const std::string& login_hint, const std::function<void(const std::string&)>& show_url,
                              int timeout_seconds = 600);

// The Japanese text for an error answer of the identity provider (error, error_description).
OAuthError ProviderRefusal(const std::string& error, const std::string& description);

}  // namespace plumex

// Log-in mechanisms of POP3 (USER/PASS, RFC 5034 AUTH) and SMTP (RFC 4954 AUTH): which one an
// account uses with what a server offers, and the first client response of each. Every
// mechanism here carries the secret itself (a password, or an OAuth2 access token), so none
// may be used on a connection without TLS unless the account has no TLS at all.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumex {

enum class LoginMethod { Password, OAuth2 };

enum class SaslMechanism { UserPass, Plain, Login, XOAuth2, OAuthBearer };

// "PLAIN", "XOAUTH2", ...; "USER" for the POP3 USER/PASS pair.
const char* MechanismName(SaslMechanism mechanism);

// How a client logs in: the method and where its secret comes from. The secret is asked for
// only when the server is about to be sent it, so an account's keyring entry or token is not
// touched for nothing; `renew` is true after the server refused the last one (an OAuth2 access
// token is then fetched anew once). Throws AppError when there is no secret to be had (a
// locked keyring, a sign-in needed).
struct LoginCredentials {
  LoginMethod method = LoginMethod::Password;
  std::function<std::string(bool renew)> secret;
};

// The mechanism to use among `offered` (names, any letter case): for OAuth2 OAUTHBEARER, else
// XOAUTH2; for a password LOGIN or PLAIN for SMTP (LOGIN first, the one this client always
// used), PLAIN for POP3, else USER/PASS when `user_pass` (POP3 without SASL). Nothing when
// no mechanism fits.
std::optional<SaslMechanism> ChooseMechanism(const std::vector<std::string>& offered, LoginMethod method,
                                             bool pop3, bool user_pass);

// The initial client response, not yet base64-encoded. host and port are the server's (for
// OAUTHBEARER).
std::string SaslInitialResponse(SaslMechanism mechanism, std::string_view user, std::string_view secret,
                                std::string_view host, int port);

// The words after "AUTH" / "SASL" of capability lines, upper-case.
std::vector<std::string> OfferedMechanisms(const std::vector<std::string>& capability_lines, std::string_view keyword);

// "サーバが対応しているログイン方式: PLAIN LOGIN" (or "なし"), with what the account wanted and
// the server named.
std::string NoMechanismText(LoginMethod method, const std::vector<std::string>& offered, const std::string& host,
                            int port);

}  // namespace plumex

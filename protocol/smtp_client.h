// SMTP client (RFC 5321): EHLO (HELO when refused), STARTTLS, AUTH (RFC 4954: LOGIN, PLAIN,
// XOAUTH2, OAUTHBEARER; a server offering AUTH but none the account can use is an error, never
// a send without log-in; one without AUTH at all takes mail without), RSET / MAIL FROM /
// RCPT TO in one batch when the server offers PIPELINING, then DATA once every recipient was
// taken: a message goes to all its recipients or, when the server refuses any, to none (the
// refused addresses named in the error). Failures throw
// ProtocolError: a refused AUTH is of kind Authentication, any other 4xx / 5xx ServerRefusal,
// both with the server's reply; no STARTTLS when TLS is wanted is Tls; a reply that is no SMTP
// is Protocol; a broken line is Connection (see Connection).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/connection.h"
#include "protocol/protocol_error.h"
#include "protocol/sasl.h"

namespace plumex {

class OutgoingMessage;

class SmtpClient {
 public:
  explicit SmtpClient(ConnectionOptions options = {});
  ~SmtpClient();

  ConnectionOptions& options() { return connection_.options(); }

  std::string user_name;  // AUTH when not empty
  std::string password;
  // How to log in; without a secret source the password above is used.
  LoginCredentials login;

  // Greeting, then EHLO (or HELO) with the computer's name. With tls_wanted the connection
  // is upgraded by STARTTLS in Authenticate.
  // With implicit_tls the connection is under TLS from the first byte (port 465).
  void Connect(const std::string& host, int port, bool tls_wanted, bool implicit_tls = false);
  bool IsConnected() const { return connection_.IsOpen(); }

  // STARTTLS when TLS is wanted, then AUTH; at most once per connection.
  void Authenticate();

  // Authenticates first when not yet done.
  void Send(const OutgoingMessage& message);

  // QUIT and close (at once, without QUIT, when called while a command is waiting).
  void Disconnect();

  bool pipelining() const { return Has("PIPELINING"); }
  const std::vector<std::string>& capabilities() const { return capabilities_; }

 private:
  struct Reply {
    int code = 0;
    std::string text;  // every line of the reply, joined with CR LF
  };
  Reply ReadReply();
  Reply Command(const std::string& line);
  void Hello();
  bool Has(const std::string& keyword) const;
  // A command is one line: text with CR, LF or NUL would smuggle in commands of its own.
  // Throws ProtocolError of kind BadInput.
  void RequireOneLine(std::string_view text) const;
  // AUTH with one mechanism: true when accepted; a refusal of the secret is put in *refused.
  bool AuthenticateWith(SaslMechanism mechanism, const std::string& secret, std::optional<Reply>& refused);
  // RSET (whatever its answer), then throws Refused(reply, kind).
  [[noreturn]] void FailAfterReset(const Reply& reply, ErrorKind kind = ErrorKind::ServerRefusal);
  ProtocolError Refused(const Reply& reply, ErrorKind kind = ErrorKind::ServerRefusal) const;

  Connection connection_;
  std::vector<std::string> capabilities_;  // EHLO lines after the first
  bool tls_wanted_ = false;
  bool authenticated_ = false;
  bool busy_ = false;
};

}  // namespace plumex

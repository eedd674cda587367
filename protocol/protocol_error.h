// Errors of the protocol layer, all AppErrors: the text (what()) is code page 932 and is what
// the commands show the user; a refused command carries the server's reply as well.
#pragma once

#include <string>
#include <utility>

#include "platform/app_error.h"

namespace plumex {

class ProtocolError : public AppError {
 public:
  explicit ProtocolError(const std::string& text, ErrorKind kind = ErrorKind::Protocol,
                         std::string server_reply = {})
      : AppError(kind, text, std::move(server_reply)) {}
};

// A connection or a reply did not come in time (kind Connection): trying again at full length
// would only make the user wait as long once more.
class TimedOutError : public ProtocolError {
 public:
  explicit TimedOutError(const std::string& text) : ProtocolError(text, ErrorKind::Connection) {}
};

// A wait on the network ended because the stop callback asked for it.
class ConnectionStopped : public ProtocolError {
 public:
  ConnectionStopped();
};

// The TLS handshake failed (no common protocol, not a TLS server, ...).
class TlsError : public ProtocolError {
 public:
  explicit TlsError(const std::string& text) : ProtocolError(text, ErrorKind::Tls) {}
};

// The server's certificate could not be verified and is not in the trusted list.
// The command that connected asks the user (CertificateQuestion) and may trust it.
class CertificateError : public ProtocolError {
 public:
  CertificateError(std::string host, int port, std::string reason, std::string fingerprint);
  const std::string& host() const { return host_; }
  int port() const { return port_; }
  const std::string& reason() const { return reason_; }
  // SHA-256 of the certificate (DER) as 64 lower-case hex digits.
  const std::string& fingerprint() const { return fingerprint_; }

 private:
  std::string host_;
  int port_;
  std::string reason_;
  std::string fingerprint_;
};

}  // namespace plumex

// The one error type of the core. Every failure a person is told about is an AppError (or a
// subclass): what kind of failure it was, the server's own reply when a server refused, and
// the Japanese text to show.
//
// Encoding rule: text() (and what()) is code page 932, like every text of the core; the window
// turns it into a QString with the CP932 codec, the command-line tool prints it as UTF-8.
// server_reply() is the reply line as the server sent it (bytes, normally ASCII).
#pragma once

#include <stdexcept>
#include <string>

namespace plumex {

enum class ErrorKind {
  Connection,      // name lookup, connect, time-out, a line that broke
  Tls,             // handshake, certificate
  Authentication,  // the server refused the user name or password
  Protocol,        // the server said something that makes no sense
  ServerRefusal,   // the server refused a command (-ERR, 4xx/5xx)
  LocalFile,       // a file or folder of the store could not be read or written
  Local,           // this machine failed otherwise: out of memory, a library that gave up
  BadInput,        // what the user or a file gave cannot be used
  Stopped,         // the user stopped the run
};

class AppError : public std::runtime_error {
 public:
  AppError(ErrorKind kind, const std::string& text, std::string server_reply = {})
      : std::runtime_error(text), kind_(kind), server_reply_(std::move(server_reply)) {}
  ErrorKind kind() const { return kind_; }
  std::string text() const { return what(); }
  const std::string& server_reply() const { return server_reply_; }

 private:
  ErrorKind kind_;
  std::string server_reply_;
};

}  // namespace plumex

// POP3 client (RFC 1939): log-in after the greeting (USER and PASS, or AUTH (RFC 5034) with
// PLAIN, XOAUTH2 or OAUTHBEARER), STAT, LIST n, TOP n 0, RETR n, DELE n, QUIT. TLS from the
// first byte, or by STLS (RFC 2595) on a plain connection, required then: a server without it
// is refused before anything secret is sent. Failures throw
// ProtocolError: a "-ERR" to USER or PASS is of kind Authentication, to any other command
// ServerRefusal, both with the reply line; a reply that is no POP3 is Protocol and closes the
// connection; a broken line is Connection (see Connection).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "protocol/connection.h"
#include "protocol/parsed_message.h"
#include "protocol/protocol_error.h"
#include "protocol/sasl.h"

namespace plumex {

class ParsedMessage;

class Pop3Client {
 public:
  explicit Pop3Client(ConnectionOptions options = {});
  ~Pop3Client();

  ConnectionOptions& options() { return connection_.options(); }

  // Connection set-up from the account record.
  std::string host;
  int port = 110;
  std::string user_name;
  std::string password;
  bool use_tls = false;
  // With use_tls: upgrade a plain connection by STLS instead of TLS from the first byte.
  bool starttls = false;
  // How to log in; without a secret source the password above is used.
  LoginCredentials login;

  // Status text whenever the connection's state changes, and the end of the connection.
  std::function<void(const std::string&)> on_status;
  std::function<void()> on_disconnected;

  // Greeting, CAPA, STLS when asked for, then the log-in. On failure the connection is closed
  // and the error thrown.
  void Connect();
  bool IsConnected() const { return connection_.IsOpen(); }

  // The longest message RETR takes whatever LIST announced (1 GB unless set).
  long long max_message_bytes = kMaxMessageBytes;

  int Stat();                // number of messages
  // Size of message n in bytes, -1 when the server refuses LIST n or its answer cannot be
  // read: the size is only shown, so a broken answer must not stop receiving.
  long long List(int n);
  // The sizes of every message (LIST without argument), by message number; -1 for numbers
  // the server did not list (all of them when it refused or garbled the answer).
  std::vector<long long> ListAll();
  // The header of message n (TOP n 0), the whole message n, or its lines unparsed. announced
  // is the size LIST gave (-1: unknown): a reply far longer than that (or than
  // max_message_bytes) is cut off, the connection closed and a ProtocolError thrown.
  void Top(int n, ParsedMessage& message, long long announced = -1);
  void Retrieve(int n, ParsedMessage& message, long long announced = -1);
  void RetrieveRaw(int n, std::vector<std::string>& lines, long long announced = -1);
  void Delete(int n);        // DELE n

  // The unique ids of every message (UIDL without argument), by message number; "" for
  // numbers the server did not list. Nothing when the server has no UIDL.
  std::optional<std::vector<std::string>> UidlAll();
  // TOP n 0 for n = first..last, handing each header (ParseHeaderOnly: lines, no MIME parse)
  // to `each` (which may pump the window)
  // before the next is read; `each` returns false to stop early. With PIPELINING the commands
  // go out in one batch ahead of the replies (RFC 2449), else one after the other.
  void TopEach(int first, int last, ParsedMessage& message, const std::function<bool(int n)>& each);
  bool pipelining() const;

  // QUIT and close. While a command is waiting (Disconnect called from the pump callback)
  // the connection is closed at once without QUIT, so the waiting command fails.
  void Disconnect();

  const std::vector<std::string>& capabilities() const { return capabilities_; }

 private:
  // The "+OK" reply line; a "-ERR" throws with the kind `refusal`.
  std::string Command(const std::string& line, ErrorKind refusal = ErrorKind::ServerRefusal);
  std::string ReadReply(ErrorKind refusal);
  ProtocolError BadReply(const std::string& reply) const;  // a "+OK" that cannot be read
  // The lines of a multi-line reply; more than max_bytes in all closes the connection.
  template <typename Sink>
  void ReadMultiLine(size_t max_bytes, Sink&& sink, bool traced = false);
  // The most a message reply may carry when LIST announced `announced` bytes.
  size_t MessageReplyLimit(long long announced) const;
  // The first line of a reply whose "-ERR" or garbage only means "no answer" (LIST).
  std::string LenientReply(const std::string& command);
  void Status(const std::string& text);
  void ReadCapabilities();
  void UpgradeByStls();
  void LogIn();
  // AUTH with one mechanism; false when the server refused the secret (kind Authentication in
  // *refusal), so that a renewed token may be tried.
  bool Authenticate(SaslMechanism mechanism, const std::string& secret, std::optional<ProtocolError>& refusal);

  Connection connection_;
  std::vector<std::string> capabilities_;
  bool busy_ = false;
};

// Ends the session with QUIT (which makes deletions final) when one is open; a failing QUIT
// closes the connection anyway, and nothing already filed depends on it.
void QuietDisconnect(Pop3Client& pop3);

}  // namespace plumex

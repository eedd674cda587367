// One TCP connection, optionally under TLS (from the first byte, or upgraded later with
// StartTls). Everything runs on the user-interface thread: while it waits for the network the
// connection calls the pump callback every few tens of milliseconds, so the window keeps
// answering, and a stop request breaks the wait with ConnectionStopped.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "protocol/openssl_ptr.h"
#include "protocol/protocol_trace.h"
#include "protocol/protocol_texts.h"
#include "platform/unique_fd.h"

namespace plumex {

struct ConnectionOptions {
  int connect_timeout_seconds = 30;
  int read_timeout_seconds = 60;
  // Overall limit of one exchange (a command and its whole reply, or the greeting), however
  // steadily the bytes trickle in: the idle time-out alone lets a server that sends one byte a
  // second hold a run for ever. An exchange that carries n bytes gets n /
  // min_bytes_per_second seconds more, so a large message on a slow line still gets through.
  int exchange_timeout_seconds = 120;
  long long min_bytes_per_second = 16 * 1024;
  // A bound on a whole phase of work over several connections and exchanges (the connecting
  // phase of a receive, all its attempts together): no wait outlasts it. Zero: none.
  std::chrono::steady_clock::time_point phase_deadline{};
  int phase_seconds = 0;  // its length, for the message when it is reached
  // Lets pending window messages run; called while waiting for the network.
  std::function<void()> pump;
  // True when the user asked to stop; checked after every pump.
  std::function<bool()> stop_requested;
  // MailRoot; its "TrustedCerts.ini" lists certificates the user accepted. Empty: no list.
  std::filesystem::path mail_root;
  // CA bundle to verify against instead of the system's store (tests). Empty: the system's.
  std::string ca_file;
};

class Connection {
 public:
  explicit Connection(ConnectionOptions options = {});
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  ConnectionOptions& options() { return options_; }

  // Resolves host, connects (trying every address) and, with implicit_tls, performs the TLS
  // handshake at once. Throws ProtocolError (kind Connection, Tls or BadInput, the text naming
  // host and port), CertificateError or ConnectionStopped; the connection is closed after any
  // failure.
  void Open(const std::string& host, int port, bool implicit_tls);

  // TLS handshake on the open plain connection (STARTTLS). Nothing read ahead may be pending.
  void StartTls();

  bool IsOpen() const { return static_cast<bool>(fd_); }
  bool IsTls() const { return ssl_ != nullptr; }
  const std::string& host() const { return host_; }
  int port() const { return port_; }

  // Closes at once, without a word to the server. Safe to call at any time, also from the
  // pump callback while a read is waiting (the read then fails).
  void Close();

  // Writes all bytes (a whole command at once). Starts a new exchange: the reply that follows
  // must be complete within the exchange time-out (plus the time the written bytes allow).
  void Write(std::string_view bytes);
  // The same, but the trace shows `shown` instead of the bytes: a password, an AUTH argument,
  // a token or a message's text never reaches the trace.
  void Write(std::string_view bytes, std::string_view shown);

  // Whether the lines read go to the trace; off while a message's lines arrive.
  void TraceReads(bool on) { trace_reads_ = on; }
  // Adds a line of our own ("*: ...") to the trace.
  void Note(std::string_view text) { trace_.Add('*', text); }
  const ProtocolTrace& trace() const { return trace_; }

  // The rest of a reply that is not made of lines (an HTTP body): `length` bytes, or when
  // length < 0 everything until the peer closes. More than max_bytes closes the connection and
  // throws (as FailTooLong).
  std::string ReadRest(long long length, size_t max_bytes);

  // The current exchange is expected to carry `bytes` more (an announced message size): its
  // deadline moves by the time those bytes may take at the slowest rate allowed.
  void ExpectBytes(long long bytes);

  // Next line without its line end (LF, CR LF). The view stays valid until the next read.
  // Throws when the server closes the connection before a line is complete. A broken or
  // timed-out line is a ProtocolError of kind Connection and closes the connection; a line
  // longer than max_line closes it too (ProtocolError of kind Protocol).
  std::string_view ReadLine(size_t max_line = kMaxReplyLine);

  // The longest line any reply may have.
  static constexpr size_t kMaxReplyLine = 64 * 1024 * 1024;

  // Closes the connection and throws the error of a reply longer than `limit` bytes.
  [[noreturn]] void FailTooLong(size_t limit);

  // Called when the connection closes (by Close or by the server).
  std::function<void()> on_closed;

 private:
  // Closes and throws ProtocolError: kind Connection (Tls for TlsFailed), the text naming the
  // server, "could not connect" while connecting and "the line failed" afterwards.
  [[noreturn]] void Fail(LineFault fault, const std::string& detail = {});
  [[noreturn]] void FailErrno(int err);
  [[noreturn]] void FailTls();  // a TLS read or write failed
  void Handshake();
  void VerifyPeer();
  // Waits until fd is ready for `events` (poll flags), pumping; throws on time-out or stop.
  void WaitFor(short events, std::chrono::steady_clock::time_point deadline, LineFault timeout);
  void MaybePump();
  void StartExchange(size_t bytes);
  // Now plus the idle time-out, or the end of the exchange or of the phase when that comes first.
  std::chrono::steady_clock::time_point ReadDeadline() const;
  std::chrono::steady_clock::time_point WithinPhase(std::chrono::steady_clock::time_point deadline) const;
  // The time-out that ran out at the deadline, in seconds, for the message.
  int TimeOutSeconds(std::chrono::steady_clock::time_point deadline, LineFault fault) const;
  void CheckAlive();
  size_t ReadSome(char* buffer, size_t size);  // > 0 bytes, or throws; 0 at the end when eof_ok_

  ProtocolTrace trace_;
  bool trace_reads_ = true;
  bool eof_ok_ = false;  // in ReadRest without a length: the peer's close ends the body

  ConnectionOptions options_;
  UniqueFd fd_;
  SslPtr ssl_;  // holds a reference to the shared context it was made from
  std::string host_;
  int port_ = 0;
  bool connecting_ = false;  // in Open or a handshake: errors read "could not connect"
  std::string buffer_;
  size_t begin_ = 0;  // unread data is buffer_[begin_, buffer_.size())
  size_t scan_ = 0;   // bytes after begin_ already known to hold no LF
  std::chrono::steady_clock::time_point last_pump_;
  std::chrono::steady_clock::time_point exchange_deadline_ = std::chrono::steady_clock::time_point::max();
};

}  // namespace plumex

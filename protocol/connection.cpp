#include "protocol/connection.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "text/sjis_text.h"
#include "protocol/protocol_error.h"
#include "protocol/protocol_texts.h"
#include "protocol/trusted_certs.h"

namespace plumex {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPumpInterval = std::chrono::milliseconds(30);
constexpr size_t kReadChunk = 64 * 1024;

// The system's CA store. The hashed directory is read lazily, one issuer at a time, where the
// bundle file would be parsed whole; SSL_CERT_FILE still names a file.
void LoadSystemCertificates(SSL_CTX* ctx, const char* file, const char* dir) {
  if (file && *file) SSL_CTX_load_verify_file(ctx, file);
  SSL_CTX_load_verify_dir(ctx, dir && *dir ? dir : X509_get_default_cert_dir());
}

// The client context with its CA store, made once per CA choice (the options' CA file, or the
// system's store as SSL_CERT_FILE / SSL_CERT_DIR name it) and kept for the process, so a
// connection does not load the store again. Every SSL made from it holds a reference of its
// own. The certificate is judged after the handshake (VerifyPeer), against the trusted list
// as it stands at that moment. Locked: a context may be asked for from any thread.
SSL_CTX* ClientContext(const std::string& ca_file) {
  // OpenSSL first, so that its clean-up at exit runs after the contexts below are freed.
  OPENSSL_init_ssl(0, nullptr);
  static std::mutex mutex;
  static std::map<std::string, SslCtxPtr> contexts;
  const char* env_file = std::getenv(X509_get_default_cert_file_env());
  const char* env_dir = std::getenv(X509_get_default_cert_dir_env());
  std::string key = ca_file;
  if (ca_file.empty()) key = std::string(1, '\0') + (env_file ? env_file : "") + '\0' + (env_dir ? env_dir : "");
  std::lock_guard<std::mutex> lock(mutex);
  SslCtxPtr& ctx = contexts[key];
  if (ctx) return ctx.get();
  SslCtxPtr made(SSL_CTX_new(TLS_client_method()));
  if (!made) return nullptr;
  SSL_CTX_set_min_proto_version(made.get(), TLS1_2_VERSION);
  SSL_CTX_set_verify(made.get(), SSL_VERIFY_NONE, nullptr);  // judged after the handshake
  if (!ca_file.empty())
    SSL_CTX_load_verify_locations(made.get(), ca_file.c_str(), nullptr);
  else
    LoadSystemCertificates(made.get(), env_file, env_dir);
  ctx = std::move(made);
  return ctx.get();
}

// OpenSSL's short reason for the last error ("wrong version number"), or "". Clears the queue.
std::string OpenSslDetail() {
  const unsigned long e = ERR_get_error();
  ERR_clear_error();
  if (e == 0) return {};
  const char* reason = ERR_reason_error_string(e);
  return reason ? reason : "error " + std::to_string(ERR_GET_REASON(e));
}

LineFault FaultOfErrno(int err) {
  switch (err) {
    case ECONNREFUSED: return LineFault::Refused;
    case ETIMEDOUT: return LineFault::ConnectTimedOut;
    case ENETUNREACH: return LineFault::NetworkUnreachable;
    case EHOSTUNREACH: return LineFault::HostUnreachable;
    case ECONNRESET:
    case ECONNABORTED:
    case EPIPE: return LineFault::ClosedByServer;
    default: return LineFault::Other;
  }
}

bool IsIpLiteral(const std::string& host) {
  unsigned char buf[sizeof(in6_addr)];
  return inet_pton(AF_INET, host.c_str(), buf) == 1 || inet_pton(AF_INET6, host.c_str(), buf) == 1;
}

// Name resolution runs on a helper thread so that the window can be pumped meanwhile; when
// the wait is abandoned (stop, time-out) the thread frees its result itself.
struct Resolution {
  std::mutex mutex;
  std::condition_variable done_cv;
  bool done = false;
  int rc = 0;
  addrinfo* result = nullptr;
  ~Resolution() {
    if (result) freeaddrinfo(result);
  }
};

}  // namespace

Connection::Connection(ConnectionOptions options) : options_(std::move(options)) {
  // A peer that closes while we write must give an error, not end the program.
  static std::once_flag sigpipe_once;
  std::call_once(sigpipe_once, [] { signal(SIGPIPE, SIG_IGN); });
}

Connection::~Connection() {
  on_closed = nullptr;
  Close();
}

void Connection::Close() {
  const bool was_open = static_cast<bool>(fd_);
  if (was_open) {
    trace_.Add('*', "closed");
    KeepLastConnectionTrace(trace_);
  }
  ssl_.reset();
  fd_.reset();
  buffer_.clear();
  begin_ = scan_ = 0;
  if (was_open && on_closed) on_closed();
}

void Connection::Fail(LineFault fault, const std::string& detail) {
  const bool connecting = connecting_;
  connecting_ = false;
  Close();
  const std::string text = ConnectionErrorText(connecting, host_, port_, fault, detail);
  if (fault == LineFault::TlsFailed) throw TlsError(text);
  if (fault == LineFault::ConnectTimedOut || fault == LineFault::ReplyTimedOut) throw TimedOutError(text);
  throw ProtocolError(text, fault == LineFault::BadPort ? ErrorKind::BadInput : ErrorKind::Connection);
}

void Connection::FailErrno(int err) {
  const LineFault fault = FaultOfErrno(err);
  Fail(fault, fault == LineFault::Other ? "errno " + std::to_string(err) : std::string());
}

void Connection::FailTls() {
  // A peer that closed without a word reads as closed by the server; anything else keeps
  // OpenSSL's reason.
  const unsigned long e = ERR_peek_error();
  if (ERR_GET_LIB(e) == ERR_LIB_SSL && ERR_GET_REASON(e) == SSL_R_UNEXPECTED_EOF_WHILE_READING) {
    ERR_clear_error();
    Fail(LineFault::ClosedByServer);
  }
  Fail(LineFault::Other, OpenSslDetail());
}

void Connection::CheckAlive() {
  if (!static_cast<bool>(fd_)) Fail(LineFault::NotConnected);
  if (options_.stop_requested && options_.stop_requested()) {
    connecting_ = false;
    Close();
    throw ConnectionStopped();
  }
}

void Connection::MaybePump() {
  const auto now = Clock::now();
  if (now - last_pump_ < kPumpInterval) return;
  last_pump_ = now;
  if (options_.pump) options_.pump();
  CheckAlive();
}

void Connection::WaitFor(short events, Clock::time_point deadline, LineFault timeout) {
  for (;;) {
    const auto now = Clock::now();
    if (now >= deadline) Fail(timeout, std::to_string(TimeOutSeconds(deadline, timeout)) + Sjis(texts::kSecondsSuffix));
    const auto slice = std::min<Clock::duration>(deadline - now, kPumpInterval);
    pollfd p{fd_.get(), events, 0};
    const int ms = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(slice).count());
    const int rc = ::poll(&p, 1, std::max(ms, 1));
    if (rc > 0) {
      MaybePump();
      return;
    }
    if (rc < 0 && errno != EINTR) FailErrno(errno);
    MaybePump();
  }
}

void Connection::Open(const std::string& host, int port, bool implicit_tls) {
  Close();
  host_ = host;
  port_ = port;
  connecting_ = true;
  trace_.Clear();
  trace_reads_ = true;
  trace_.Add('*', "connect " + host + ":" + std::to_string(port) + (implicit_tls ? " (TLS)" : ""));
  last_pump_ = Clock::now();
  if (port <= 0 || port > 65535) Fail(LineFault::BadPort);
  const auto deadline = WithinPhase(Clock::now() + std::chrono::seconds(options_.connect_timeout_seconds));

  auto res = std::make_shared<Resolution>();
  {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG;
    const std::string service = std::to_string(port);
    std::thread([res, host, service, hints] {
      addrinfo* out = nullptr;
      const int rc = getaddrinfo(host.c_str(), service.c_str(), &hints, &out);
      std::lock_guard<std::mutex> lock(res->mutex);
      res->rc = rc;
      res->result = out;
      res->done = true;
      res->done_cv.notify_all();
    }).detach();
  }
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(res->mutex);
      if (res->done_cv.wait_for(lock, kPumpInterval, [&] { return res->done; })) break;
    }
    if (options_.pump) options_.pump();
    last_pump_ = Clock::now();
    if (options_.stop_requested && options_.stop_requested()) {
      connecting_ = false;
      throw ConnectionStopped();
    }
    if (Clock::now() >= deadline)
      Fail(LineFault::ConnectTimedOut,
           std::to_string(TimeOutSeconds(deadline, LineFault::ConnectTimedOut)) + Sjis(texts::kSecondsSuffix));
  }
  if (res->rc != 0) Fail(LineFault::HostNotFound);

  int last_errno = 0;
  for (addrinfo* ai = res->result; ai; ai = ai->ai_next) {
    fd_.reset(::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol));
    if (!static_cast<bool>(fd_)) {
      last_errno = errno;
      continue;
    }
    int rc = ::connect(fd_.get(), ai->ai_addr, ai->ai_addrlen);
    if (rc != 0 && errno == EINPROGRESS) {
      WaitFor(POLLOUT, deadline, LineFault::ConnectTimedOut);  // a time-out ends all attempts
      int err = 0;
      socklen_t len = sizeof err;
      getsockopt(fd_.get(), SOL_SOCKET, SO_ERROR, &err, &len);
      rc = err == 0 ? 0 : -1;
      errno = err;
    }
    if (rc == 0) break;
    last_errno = errno;
    fd_.reset();
  }
  if (!static_cast<bool>(fd_)) FailErrno(last_errno);
  const int one = 1;
  setsockopt(fd_.get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  if (implicit_tls) Handshake();
  connecting_ = false;
  StartExchange(0);  // the greeting
}

void Connection::StartTls() {
  if (!static_cast<bool>(fd_)) Fail(LineFault::NotConnected);
  if (ssl_) return;
  buffer_.clear();
  begin_ = scan_ = 0;
  connecting_ = true;
  trace_.Add('*', "TLS");
  Handshake();
  connecting_ = false;
}

void Connection::Handshake() {
  SSL_CTX* ctx = ClientContext(options_.ca_file);
  if (!ctx) Fail(LineFault::TlsFailed, OpenSslDetail());
  ERR_clear_error();
  ssl_.reset(SSL_new(ctx));
  if (!ssl_) Fail(LineFault::TlsFailed, OpenSslDetail());
  SSL_set_mode(ssl_.get(), SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  SSL_set_fd(ssl_.get(), fd_.get());
  if (IsIpLiteral(host_)) {
    X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_.get()), host_.c_str());
  } else {
    SSL_set_tlsext_host_name(ssl_.get(), host_.c_str());
    SSL_set1_host(ssl_.get(), host_.c_str());
  }
  const auto deadline = WithinPhase(Clock::now() + std::chrono::seconds(options_.read_timeout_seconds));
  for (;;) {
    const int rc = SSL_connect(ssl_.get());
    if (rc == 1) break;
    const int err = SSL_get_error(ssl_.get(), rc);
    if (err == SSL_ERROR_WANT_READ)
      WaitFor(POLLIN, deadline, LineFault::ReplyTimedOut);
    else if (err == SSL_ERROR_WANT_WRITE)
      WaitFor(POLLOUT, deadline, LineFault::ReplyTimedOut);
    else
      Fail(LineFault::TlsFailed, OpenSslDetail());
  }
  VerifyPeer();
}

void Connection::VerifyPeer() {
  const X509Ptr cert(SSL_get1_peer_certificate(ssl_.get()));
  std::string fingerprint;
  if (cert) {
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    X509_digest(cert.get(), EVP_sha256(), md, &len);
    static const char* hex = "0123456789abcdef";
    for (unsigned int i = 0; i < len; ++i) {
      fingerprint += hex[md[i] >> 4];
      fingerprint += hex[md[i] & 15];
    }
  }
  const long result = cert ? SSL_get_verify_result(ssl_.get()) : X509_V_ERR_UNSPECIFIED;
  if (cert && result == X509_V_OK) return;
  if (!fingerprint.empty()) {
    const auto trusted = FindTrustedCertificate(options_.mail_root, host_, port_);
    if (trusted && *trusted == fingerprint) return;
  }
  const std::string reason = cert ? X509_verify_cert_error_string(result) : CertificateMissingText();
  connecting_ = false;
  Close();
  throw CertificateError(host_, port_, reason, fingerprint);
}

void Connection::StartExchange(size_t bytes) {
  exchange_deadline_ = Clock::now() + std::chrono::seconds(options_.exchange_timeout_seconds);
  ExpectBytes(static_cast<long long>(std::min<size_t>(bytes, 1ull << 40)));
}

void Connection::ExpectBytes(long long bytes) {
  if (bytes <= 0 || options_.min_bytes_per_second <= 0 || exchange_deadline_ == Clock::time_point::max()) return;
  exchange_deadline_ += std::chrono::seconds(bytes / options_.min_bytes_per_second);
}

Clock::time_point Connection::ReadDeadline() const {
  return WithinPhase(std::min(Clock::now() + std::chrono::seconds(options_.read_timeout_seconds), exchange_deadline_));
}

Clock::time_point Connection::WithinPhase(Clock::time_point deadline) const {
  if (options_.phase_deadline == Clock::time_point{}) return deadline;
  return std::min(deadline, options_.phase_deadline);
}

int Connection::TimeOutSeconds(Clock::time_point deadline, LineFault fault) const {
  if (options_.phase_deadline != Clock::time_point{} && deadline >= options_.phase_deadline)
    return options_.phase_seconds;
  if (fault == LineFault::ConnectTimedOut) return options_.connect_timeout_seconds;
  if (deadline >= exchange_deadline_) return options_.exchange_timeout_seconds;
  return options_.read_timeout_seconds;
}

void Connection::FailTooLong(size_t limit) {
  Close();
  throw ProtocolError(ReplyTooLongText(host_, port_, limit), ErrorKind::Protocol);
}

void Connection::Write(std::string_view bytes) {
  // Each line of a batch of commands is a line of the trace.
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    trace_.Add('C', line);
    pos = end + 1;
  }
  Write(bytes, {});
}

void Connection::Write(std::string_view bytes, std::string_view shown) {
  if (!shown.empty()) trace_.Add('C', shown);
  if (!static_cast<bool>(fd_)) Fail(LineFault::NotConnected);
  StartExchange(bytes.size());
  size_t done = 0;
  while (done < bytes.size()) {
    const auto deadline = ReadDeadline();
    const size_t chunk = std::min<size_t>(bytes.size() - done, 1 << 20);
    if (ssl_) {
      size_t written = 0;
      for (;;) {
        ERR_clear_error();
        const int rc = SSL_write_ex(ssl_.get(), bytes.data() + done, chunk, &written);
        if (rc == 1) break;
        const int err = SSL_get_error(ssl_.get(), rc);
        if (err == SSL_ERROR_WANT_WRITE)
          WaitFor(POLLOUT, deadline, LineFault::ReplyTimedOut);
        else if (err == SSL_ERROR_WANT_READ)
          WaitFor(POLLIN, deadline, LineFault::ReplyTimedOut);
        else if (err == SSL_ERROR_SYSCALL && errno != 0)
          FailErrno(errno);
        else
          FailTls();
      }
      done += written;
    } else {
      const ssize_t n = ::send(fd_.get(), bytes.data() + done, chunk, MSG_NOSIGNAL);
      if (n > 0) {
        done += static_cast<size_t>(n);
      } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        WaitFor(POLLOUT, deadline, LineFault::ReplyTimedOut);
      } else if (n < 0 && errno != EINTR) {
        FailErrno(errno);
      }
    }
    MaybePump();
  }
}

size_t Connection::ReadSome(char* out, size_t size) {
  const auto deadline = ReadDeadline();
  for (;;) {
    if (!static_cast<bool>(fd_)) Fail(LineFault::NotConnected);
    if (ssl_) {
      size_t got = 0;
      ERR_clear_error();
      errno = 0;
      const int rc = SSL_read_ex(ssl_.get(), out, size, &got);
      if (rc == 1) return got;
      const int err = SSL_get_error(ssl_.get(), rc);
      if (eof_ok_ && (err == SSL_ERROR_ZERO_RETURN || (err == SSL_ERROR_SYSCALL && errno == 0))) return 0;
      if (err == SSL_ERROR_WANT_READ)
        WaitFor(POLLIN, deadline, LineFault::ReplyTimedOut);
      else if (err == SSL_ERROR_WANT_WRITE)
        WaitFor(POLLOUT, deadline, LineFault::ReplyTimedOut);
      else if (err == SSL_ERROR_ZERO_RETURN || (err == SSL_ERROR_SYSCALL && errno == 0))
        Fail(LineFault::ClosedByServer);
      else if (err == SSL_ERROR_SYSCALL)
        FailErrno(errno);
      else
        FailTls();
    } else {
      const ssize_t n = ::recv(fd_.get(), out, size, 0);
      if (n > 0) return static_cast<size_t>(n);
      if (n == 0 && eof_ok_) return 0;
      if (n == 0) Fail(LineFault::ClosedByServer);
      if (errno == EAGAIN || errno == EWOULDBLOCK)
        WaitFor(POLLIN, deadline, LineFault::ReplyTimedOut);
      else if (errno != EINTR)
        FailErrno(errno);
    }
  }
}

std::string_view Connection::ReadLine(size_t max_line) {
  if (!static_cast<bool>(fd_)) Fail(LineFault::NotConnected);
  for (;;) {
    const size_t from = begin_ + scan_;
    const void* hit = from < buffer_.size() ? std::memchr(buffer_.data() + from, '\n', buffer_.size() - from) : nullptr;
    if (hit) {
      const size_t pos = static_cast<const char*>(hit) - buffer_.data();
      size_t end = pos;
      if (end > begin_ && buffer_[end - 1] == '\r') --end;
      std::string_view line(buffer_.data() + begin_, end - begin_);
      begin_ = pos + 1;
      scan_ = 0;
      if (trace_reads_) trace_.Add('S', line);
      return line;
    }
    scan_ = buffer_.size() - begin_;
    // Nothing a mail server sends is this long: the stream cannot be trusted any more.
    if (scan_ > max_line) FailTooLong(max_line);
    if (begin_ > 0) {
      buffer_.erase(0, begin_);
      begin_ = 0;
    }
    // Read into a chunk of its own: growing the line buffer by a whole chunk each time would
    // clear memory that is mostly never used.
    static thread_local std::unique_ptr<char[]> chunk(new char[kReadChunk]);
    const size_t got = ReadSome(chunk.get(), kReadChunk);
    buffer_.append(chunk.get(), got);
    MaybePump();
  }
}

std::string Connection::ReadRest(long long length, size_t max_bytes) {
  if (length >= 0 && static_cast<unsigned long long>(length) > max_bytes) FailTooLong(max_bytes);
  const size_t wanted = length < 0 ? max_bytes + 1 : static_cast<size_t>(length);
  const size_t buffered = buffer_.size() - begin_;
  const size_t take = std::min(buffered, wanted);
  std::string out = buffer_.substr(begin_, take);
  begin_ += take;
  scan_ = 0;
  if (begin_ == buffer_.size()) {
    buffer_.clear();
    begin_ = 0;
  }
  char chunk[16 * 1024];
  while (out.size() < wanted) {
    eof_ok_ = length < 0;
    size_t got = 0;
    try {
      got = ReadSome(chunk, std::min(sizeof chunk, wanted - out.size()));
    } catch (...) {
      eof_ok_ = false;
      throw;
    }
    eof_ok_ = false;
    if (got == 0) break;
    out.append(chunk, got);
    MaybePump();
  }
  if (out.size() > max_bytes) FailTooLong(max_bytes);
  return out;
}

}  // namespace plumex

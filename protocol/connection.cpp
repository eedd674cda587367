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
#include <cstdlib>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "protocol/protocol_error.h"
#include "protocol/trusted_certs.h"

namespace plumex {
namespace {

// The system's CA store. The hashed directory is read lazily, one issuer at a time, where the
// bundle file would be parsed whole for every connection; SSL_CERT_FILE still names a file.
void LoadSystemCertificates(ssl_ctx_st* ctx) {
  const char* file = std::getenv(X509_get_default_cert_file_env());
  const char* dir = std::getenv(X509_get_default_cert_dir_env());
  if (file && *file) SSL_CTX_load_verify_file(ctx, file);
  SSL_CTX_load_verify_dir(ctx, dir && *dir ? dir : X509_get_default_cert_dir());
}

using Clock = std::chrono::steady_clock;
constexpr auto kPumpInterval = std::chrono::milliseconds(30);
constexpr size_t kReadChunk = 64 * 1024;
constexpr size_t kMaxLine = 64 * 1024 * 1024;

std::string ErrnoText(int err) { return std::strerror(err); }

std::string OpenSslErrorText() {
  unsigned long e = ERR_get_error();
  ERR_clear_error();
  if (e == 0) return "TLS handshake failed.";
  char buf[256];
  ERR_error_string_n(e, buf, sizeof buf);
  return buf;
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
  bool abandoned = false;
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
  const bool was_open = fd_ >= 0;
  if (ssl_) SSL_free(ssl_);
  ssl_ = nullptr;
  if (ctx_) SSL_CTX_free(ctx_);
  ctx_ = nullptr;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  buffer_.clear();
  begin_ = scan_ = 0;
  if (was_open && on_closed) on_closed();
}

void Connection::Fail(const std::string& text) {
  Close();
  throw ProtocolError(text);
}

void Connection::CheckAlive() {
  if (fd_ < 0) throw ProtocolError("Connection closed.");
  if (options_.stop_requested && options_.stop_requested()) {
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

void Connection::WaitFor(short events, Clock::time_point deadline, const char* timeout_text) {
  for (;;) {
    const auto now = Clock::now();
    if (now >= deadline) Fail(timeout_text);
    const auto slice = std::min<Clock::duration>(deadline - now, kPumpInterval);
    pollfd p{fd_, events, 0};
    const int ms = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(slice).count());
    const int rc = ::poll(&p, 1, std::max(ms, 1));
    if (rc > 0) {
      MaybePump();
      return;
    }
    if (rc < 0 && errno != EINTR) Fail(ErrnoText(errno));
    MaybePump();
  }
}

void Connection::Open(const std::string& host, int port, bool implicit_tls) {
  Close();
  host_ = host;
  port_ = port;
  last_pump_ = Clock::now();
  if (port <= 0 || port > 65535) throw ProtocolError("Invalid port number: " + std::to_string(port));
  const auto deadline = Clock::now() + std::chrono::seconds(options_.connect_timeout_seconds);

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
    if (options_.stop_requested && options_.stop_requested()) throw ConnectionStopped();
    if (Clock::now() >= deadline) throw ProtocolError("Connect timed out.");
  }
  if (res->rc != 0) throw ProtocolError("Host not found: " + host + " (" + gai_strerror(res->rc) + ")");

  std::string last_error = "Could not connect.";
  for (addrinfo* ai = res->result; ai; ai = ai->ai_next) {
    const int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
    if (fd < 0) {
      last_error = ErrnoText(errno);
      continue;
    }
    fd_ = fd;
    int rc = ::connect(fd, ai->ai_addr, ai->ai_addrlen);
    if (rc != 0 && errno == EINPROGRESS) {
      WaitFor(POLLOUT, deadline, "Connect timed out.");  // a time-out ends all attempts
      int err = 0;
      socklen_t len = sizeof err;
      getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
      rc = err == 0 ? 0 : -1;
      errno = err;
    }
    if (rc == 0) break;
    last_error = ErrnoText(errno);
    ::close(fd);
    fd_ = -1;
  }
  if (fd_ < 0) throw ProtocolError(last_error);
  const int one = 1;
  setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  if (implicit_tls) Handshake();
}

void Connection::StartTls() {
  if (fd_ < 0) throw ProtocolError("Not connected.");
  if (ssl_) return;
  buffer_.clear();
  begin_ = scan_ = 0;
  Handshake();
}

void Connection::Handshake() {
  ctx_ = SSL_CTX_new(TLS_client_method());
  if (!ctx_) Fail(OpenSslErrorText());
  SSL_CTX_set_min_proto_version(ctx_, TLS1_2_VERSION);
  SSL_CTX_set_verify(ctx_, SSL_VERIFY_NONE, nullptr);  // judged after the handshake
  if (!options_.ca_file.empty())
    SSL_CTX_load_verify_locations(ctx_, options_.ca_file.c_str(), nullptr);
  else
    LoadSystemCertificates(ctx_);
  ERR_clear_error();
  ssl_ = SSL_new(ctx_);
  if (!ssl_) Fail(OpenSslErrorText());
  SSL_set_mode(ssl_, SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  SSL_set_fd(ssl_, fd_);
  if (IsIpLiteral(host_)) {
    X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), host_.c_str());
  } else {
    SSL_set_tlsext_host_name(ssl_, host_.c_str());
    SSL_set1_host(ssl_, host_.c_str());
  }
  const auto deadline = Clock::now() + std::chrono::seconds(options_.read_timeout_seconds);
  for (;;) {
    const int rc = SSL_connect(ssl_);
    if (rc == 1) break;
    const int err = SSL_get_error(ssl_, rc);
    if (err == SSL_ERROR_WANT_READ) {
      WaitFor(POLLIN, deadline, "TLS handshake timed out.");
    } else if (err == SSL_ERROR_WANT_WRITE) {
      WaitFor(POLLOUT, deadline, "TLS handshake timed out.");
    } else {
      const std::string text = OpenSslErrorText();
      Close();
      throw TlsError(text);
    }
  }
  VerifyPeer();
}

void Connection::VerifyPeer() {
  X509* cert = SSL_get1_peer_certificate(ssl_);
  std::string fingerprint;
  if (cert) {
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    X509_digest(cert, EVP_sha256(), md, &len);
    static const char* hex = "0123456789abcdef";
    for (unsigned int i = 0; i < len; ++i) {
      fingerprint += hex[md[i] >> 4];
      fingerprint += hex[md[i] & 15];
    }
    X509_free(cert);
  }
  const long result = cert ? SSL_get_verify_result(ssl_) : X509_V_ERR_UNSPECIFIED;
  if (cert && result == X509_V_OK) return;
  if (!fingerprint.empty()) {
    const auto trusted = FindTrustedCertificate(options_.mail_root, host_, port_);
    if (trusted && *trusted == fingerprint) return;
  }
  const std::string reason = cert ? X509_verify_cert_error_string(result) : "The server sent no certificate.";
  Close();
  throw CertificateError(host_, port_, reason, fingerprint);
}

void Connection::Write(std::string_view bytes) {
  if (fd_ < 0) throw ProtocolError("Not connected.");
  size_t done = 0;
  while (done < bytes.size()) {
    const auto deadline = Clock::now() + std::chrono::seconds(options_.read_timeout_seconds);
    const size_t chunk = std::min<size_t>(bytes.size() - done, 1 << 20);
    if (ssl_) {
      size_t written = 0;
      for (;;) {
        ERR_clear_error();
        const int rc = SSL_write_ex(ssl_, bytes.data() + done, chunk, &written);
        if (rc == 1) break;
        const int err = SSL_get_error(ssl_, rc);
        if (err == SSL_ERROR_WANT_WRITE)
          WaitFor(POLLOUT, deadline, "Write timed out.");
        else if (err == SSL_ERROR_WANT_READ)
          WaitFor(POLLIN, deadline, "Write timed out.");
        else if (err == SSL_ERROR_SYSCALL && errno != 0)
          Fail(ErrnoText(errno));
        else
          Fail(OpenSslErrorText());
      }
      done += written;
    } else {
      const ssize_t n = ::send(fd_, bytes.data() + done, chunk, MSG_NOSIGNAL);
      if (n > 0) {
        done += static_cast<size_t>(n);
      } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        WaitFor(POLLOUT, deadline, "Write timed out.");
      } else if (n < 0 && errno != EINTR) {
        Fail(ErrnoText(errno));
      }
    }
    MaybePump();
  }
}

size_t Connection::ReadSome(char* out, size_t size) {
  const auto deadline = Clock::now() + std::chrono::seconds(options_.read_timeout_seconds);
  for (;;) {
    if (fd_ < 0) throw ProtocolError("Connection closed.");
    if (ssl_) {
      size_t got = 0;
      ERR_clear_error();
      errno = 0;
      const int rc = SSL_read_ex(ssl_, out, size, &got);
      if (rc == 1) return got;
      const int err = SSL_get_error(ssl_, rc);
      if (err == SSL_ERROR_WANT_READ)
        WaitFor(POLLIN, deadline, "Read timed out.");
      else if (err == SSL_ERROR_WANT_WRITE)
        WaitFor(POLLOUT, deadline, "Read timed out.");
      else if (err == SSL_ERROR_ZERO_RETURN || (err == SSL_ERROR_SYSCALL && errno == 0))
        Fail("Connection closed by the server.");
      else if (err == SSL_ERROR_SYSCALL)
        Fail(ErrnoText(errno));
      else
        Fail(OpenSslErrorText());
    } else {
      const ssize_t n = ::recv(fd_, out, size, 0);
      if (n > 0) return static_cast<size_t>(n);
      if (n == 0) Fail("Connection closed by the server.");
      if (errno == EAGAIN || errno == EWOULDBLOCK)
        WaitFor(POLLIN, deadline, "Read timed out.");
      else if (errno != EINTR)
        Fail(ErrnoText(errno));
    }
  }
}

std::string_view Connection::ReadLine() {
  if (fd_ < 0) throw ProtocolError("Not connected.");
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
      return line;
    }
    scan_ = buffer_.size() - begin_;
    if (scan_ > kMaxLine) Fail("Line too long.");
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

}  // namespace plumex

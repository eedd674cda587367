#include "protocol/pop3_client.h"

#include <algorithm>
#include <cstdlib>

#include "text/ascii_case.h"
#include "text/base64.h"
#include "protocol/command_busy.h"
#include "protocol/parsed_message.h"
#include "protocol/protocol_error.h"
#include "protocol/protocol_texts.h"

namespace plumex {
namespace {

// Status lines are short (RFC 1939: 512 bytes); the capability list a few lines.
constexpr size_t kMaxStatusLine = 64 * 1024;
constexpr size_t kMaxCapabilityBytes = 16 * 1024;
constexpr size_t kMaxListBytes = 64 * 1024 * 1024;
// A message may grow on the wire (dot-stuffing, LF become CR LF) and servers count loosely:
// twice the announced size and a megabyte more is never reached by an honest server.
constexpr long long kMessageSlackBytes = 1024 * 1024;

}  // namespace

Pop3Client::Pop3Client(ConnectionOptions options) : connection_(std::move(options)) {
  connection_.on_closed = [this] {
    Status(StatusDisconnected());
    if (on_disconnected) on_disconnected();
  };
}

Pop3Client::~Pop3Client() { connection_.on_closed = nullptr; }

void Pop3Client::Status(const std::string& text) {
  if (on_status) on_status(text);
}

std::string Pop3Client::ReadReply(ErrorKind refusal) {
  const std::string line(connection_.ReadLine(kMaxStatusLine));
  if (line.starts_with("+OK")) return line;
  if (line.starts_with("-ERR")) {
    const std::string& host = connection_.host();
    const int port = connection_.port();
    const bool login = refusal == ErrorKind::Authentication;
    throw ProtocolError(login ? LoginRefusedText(host, port, line) : CommandRefusedText(host, port, line), refusal,
                        line);
  }
  // Not POP3 at all: the stream cannot be trusted any more.
  connection_.Close();
  throw BadReply(line.substr(0, 200));
}

ProtocolError Pop3Client::BadReply(const std::string& reply) const {
  return ProtocolError(BadReplyText(connection_.host(), connection_.port(), reply), ErrorKind::Protocol, reply);
}

std::string Pop3Client::Command(const std::string& line, ErrorKind refusal) {
  connection_.Write(line + "\r\n");
  return ReadReply(refusal);
}

template <typename Sink>
void Pop3Client::ReadMultiLine(size_t max_bytes, Sink&& sink, bool traced) {
  // Mail and long lists stay out of the trace: it is for the dialogue, and mail is private.
  struct Quiet {
    Connection& c;
    ~Quiet() { c.TraceReads(true); }
  } quiet{connection_};
  connection_.TraceReads(traced);
  size_t total = 0;
  for (;;) {
    std::string_view line = connection_.ReadLine(std::min(max_bytes, Connection::kMaxReplyLine));
    total += line.size() + 2;
    if (total > max_bytes) connection_.FailTooLong(max_bytes);
    if (!line.empty() && line[0] == '.') {
      if (line.size() == 1) return;
      line.remove_prefix(1);
    }
    sink(line);
  }
}

void Pop3Client::Connect() {
  CommandBusy busy(busy_);
  capabilities_.clear();
  Status(StatusConnecting(host, port));
  try {
    connection_.Open(host, port, use_tls && !starttls);
    Status(StatusConnected());
    ReadReply(ErrorKind::ServerRefusal);
    ReadCapabilities();
    if (use_tls && starttls) UpgradeByStls();
    LogIn();
  } catch (...) {
    connection_.Close();
    throw;
  }
}

void Pop3Client::ReadCapabilities() {
  capabilities_.clear();
  // CAPA is optional (RFC 2449): a server without it answers -ERR and that is fine.
  connection_.Write("CAPA\r\n");
  if (connection_.ReadLine(kMaxStatusLine).starts_with("+OK"))
    ReadMultiLine(kMaxCapabilityBytes, [&](std::string_view l) { capabilities_.emplace_back(l); }, true);
}

void Pop3Client::UpgradeByStls() {
  bool offered = capabilities_.empty();  // without CAPA the server may still know STLS
  for (const auto& c : capabilities_) offered = offered || AsciiUpper(c) == "STLS";
  if (!offered) throw ProtocolError(NoStlsText(host, port), ErrorKind::Tls);
  try {
    Command("STLS");
  } catch (const ProtocolError& e) {
    if (e.kind() != ErrorKind::ServerRefusal) throw;
    throw ProtocolError(NoStlsText(host, port), ErrorKind::Tls, e.server_reply());
  }
  connection_.StartTls();
  // What the server offered before TLS may have been changed by a man in the middle.
  ReadCapabilities();
}

bool Pop3Client::Authenticate(SaslMechanism mechanism, const std::string& secret,
                              std::optional<ProtocolError>& refusal) {
  const std::string name = MechanismName(mechanism);
  std::string shown = "AUTH " + name + " " + std::string(kMaskedSecret);
  connection_.Write("AUTH " + name + " " + Base64Encode(SaslInitialResponse(mechanism, user_name, secret, host, port)) +
                        "\r\n",
                    shown);
  for (int round = 0; round < 3; ++round) {
    const std::string line(connection_.ReadLine(kMaxStatusLine));
    if (line.starts_with("+OK")) return true;
    if (line.starts_with("-ERR")) {
      refusal.emplace(LoginRefusedText(host, port, line), ErrorKind::Authentication, line);
      return false;
    }
    if (!line.starts_with("+")) {
      connection_.Close();
      throw BadReply(line.substr(0, 200));
    }
    // A challenge after the whole response is an error report (RFC 7628, XOAUTH2): the client
    // answers with the dummy response and the server then says -ERR. PLAIN is cancelled.
    if (mechanism == SaslMechanism::OAuthBearer) connection_.Write(Base64Encode("\x01") + "\r\n");
    else if (mechanism == SaslMechanism::XOAuth2) connection_.Write("\r\n");
    else connection_.Write("*\r\n");
  }
  connection_.Close();
  throw BadReply("AUTH");
}

void Pop3Client::LogIn() {
  if (use_tls && !connection_.IsTls()) throw ProtocolError(NoStlsText(host, port), ErrorKind::Tls);
  const std::vector<std::string> offered = OfferedMechanisms(capabilities_, "SASL");
  // USER/PASS when the server names it, or names no SASL PLAIN to use instead (many servers
  // list too little in CAPA, and USER/PASS is what every POP3 server knows).
  bool user_pass = capabilities_.empty() || std::find(offered.begin(), offered.end(), "PLAIN") == offered.end();
  for (const auto& c : capabilities_) user_pass = user_pass || AsciiUpper(c) == "USER";
  const auto mechanism = ChooseMechanism(offered, login.method, true, user_pass);
  if (!mechanism) {
    std::vector<std::string> named = offered;
    if (user_pass) named.insert(named.begin(), "USER");
    throw ProtocolError(NoMechanismText(login.method, named, host, port), ErrorKind::Authentication);
  }
  auto secret = [&](bool renew) { return login.secret ? login.secret(renew) : password; };
  if (*mechanism == SaslMechanism::UserPass) {
    // The secret first: a keyring that cannot be read ends the log-in before a word of it.
    const std::string pass = secret(false);
    Command("USER " + user_name, ErrorKind::Authentication);
    connection_.Write("PASS " + pass + "\r\n", "PASS " + std::string(kMaskedSecret));
    ReadReply(ErrorKind::Authentication);
    return;
  }
  std::optional<ProtocolError> refusal;
  if (Authenticate(*mechanism, secret(false), refusal)) return;
  // A refused access token may only have run out early: one fresh token, once.
  if (login.method == LoginMethod::OAuth2 && connection_.IsOpen()) {
    refusal.reset();
    if (Authenticate(*mechanism, secret(true), refusal)) return;
  }
  throw *refusal;
}

int Pop3Client::Stat() {
  CommandBusy busy(busy_);
  const std::string reply = Command("STAT");
  char* end = nullptr;
  const char* p = reply.c_str() + 3;
  const long count = std::strtol(p, &end, 10);
  if (end == p || count < 0) throw BadReply(reply);
  return static_cast<int>(count);
}

std::string Pop3Client::LenientReply(const std::string& command) {
  connection_.Write(command + "\r\n");
  return std::string(connection_.ReadLine(kMaxStatusLine));
}

long long Pop3Client::List(int n) {
  CommandBusy busy(busy_);
  const std::string reply = LenientReply("LIST " + std::to_string(n));
  if (!reply.starts_with("+OK")) return -1;
  // "+OK n size"
  const char* p = reply.c_str() + 3;
  char* end = nullptr;
  std::strtol(p, &end, 10);
  if (end == p) return -1;
  p = end;
  const long long size = std::strtoll(p, &end, 10);
  if (end == p || size < 0) return -1;
  return size;
}

std::vector<long long> Pop3Client::ListAll() {
  CommandBusy busy(busy_);
  std::vector<long long> sizes;
  if (!LenientReply("LIST").starts_with("+OK")) return sizes;
  ReadMultiLine(kMaxListBytes, [&](std::string_view l) {
    // "n size"
    std::string line(l);
    char* end = nullptr;
    const long n = std::strtol(line.c_str(), &end, 10);
    if (end == line.c_str() || n < 1 || n > 10000000) return;
    const char* p = end;
    const long long size = std::strtoll(p, &end, 10);
    if (end == p || size < 0) return;
    if (sizes.size() <= static_cast<size_t>(n)) sizes.resize(static_cast<size_t>(n) + 1, -1);
    sizes[static_cast<size_t>(n)] = size;
  });
  return sizes;
}

size_t Pop3Client::MessageReplyLimit(long long announced) const {
  const long long cap = std::max<long long>(max_message_bytes, 1);
  if (announced < 0 || announced > cap) return static_cast<size_t>(cap);
  return static_cast<size_t>(std::min(cap, announced * 2 + kMessageSlackBytes));
}

void Pop3Client::Top(int n, ParsedMessage& message, long long announced) {
  CommandBusy busy(busy_);
  message.BeginRaw();
  Command("TOP " + std::to_string(n) + " 0");
  ReadMultiLine(MessageReplyLimit(announced), [&](std::string_view l) {
    message.AppendRaw(l);
    message.AppendRaw("\r\n");
  });
  message.EndRaw();
}

void Pop3Client::Retrieve(int n, ParsedMessage& message, long long announced) {
  CommandBusy busy(busy_);
  // Room for the whole message at once: a buffer that doubles as it fills would need up to
  // three times the message while it moves.
  message.BeginRaw(announced > 0 ? static_cast<size_t>(std::min<long long>(announced + 4096, max_message_bytes)) : 0);
  Command("RETR " + std::to_string(n));
  connection_.ExpectBytes(announced);
  ReadMultiLine(MessageReplyLimit(announced), [&](std::string_view l) {
    message.AppendRaw(l);
    message.AppendRaw("\r\n");
  });
  message.EndRaw();
}

void Pop3Client::RetrieveRaw(int n, std::vector<std::string>& lines, long long announced) {
  CommandBusy busy(busy_);
  lines.clear();
  Command("RETR " + std::to_string(n));
  connection_.ExpectBytes(announced);
  ReadMultiLine(MessageReplyLimit(announced), [&](std::string_view l) { lines.emplace_back(l); });
}

void Pop3Client::Delete(int n) {
  CommandBusy busy(busy_);
  Command("DELE " + std::to_string(n));
}

std::optional<std::vector<std::string>> Pop3Client::UidlAll() {
  CommandBusy busy(busy_);
  try {
    Command("UIDL");
  } catch (const ProtocolError& e) {
    if (e.kind() == ErrorKind::ServerRefusal && connection_.IsOpen()) return std::nullopt;
    throw;
  }
  std::vector<std::string> ids;
  ReadMultiLine(kMaxListBytes, [&](std::string_view l) {
    // "n unique-id"
    std::string line(l);
    char* end = nullptr;
    const long n = std::strtol(line.c_str(), &end, 10);
    if (end == line.c_str() || n < 1 || n > 10000000) return;
    std::string_view rest(end);
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\r')) rest.remove_suffix(1);
    if (ids.size() <= static_cast<size_t>(n)) ids.resize(static_cast<size_t>(n) + 1);
    ids[static_cast<size_t>(n)] = std::string(rest);
  });
  return ids;
}

bool Pop3Client::pipelining() const {
  for (const auto& c : capabilities_)
    if (c == "PIPELINING" || c.starts_with("PIPELINING ")) return true;
  return false;
}

void Pop3Client::TopEach(int first, int last, ParsedMessage& message, const std::function<bool(int n)>& each) {
  CommandBusy busy(busy_);
  // Commands go out ahead of their replies in batches of half the window, few writes for the
  // server to wake up to; the window bounds what waits unread, so neither side's socket buffer
  // fills while the other waits (a few kilobytes of commands).
  const int window = pipelining() ? 512 : 1;
  std::string header;
  int sent = first;
  auto send_more = [&](int upto) {
    std::string batch;
    for (; sent <= last && sent < upto; ++sent) batch += "TOP " + std::to_string(sent) + " 0\r\n";
    if (!batch.empty()) connection_.Write(batch);
  };
  send_more(first + window);
  for (int n = first; n <= last; ++n) {
    if (window > 1 && sent - n <= window / 2) send_more(n + window);
    ReadReply(ErrorKind::ServerRefusal);
    header.clear();
    ReadMultiLine(MessageReplyLimit(-1), [&](std::string_view l) {
      header += l;
      header += "\r\n";
    });
    message.ParseHeaderOnly(header);
    if (window == 1) send_more(n + 2);
    // `each` may let the window run: a Disconnect from there only closes the line (busy).
    if (!each(n)) {
      // The replies already asked for are read and dropped, so the session stays usable.
      for (int k = n + 1; k < sent; ++k) {
        ReadReply(ErrorKind::ServerRefusal);
        ReadMultiLine(MessageReplyLimit(-1), [](std::string_view) {});
      }
      return;
    }
  }
}

void Pop3Client::Disconnect() {
  QuitAndClose(connection_, busy_, [this] { Command("QUIT"); });
}

void QuietDisconnect(Pop3Client& pop3) {
  try {
    if (pop3.IsConnected()) pop3.Disconnect();
  } catch (const std::exception&) {
  }
}

}  // namespace plumex

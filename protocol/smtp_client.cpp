#include "protocol/smtp_client.h"

#include <cctype>
#include <optional>

#include "text/ascii_case.h"
#include "text/base64.h"
#include "platform/host.h"
#include "protocol/command_busy.h"
#include "protocol/outgoing_message.h"
#include "protocol/protocol_error.h"
#include "protocol/protocol_texts.h"

namespace plumex {
namespace {

// A reply is a few lines (RFC 5321: 512 bytes each); an EHLO list a few dozen.
constexpr size_t kMaxReplyBytes = 16 * 1024;

// Message text with leading dots doubled and the final "." line added.
std::string DotStuffed(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 64 + 8);
  bool line_start = true;
  for (char c : text) {
    if (line_start && c == '.') out += '.';
    out += c;
    line_start = c == '\n';
  }
  if (!out.empty() && !out.ends_with("\r\n")) out += "\r\n";
  out += ".\r\n";
  return out;
}

// What the trace shows of a message: its size, never its text.
std::string MessageShown(const std::string& data) { return "(" + std::to_string(data.size()) + " bytes of mail)"; }

}  // namespace

SmtpClient::SmtpClient(ConnectionOptions options) : connection_(std::move(options)) {}

SmtpClient::~SmtpClient() = default;

SmtpClient::Reply SmtpClient::ReadReply() {
  Reply reply;
  for (;;) {
    std::string_view line = connection_.ReadLine(kMaxReplyBytes);
    if (reply.text.size() + line.size() > kMaxReplyBytes) connection_.FailTooLong(kMaxReplyBytes);
    const bool numeric = line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0])) &&
                         std::isdigit(static_cast<unsigned char>(line[1])) &&
                         std::isdigit(static_cast<unsigned char>(line[2]));
    const int code = numeric ? (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0') : 0;
    if (!numeric || (line.size() > 3 && line[3] != ' ' && line[3] != '-') || (reply.code != 0 && code != reply.code)) {
      // Not SMTP at all: the stream cannot be trusted any more.
      const std::string start(line.substr(0, 200));
      connection_.Close();
      throw ProtocolError(BadReplyText(connection_.host(), connection_.port(), start), ErrorKind::Protocol, start);
    }
    reply.code = code;
    if (!reply.text.empty()) reply.text += "\r\n";
    reply.text += line;
    if (line.size() == 3 || line[3] == ' ') return reply;
  }
}

SmtpClient::Reply SmtpClient::Command(const std::string& line) {
  RequireOneLine(line);
  connection_.Write(line + "\r\n");
  return ReadReply();
}

void SmtpClient::FailAfterReset(const Reply& reply, ErrorKind kind) {
  try {
    if (connection_.IsOpen()) Command("RSET");
  } catch (const ProtocolError&) {
  }
  throw Refused(reply, kind);
}

ProtocolError SmtpClient::Refused(const Reply& reply, ErrorKind kind) const {
  const std::string& host = connection_.host();
  const int port = connection_.port();
  return ProtocolError(kind == ErrorKind::Authentication ? LoginRefusedText(host, port, reply.text)
                                                         : CommandRefusedText(host, port, reply.text),
                       kind, reply.text);
}

void SmtpClient::RequireOneLine(std::string_view text) const {
  if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
    throw ProtocolError(LineBreakInCommandText(), ErrorKind::BadInput);
}

bool SmtpClient::Has(const std::string& keyword) const {
  for (const std::string& line : capabilities_) {
    const std::string up = AsciiUpper(line);
    if (up == keyword || up.starts_with(keyword + " ") || up.starts_with(keyword + "=")) return true;
  }
  return false;
}

void SmtpClient::Hello() {
  capabilities_.clear();
  const std::string name = HostName();
  Reply reply = Command("EHLO " + name);
  if (reply.code == 250) {
    // "250-host greets", "250-PIPELINING", ..., "250 AUTH LOGIN PLAIN"
    size_t pos = 0;
    bool first = true;
    while (pos <= reply.text.size()) {
      size_t end = reply.text.find("\r\n", pos);
      if (end == std::string::npos) end = reply.text.size();
      if (!first && end - pos > 4) capabilities_.push_back(reply.text.substr(pos + 4, end - pos - 4));
      first = false;
      pos = end + 2;
    }
    return;
  }
  reply = Command("HELO " + name);
  if (reply.code != 250) throw Refused(reply);
}

void SmtpClient::Connect(const std::string& host, int port, bool tls_wanted, bool implicit_tls) {
  CommandBusy busy(busy_);
  tls_wanted_ = tls_wanted;
  authenticated_ = false;
  capabilities_.clear();
  try {
    connection_.Open(host, port, implicit_tls);
    const Reply greeting = ReadReply();
    if (greeting.code != 220) throw Refused(greeting);
    Hello();
  } catch (...) {
    connection_.Close();
    throw;
  }
}

void SmtpClient::Authenticate() {
  if (authenticated_) return;
  CommandBusy busy(busy_);
  if (!connection_.IsOpen())
    throw ProtocolError(ConnectionErrorText(false, connection_.host(), connection_.port(), LineFault::NotConnected),
                        ErrorKind::Connection);
  if (tls_wanted_ && !connection_.IsTls()) {
    // Without STARTTLS the password would cross the network in clear: refuse.
    if (!Has("STARTTLS")) {
      connection_.Close();
      throw ProtocolError(NoStartTlsText(connection_.host(), connection_.port()), ErrorKind::Tls);
    }
    const Reply reply = Command("STARTTLS");
    if (reply.code != 220) {
      connection_.Close();
      throw Refused(reply);
    }
    connection_.StartTls();  // a failed handshake closes the connection and throws TlsError
    Hello();
  }
  const std::vector<std::string> offered = OfferedMechanisms(capabilities_, "AUTH");
  // A server without the AUTH extension takes mail without log-in (a relay that knows the
  // sender's network); one that offers AUTH gets a mechanism the account can use, or an
  // error naming what it offers, never mail without log-in.
  if (!user_name.empty() && (!offered.empty() || login.method == LoginMethod::OAuth2)) {
    const auto mechanism = ChooseMechanism(offered, login.method, false, false);
    if (!mechanism) {
      connection_.Close();
      throw ProtocolError(NoMechanismText(login.method, offered, connection_.host(), connection_.port()),
                          ErrorKind::Authentication);
    }
    auto secret = [&](bool renew) { return login.secret ? login.secret(renew) : password; };
    std::optional<Reply> refused;
    bool accepted = AuthenticateWith(*mechanism, secret(false), refused);
    // A refused access token may only have run out early: one fresh token, once.
    if (!accepted && login.method == LoginMethod::OAuth2 && connection_.IsOpen()) {
      refused.reset();
      accepted = AuthenticateWith(*mechanism, secret(true), refused);
    }
    if (!accepted) FailAfterReset(*refused, ErrorKind::Authentication);
  }
  authenticated_ = true;
}

bool SmtpClient::AuthenticateWith(SaslMechanism mechanism, const std::string& secret, std::optional<Reply>& refused) {
  const std::string masked(kMaskedSecret);
  auto send = [&](const std::string& line, const std::string& shown) {
    RequireOneLine(line);
    connection_.Write(line + "\r\n", shown);
    return ReadReply();
  };
  Reply reply;
  if (mechanism == SaslMechanism::Login) {
    reply = Command("AUTH LOGIN");
    if (reply.code == 334) reply = send(Base64Encode(user_name), masked);
    if (reply.code == 334) reply = send(Base64Encode(secret), masked);
  } else {
    const std::string name = MechanismName(mechanism);
    reply = send("AUTH " + name + " " +
                     Base64Encode(SaslInitialResponse(mechanism, user_name, secret, connection_.host(), connection_.port())),
                 "AUTH " + name + " " + masked);
    // A challenge after the whole response is an error report (RFC 7628, XOAUTH2): the dummy
    // response gets the final refusal.
    if (reply.code == 334 && mechanism == SaslMechanism::OAuthBearer) reply = send(Base64Encode("\x01"), "AQ==");
    else if (reply.code == 334 && mechanism == SaslMechanism::XOAuth2) reply = send("", "");
    else if (reply.code == 334) reply = send("*", "*");
  }
  if (reply.code == 235) return true;
  refused = reply;
  return false;
}

void SmtpClient::Send(const OutgoingMessage& message) {
  Authenticate();
  CommandBusy busy(busy_);
  const std::vector<std::string> recipients = message.EnvelopeRecipients();
  // RFC 5321 has no space after the colon; strict servers refuse "MAIL FROM: <...>".
  const std::string mail_from = "MAIL FROM:<" + message.EnvelopeSender() + ">";
  // Every command and header value is checked before the first command goes out, so a bad
  // address sends nothing (the header is folded by Serialize, never by the caller).
  for (const std::string* field : {&message.from, &message.to, &message.cc, &message.bcc, &message.reply_to,
                                   &message.subject, &message.receipt_to, &message.references})
    RequireOneLine(*field);
  RequireOneLine(mail_from);
  for (const std::string& r : recipients) RequireOneLine(r);
  const std::string data = DotStuffed(message.Serialize());

  // Every RCPT reply is read before DATA: when the server refuses any recipient the message
  // goes to no one, and the refused addresses are named, so sending again after mending them
  // never gives the others a second copy.
  std::vector<std::pair<std::string, std::string>> refused;
  auto note_rcpt = [&](const std::string& r, const Reply& reply) {
    if (reply.code != 250 && reply.code != 251) refused.emplace_back(r, reply.text);
  };
  if (pipelining()) {
    std::string batch = "RSET\r\n" + mail_from + "\r\n";
    for (const std::string& r : recipients) batch += "RCPT TO:<" + r + ">\r\n";
    connection_.Write(batch);
    ReadReply();  // RSET: any reply will do
    const Reply mail = ReadReply();
    for (const std::string& r : recipients) note_rcpt(r, ReadReply());
    if (mail.code != 250) FailAfterReset(mail);
  } else {
    Command("RSET");
    const Reply mail = Command(mail_from);
    if (mail.code != 250) FailAfterReset(mail);
    for (const std::string& r : recipients) note_rcpt(r, Command("RCPT TO:<" + r + ">"));
  }
  if (!refused.empty()) {
    try {
      if (connection_.IsOpen()) Command("RSET");
    } catch (const ProtocolError&) {
    }
    throw ProtocolError(RecipientsRefusedText(connection_.host(), connection_.port(), refused),
                        ErrorKind::ServerRefusal, refused.front().second);
  }
  Reply reply = Command("DATA");
  if (reply.code != 354) FailAfterReset(reply);
  connection_.Write(data, MessageShown(data));
  reply = ReadReply();
  if (reply.code != 250) FailAfterReset(reply);
}

void SmtpClient::Disconnect() {
  QuitAndClose(connection_, busy_, [this] { Command("QUIT"); });
  authenticated_ = false;
}

}  // namespace plumex

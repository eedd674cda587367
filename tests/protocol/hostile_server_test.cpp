// Clients against hostile scripted servers: endless capability lists, a server that trickles
// one byte at a time, addresses that would smuggle in commands.
#include <gtest/gtest.h>

#include "text/code_page.h"
#include "protocol/outgoing_message.h"
#include "protocol/pop3_client.h"
#include "protocol/protocol_error.h"
#include "protocol/smtp_client.h"
#include "tests/protocol/fake_server.h"

namespace plumex {
namespace {

using test::FakeServer;
using test::FakeStep;

std::string ManyLines(const std::string& prefix, size_t bytes) {
  std::string out;
  for (int i = 0; out.size() < bytes; ++i) out += prefix + "X-CAPABILITY-" + std::to_string(i) + "\r\n";
  return out;
}

// The error a client throws, as UTF-8 text with its kind.
template <typename F>
std::pair<ErrorKind, std::string> FailureOf(F&& f) {
  try {
    f();
  } catch (const ProtocolError& e) {
    return {e.kind(), Cp932ToUtf8(e.text())};
  }
  ADD_FAILURE() << "no error";
  return {ErrorKind::Stopped, ""};
}

TEST(HostileServer, EndlessCapabilityListsAreCutOff) {
  {
    FakeServer server({{"", "+OK hi\r\n"}, {"CAPA", "+OK\r\n" + ManyLines("", 2 * 1024 * 1024)}});
    Pop3Client pop3;
    pop3.host = "127.0.0.1";
    pop3.port = server.port();
    const auto [kind, text] = FailureOf([&] { pop3.Connect(); });
    EXPECT_EQ(kind, ErrorKind::Protocol);
    EXPECT_NE(text.find("長すぎる"), std::string::npos) << text;
    EXPECT_FALSE(pop3.IsConnected());
    for (const auto& line : server.received()) EXPECT_NE(line.rfind("USER", 0), 0u);  // no log-in on that stream
  }
  {
    FakeServer server({{"", "220 hi\r\n"}, {"EHLO ", "250-hi\r\n" + ManyLines("250-", 2 * 1024 * 1024)}});
    SmtpClient smtp;
    const auto [kind, text] = FailureOf([&] { smtp.Connect("127.0.0.1", server.port(), false); });
    EXPECT_EQ(kind, ErrorKind::Protocol);
    EXPECT_NE(text.find("長すぎる"), std::string::npos) << text;
    EXPECT_FALSE(smtp.IsConnected());
  }
  {
    // One endless line is cut off as well.
    FakeServer server({{"", "+OK hi\r\n"}, {"CAPA", "+OK\r\n" + std::string(2 * 1024 * 1024, 'x')}});
    Pop3Client pop3;
    pop3.host = "127.0.0.1";
    pop3.port = server.port();
    EXPECT_EQ(FailureOf([&] { pop3.Connect(); }).first, ErrorKind::Protocol);
  }
}

// Each byte comes well within the idle time-out; the greeting as a whole does not come within
// the exchange's overall limit.
TEST(HostileServer, AServerTricklingBytesTimesOut) {
  std::vector<FakeStep> steps;
  for (char c : std::string("+OK a greeting that never seems to end\r\n")) steps.push_back({"", std::string(1, c), 100});
  FakeServer server(steps);
  ConnectionOptions options;
  options.read_timeout_seconds = 60;
  options.exchange_timeout_seconds = 1;
  Pop3Client pop3(options);
  pop3.host = "127.0.0.1";
  pop3.port = server.port();
  const auto [kind, text] = FailureOf([&] { pop3.Connect(); });
  EXPECT_EQ(kind, ErrorKind::Connection);
  EXPECT_NE(text.find("応答がタイムアウトしました"), std::string::npos) << text;
  EXPECT_FALSE(pop3.IsConnected());
}

TEST(HostileServer, LineBreaksInAddressesNeverReachTheWire) {
  struct Case {
    const char* what;
    std::string OutgoingMessage::*field;
    std::string value;
  };
  const Case cases[] = {
      {"CR LF in Cc", &OutgoingMessage::cc, "carol@example.test\r\nNOOP\r\n"},
      {"bare CR in To", &OutgoingMessage::to, "bob@example.test\rx"},
      {"NUL in Bcc", &OutgoingMessage::bcc, std::string("dave@example.test\0x", 19)},
      {"LF in From", &OutgoingMessage::from, "me@example.test\nRCPT TO:<x@y>"},
  };
  for (const Case& c : cases) {
    FakeServer server({{"", "220 hi\r\n"}, {"EHLO ", "250-hi\r\n250 PIPELINING\r\n"}, {"QUIT", "221 bye\r\n", 0, true}});
    SmtpClient smtp;
    smtp.Connect("127.0.0.1", server.port(), false);
    OutgoingMessage m;
    m.from = "me@example.test";
    m.to = "bob@example.test";
    m.subject = "s";
    m.text = "t\r\n";
    m.*c.field = c.value;
    EXPECT_EQ(FailureOf([&] { smtp.Send(m); }).first, ErrorKind::BadInput) << c.what;
    smtp.Disconnect();
    server.Join();
    EXPECT_TRUE(server.errors().empty()) << c.what << testing::PrintToString(server.errors());
    for (const auto& line : server.received())
      EXPECT_TRUE(line.rfind("EHLO", 0) == 0 || line == "QUIT") << c.what << ": " << line;
  }
}

}  // namespace
}  // namespace plumex

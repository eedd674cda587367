#include <gtest/gtest.h>

#include <algorithm>

#include "text/sjis_text.h"
#include "protocol/outgoing_message.h"
#include "protocol/protocol_error.h"
#include "protocol/smtp_client.h"
#include "tests/protocol/fake_server.h"

namespace plumex {
namespace {

using test::FakeServer;
using test::FakeStep;

const char* const kEhloPlain = "250-localhost\r\n250-AUTH LOGIN PLAIN\r\n250 8BITMIME\r\n";
const char* const kEhloPipelining = "250-localhost\r\n250-PIPELINING\r\n250 AUTH=LOGIN\r\n";

OutgoingMessage Message() {
  OutgoingMessage m;
  m.from = "Me <me@example.com>";
  m.to = "a@example.com, b@example.com";
  m.subject = "test";
  m.text = "hello\r\n.leading dot\r\n";
  return m;
}

bool Received(const FakeServer& server, const std::string& line) {
  const auto r = server.received();
  return std::find(r.begin(), r.end(), line) != r.end();
}

void ExpectCleanScript(FakeServer& server) {
  server.Join();
  for (const std::string& e : server.errors()) ADD_FAILURE() << e;
}

TEST(SmtpFakeTest, OneCommandAtATimeWithAuthLoginAndDotStuffing) {
  FakeServer server({
      {"", "220 hi\r\n"},
      {"EHLO ", kEhloPlain},
      {"AUTH LOGIN", "334 VXNlcm5hbWU6\r\n"},
      {"dXNlcg==", "334 UGFzc3dvcmQ6\r\n"},  // "user"
      {"cGFzcw==", "235 ok\r\n"},            // "pass"
      {"RSET", "250 ok\r\n"},
      {"MAIL FROM:<me@example.com>", "250 ok\r\n"},
      {"RCPT TO:<a@example.com>", "250 ok\r\n"},
      {"RCPT TO:<b@example.com>", "251 forwarded\r\n"},
      {"DATA", "354 go\r\n"},
      {".", "250 queued\r\n"},
      {"QUIT", "221 bye\r\n", 0, true},
  });
  SmtpClient c;
  c.user_name = "user";
  c.password = "pass";
  c.Connect("127.0.0.1", server.port(), false);
  EXPECT_FALSE(c.pipelining());
  c.Send(Message());
  c.Disconnect();
  EXPECT_FALSE(c.IsConnected());
  ExpectCleanScript(server);
  EXPECT_TRUE(Received(server, "..leading dot"));
  EXPECT_TRUE(Received(server, "Subject: test"));
}

TEST(SmtpFakeTest, HeloWhenEhloIsRefusedAndNoAuthWhenNotOffered) {
  FakeServer server({
      {"", "220 hi\r\n"},
      {"EHLO ", "500 what\r\n"},
      {"HELO ", "250 ok\r\n"},
      {"RSET", "250 ok\r\n"},
      {"MAIL FROM:", "250 ok\r\n"},
      {"RCPT TO:", "250 ok\r\n"},
      {"RCPT TO:", "250 ok\r\n"},
      {"DATA", "354 go\r\n"},
      {".", "250 queued\r\n"},
  });
  SmtpClient c;
  c.user_name = "user";
  c.Connect("127.0.0.1", server.port(), false);
  c.Send(Message());
  c.Disconnect();
  ExpectCleanScript(server);
}

// A recipient refused, one command at a time or pipelined (where no reply comes before the
// last RCPT: a client that waited for one would time out): every RCPT reply is read, DATA never
// goes, and the error names each refused address with its reply.
TEST(SmtpFakeTest, RefusedRecipientSendsToNoOneAndIsNamed) {
  struct Case {
    const char* name;
    const char* ehlo;
    std::vector<FakeStep> envelope;
  };
  const std::vector<Case> cases = {
      {"one at a time",
       kEhloPlain,
       {{"RSET", "250 ok\r\n"},
        {"MAIL FROM:", "250 ok\r\n"},
        {"RCPT TO:<a@example.com>", "550 5.1.1 no such user\r\n"},
        {"RCPT TO:<b@example.com>", "250 ok\r\n"}}},
      {"pipelined",
       kEhloPipelining,
       {{"RSET", ""},
        {"MAIL FROM:", ""},
        {"RCPT TO:<a@example.com>", ""},
        {"RCPT TO:<b@example.com>", "250 ok\r\n250 ok\r\n550 5.1.1 no such user\r\n250 ok\r\n"}}},
  };
  for (const Case& k : cases) {
    std::vector<FakeStep> steps = {{"", "220 hi\r\n"}, {"EHLO ", k.ehlo}};
    steps.insert(steps.end(), k.envelope.begin(), k.envelope.end());
    steps.push_back({"RSET", "250 ok\r\n"});
    FakeServer server(steps);
    SmtpClient c;
    c.options().read_timeout_seconds = 3;
    c.Connect("127.0.0.1", server.port(), false);
    try {
      c.Send(Message());
      ADD_FAILURE() << k.name << ": no error";
    } catch (const ProtocolError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::ServerRefusal) << k.name;
      EXPECT_EQ(e.server_reply(), "550 5.1.1 no such user") << k.name;
      EXPECT_EQ(e.text(), Sjis("次のあて先をサーバが受け付けなかったため、メールはどのあて先にも送信していません。") +
                              "\r\na@example.com: 550 5.1.1 no such user\r\n" + Sjis("サーバ: ") + "127.0.0.1:" +
                              std::to_string(server.port()))
          << k.name;
    }
    EXPECT_TRUE(c.IsConnected()) << k.name;
    c.Disconnect();
    ExpectCleanScript(server);
    EXPECT_FALSE(Received(server, "DATA")) << k.name;
    EXPECT_FALSE(Received(server, "hello")) << k.name;
  }
}

TEST(SmtpFakeTest, TlsFailuresCloseTheConnectionWithTheirKinds) {
  struct Case {
    const char* name;
    std::vector<FakeStep> steps;
    ErrorKind kind;
    const char* text;
    std::string reply;
  };
  const std::vector<Case> cases = {
      {"not offered", {{"", "220 hi\r\n"}, {"EHLO ", kEhloPlain}}, ErrorKind::Tls,
       "このサーバではSSL(STARTTLS)を使えません。", ""},
      {"refused",
       {{"", "220 hi\r\n"}, {"EHLO ", "250-x\r\n250 STARTTLS\r\n"}, {"STARTTLS", "454 not now\r\n"}},
       ErrorKind::ServerRefusal, "サーバがコマンドを拒否しました: 454 not now", "454 not now"},
      {"handshake fails",
       {{"", "220 hi\r\n"}, {"EHLO ", "250-x\r\n250 STARTTLS\r\n"}, {"STARTTLS", "220 go\r\n"},
        {"", "this is not TLS\r\n", 100, true}},
       ErrorKind::Tls, "TLSの接続に失敗しました", ""},
  };
  for (const Case& c : cases) {
    FakeServer server(c.steps);
    SmtpClient client;
    client.user_name = "user";
    client.password = "secret";
    client.Connect("127.0.0.1", server.port(), true);
    try {
      client.Send(Message());
      ADD_FAILURE() << c.name << ": no error";
    } catch (const ProtocolError& e) {
      EXPECT_EQ(e.kind(), c.kind) << c.name;
      EXPECT_NE(e.text().find(Sjis(c.text)), std::string::npos) << c.name;
      EXPECT_NE(e.text().find("127.0.0.1:" + std::to_string(server.port())), std::string::npos) << c.name;
      EXPECT_EQ(e.server_reply(), c.reply) << c.name;
    }
    EXPECT_FALSE(client.IsConnected()) << c.name;
    server.Join();
    for (const std::string& line : server.received()) {
      EXPECT_EQ(line.find("AUTH"), std::string::npos) << c.name;  // no password in clear
      EXPECT_EQ(line.find("MAIL"), std::string::npos) << c.name;
    }
  }
}

TEST(SmtpFakeTest, FailedAuthenticationAndGarbage) {
  {
    FakeServer server({
        {"", "220 hi\r\n"},
        {"EHLO ", kEhloPlain},
        {"AUTH LOGIN", "334 VXNlcm5hbWU6\r\n"},
        {"dXNlcg==", "334 UGFzc3dvcmQ6\r\n"},
        {"d3Jvbmc=", "535-5.7.8 Authentication\r\n535 5.7.8 credentials invalid\r\n"},
        {"RSET", "250 ok\r\n"},
    });
    SmtpClient c;
    c.user_name = "user";
    c.password = "wrong";
    c.Connect("127.0.0.1", server.port(), false);
    try {
      c.Authenticate();
      ADD_FAILURE() << "no error";
    } catch (const ProtocolError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Authentication);
      EXPECT_EQ(e.server_reply(), "535-5.7.8 Authentication\r\n535 5.7.8 credentials invalid");
      EXPECT_NE(e.text().find(e.server_reply()), std::string::npos);
    }
    c.Disconnect();
    ExpectCleanScript(server);
  }
  {
    FakeServer server(std::vector<FakeStep>{{"", "* OK IMAP4rev1 ready\r\n"}});
    SmtpClient c;
    try {
      c.Connect("127.0.0.1", server.port(), false);
      ADD_FAILURE() << "no error";
    } catch (const ProtocolError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Protocol);
      EXPECT_EQ(e.server_reply(), "* OK IMAP4rev1 ready");
    }
    EXPECT_FALSE(c.IsConnected());
  }
}

}  // namespace
}  // namespace plumex

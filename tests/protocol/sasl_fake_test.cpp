// Log-in mechanisms against scripted servers: what is chosen from what a server offers, what
// goes over the wire, a refused OAuth2 token renewed once, POP3 STLS required, and a trace that
// never holds a secret.
#include <gtest/gtest.h>

#include <algorithm>

#include "text/base64.h"
#include "text/sjis_text.h"
#include "protocol/flat_json.h"
#include "protocol/outgoing_message.h"
#include "protocol/pop3_client.h"
#include "protocol/protocol_error.h"
#include "protocol/protocol_texts.h"
#include "protocol/protocol_trace.h"
#include "protocol/sasl.h"
#include "protocol/smtp_client.h"
#include "tests/protocol/fake_server.h"

namespace plumex {
namespace {

using test::FakeServer;
using test::FakeStep;

std::string B64(const std::string& s) { return Base64Encode(s); }

OutgoingMessage Message() {
  OutgoingMessage m;
  m.from = "me@example.com";
  m.to = "a@example.com";
  m.subject = "s";
  m.text = "x\r\n";
  return m;
}

void ExpectCleanScript(FakeServer& server) {
  server.Join();
  for (const std::string& e : server.errors()) ADD_FAILURE() << e;
}

// Every line of the debug output while the object lives.
struct DebugLines {
  std::vector<std::string> lines;
  DebugLines() {
    SetProtocolDebugSink([this](const std::string& l) { lines.push_back(l); });
  }
  ~DebugLines() { SetProtocolDebugSink(nullptr); }
  bool Contains(const std::string& text) const {
    return std::any_of(lines.begin(), lines.end(), [&](const auto& l) { return l.find(text) != std::string::npos; });
  }
};

TEST(SaslTest, TheMechanismFollowsTheMethodAndWhatTheServerOffers) {
  using M = SaslMechanism;
  struct Case {
    std::vector<std::string> offered;
    LoginMethod method;
    bool pop3, user_pass;
    std::optional<M> chosen;
  };
  const Case cases[] = {
      {{"PLAIN", "LOGIN"}, LoginMethod::Password, false, false, M::Login},
      {{"PLAIN"}, LoginMethod::Password, false, false, M::Plain},
      {{"CRAM-MD5"}, LoginMethod::Password, false, false, std::nullopt},
      {{}, LoginMethod::Password, false, false, std::nullopt},
      {{"XOAUTH2", "OAUTHBEARER", "PLAIN"}, LoginMethod::OAuth2, false, false, M::OAuthBearer},
      {{"XOAUTH2", "PLAIN"}, LoginMethod::OAuth2, true, true, M::XOAuth2},
      {{"PLAIN", "LOGIN"}, LoginMethod::OAuth2, false, false, std::nullopt},
      {{"PLAIN"}, LoginMethod::Password, true, true, M::UserPass},
      {{"PLAIN"}, LoginMethod::Password, true, false, M::Plain},
      {{}, LoginMethod::Password, true, false, std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ChooseMechanism(c.offered, c.method, c.pop3, c.user_pass), c.chosen) << testing::PrintToString(c.offered);
  EXPECT_EQ(OfferedMechanisms({"PIPELINING", "AUTH PLAIN login", "AUTH=LOGIN XOAUTH2"}, "AUTH"),
            (std::vector<std::string>{"PLAIN", "LOGIN", "XOAUTH2"}));
  EXPECT_EQ(SaslInitialResponse(M::Plain, "u", "p", "h", 1), std::string("\0u\0p", 4));
  EXPECT_EQ(SaslInitialResponse(M::XOAuth2, "u@x", "T", "h", 1), "user=u@x\x01" "auth=Bearer T\x01\x01");
  EXPECT_EQ(SaslInitialResponse(M::OAuthBearer, "a,b=c", "T", "mail.x", 587),
            "n,a=a=2Cb=3Dc,\x01host=mail.x\x01port=587\x01" "auth=Bearer T\x01\x01");
}

TEST(SaslTest, SmtpOfferingOnlyPlainGetsPlainAndTheTraceHidesIt) {
  DebugLines debug;
  FakeServer server({
      {"", "220 hi\r\n"},
      {"EHLO ", "250-x\r\n250 AUTH PLAIN\r\n"},
      {"AUTH PLAIN " + B64(std::string("\0user\0pa55word", 14)), "235 ok\r\n"},
      {"RSET", "250 ok\r\n"},
      {"MAIL FROM:<me@example.com>", "250 ok\r\n"},
      {"RCPT TO:<a@example.com>", "250 ok\r\n"},
      {"DATA", "354 go\r\n"},
      {".", "250 queued\r\n"},
      {"QUIT", "221 bye\r\n", 0, true},
  });
  SmtpClient c;
  c.user_name = "user";
  c.password = "pa55word";
  c.Connect("127.0.0.1", server.port(), false);
  c.Send(Message());
  c.Disconnect();
  ExpectCleanScript(server);
  EXPECT_TRUE(debug.Contains("C: AUTH PLAIN ****"));
  EXPECT_FALSE(debug.Contains(B64(std::string("\0user\0pa55word", 14))));
  EXPECT_FALSE(debug.Contains("pa55word"));
  EXPECT_FALSE(debug.Contains("hello"));  // no mail text either
  EXPECT_NE(LastConnectionTrace().find("C: AUTH PLAIN ****"), std::string::npos);
}

// Offered AUTH without a usable mechanism, or no AUTH at all for an OAuth2 account.
TEST(SaslTest, ASmtpServerWithoutAUsableMechanismIsAnErrorAndNothingIsSent) {
  for (const std::string ehlo : {"250-x\r\n250 AUTH CRAM-MD5\r\n", "250 x\r\n"}) {
    FakeServer server({{"", "220 hi\r\n"}, {"EHLO ", ehlo}});
    SmtpClient c;
    c.user_name = "user";
    c.password = "pw";
    if (ehlo == "250 x\r\n") {
      c.login.method = LoginMethod::OAuth2;
      c.login.secret = [](bool) { return std::string("token"); };
    }
    c.Connect("127.0.0.1", server.port(), false);
    try {
      c.Send(Message());
      ADD_FAILURE() << "sent without log-in";
    } catch (const ProtocolError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Authentication);
      const std::string offered = ehlo.find("CRAM") != std::string::npos ? "CRAM-MD5" : Sjis("なし");
      EXPECT_NE(e.text().find(Sjis("サーバが対応しているログイン方式: ") + offered), std::string::npos) << e.text();
    }
    server.Join();
    for (const auto& line : server.received()) EXPECT_EQ(line.find("MAIL"), std::string::npos);
  }
}

// A refused access token may only have run out early: one fresh token, and a second refusal
// is the error.
TEST(SaslTest, Pop3OAuthBearerRenewsARefusedTokenOnce) {
  const auto ir = [](const char* token, int port) {
    return B64(SaslInitialResponse(SaslMechanism::OAuthBearer, "u", token, "127.0.0.1", port));
  };
  std::vector<std::string> asked;
  auto run = [&](const std::string& second_reply) {
    std::vector<FakeStep> steps = {{"", "+OK hi\r\n"},
                                   {"CAPA", "+OK\r\nSASL OAUTHBEARER XOAUTH2\r\n.\r\n"},
                                   {"AUTH OAUTHBEARER ", "+ eyJzdGF0dXMiOiJpbnZhbGlkX3Rva2VuIn0=\r\n"},
                                   {"AQ==", "-ERR [AUTH] Authentication failed.\r\n"},
                                   {"AUTH OAUTHBEARER ", second_reply}};
    if (second_reply.starts_with("+OK")) steps.push_back({"QUIT", "+OK\r\n", 0, true});
    FakeServer server(steps);
    Pop3Client c;
    c.host = "127.0.0.1";
    c.port = server.port();
    c.user_name = "u";
    c.login.method = LoginMethod::OAuth2;
    asked.clear();
    c.login.secret = [&](bool renew) {
      asked.push_back(renew ? "renew" : "first");
      return std::string(renew ? "new" : "old");
    };
    std::optional<ProtocolError> failure;
    try {
      c.Connect();
      c.Disconnect();
    } catch (const ProtocolError& e) {
      failure = e;
    }
    server.Join();
    const auto received = server.received();
    EXPECT_NE(std::find(received.begin(), received.end(), "AUTH OAUTHBEARER " + ir("new", server.port())),
              received.end());
    return failure;
  };
  EXPECT_FALSE(run("+OK logged in\r\n"));
  EXPECT_EQ(asked, (std::vector<std::string>{"first", "renew"}));
  auto failure = run("-ERR [AUTH] Authentication failed.\r\n");
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->kind(), ErrorKind::Authentication);
  EXPECT_EQ(asked.size(), 2u);  // renewed once, not again
}

TEST(SaslTest, Pop3StlsIsRequiredAndNoPasswordGoesOutWithoutIt) {
  FakeServer server({{"", "+OK hi\r\n"}, {"CAPA", "+OK\r\nUSER\r\nTOP\r\n.\r\n"}});
  Pop3Client c;
  c.host = "127.0.0.1";
  c.port = server.port();
  c.user_name = "u";
  c.password = "pw";
  c.use_tls = true;
  c.starttls = true;
  try {
    c.Connect();
    ADD_FAILURE() << "logged in without TLS";
  } catch (const ProtocolError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Tls);
    EXPECT_NE(e.text().find("STLS"), std::string::npos);
  }
  server.Join();
  for (const auto& line : server.received()) {
    EXPECT_FALSE(line.starts_with("USER") || line.starts_with("PASS") || line.starts_with("AUTH")) << line;
  }
  EXPECT_FALSE(c.IsConnected());
}

TEST(SaslTest, Pop3WithoutUserUsesAuthPlain) {
  FakeServer server({{"", "+OK hi\r\n"},
                     {"CAPA", "+OK\r\nSASL PLAIN\r\n.\r\n"},
                     {"AUTH PLAIN " + B64(std::string("\0u\0pw", 5)), "+OK\r\n"},
                     {"QUIT", "+OK\r\n", 0, true}});
  Pop3Client c;
  c.host = "127.0.0.1";
  c.port = server.port();
  c.user_name = "u";
  c.password = "pw";
  c.Connect();
  c.Disconnect();
  ExpectCleanScript(server);
}

TEST(SaslTest, KnownRefusalsCarryTheirFix) {
  const std::pair<const char*, const char*> cases[] = {
      {"535 5.7.30 Basic authentication is not supported for Client Submission", "OAuth2 (Microsoft)"},
      {"-ERR Logon failure: BasicAuthBlocked", "OAuth2 (Microsoft)"},
      {"534-5.7.9 Application-specific password required. Learn more at", "アプリ パスワード"},
      {"-ERR [AUTH] login.yahoo.co.jp: access from other services is off", "Yahoo! JAPAN公式サービス以外"},
  };
  for (const auto& [reply, fix] : cases)
    EXPECT_NE(LoginRefusedText("h", 1, reply).find(Sjis(fix)), std::string::npos) << reply;
  EXPECT_EQ(LoginRefusalHint("-ERR [AUTH] Authentication failed."), "");
}

TEST(FlatJsonTest, TokenAnswersAreRead) {
  auto j = ParseFlatJsonObject(
      R"({"access_token":"a\"b\u00e9","expires_in":3599,"ext":{"x":[1,2]},"ok":true,"refresh_token":"r"})");
  ASSERT_TRUE(j);
  EXPECT_EQ((*j)["access_token"], "a\"b\xc3\xa9");
  EXPECT_EQ((*j)["expires_in"], "3599");
  EXPECT_EQ((*j)["ok"], "true");
  EXPECT_EQ((*j)["refresh_token"], "r");
  for (const char* bad : {"", "[]", "{", R"({"a":"b)", R"({"a":1} x)", "<html>"}) EXPECT_FALSE(ParseFlatJsonObject(bad)) << bad;
}

}  // namespace
}  // namespace plumex

#include <gtest/gtest.h>

#include <optional>

#include "text/code_page.h"
#include "text/sjis_text.h"

#include "protocol/parsed_message.h"
#include "protocol/pop3_client.h"
#include "protocol/protocol_error.h"
#include "tests/protocol/fake_server.h"

namespace plumex {
namespace {

using test::FakeServer;
using test::FakeStep;

const std::vector<FakeStep> kLogin = {
    {"", "+OK ready\r\n"},
    {"CAPA", "+OK\r\nUSER\r\nTOP\r\n.\r\n"},
    {"USER me", "+OK\r\n"},
    {"PASS pw", "+OK logged in\r\n"},
};

std::vector<FakeStep> Script(std::vector<FakeStep> after) {
  std::vector<FakeStep> steps = kLogin;
  steps.insert(steps.end(), after.begin(), after.end());
  return steps;
}

void Configure(Pop3Client& c, const FakeServer& server, int read_timeout = 10) {
  c.options().read_timeout_seconds = read_timeout;
  c.host = "127.0.0.1";
  c.port = server.port();
  c.user_name = "me";
  c.password = "pw";
}

TEST(Pop3FakeTest, CommandsAndMultiLineReplies) {
  FakeServer server(Script({
      {"STAT", "+OK 2 320\r\n"},
      {"LIST 2", "+OK 2 120\r\n"},
      {"TOP 1 0", "+OK\r\nSubject: one\r\nMessage-ID: <1@x>\r\n\r\n.\r\n"},
      {"RETR 2", "+OK\r\nSubject: two\r\n\r\n..starts with a dot\r\n.\r\n"},
      {"RETR 2", "+OK\r\nSubject: two\r\n\r\n..starts with a dot\r\n.\r\n"},
      {"DELE 2", "+OK deleted\r\n"},
      {"QUIT", "+OK bye\r\n", 0, true},
  }));
  Pop3Client c;
  Configure(c, server);
  std::vector<std::string> statuses;
  int disconnects = 0;
  c.on_status = [&](const std::string& s) { statuses.push_back(s); };
  c.on_disconnected = [&] { ++disconnects; };
  c.Connect();
  EXPECT_TRUE(c.IsConnected());
  EXPECT_EQ(c.capabilities(), (std::vector<std::string>{"USER", "TOP"}));
  EXPECT_EQ(c.Stat(), 2);
  EXPECT_EQ(c.List(2), 120);
  ParsedMessage m;
  c.Top(1, m);
  EXPECT_EQ(m.MessageId(), "<1@x>");
  c.Retrieve(2, m);
  EXPECT_EQ(m.HeaderValue("Subject"), "two");
  EXPECT_EQ(m.BodyText(), ".starts with a dot\r\n");
  EXPECT_EQ(m.HeaderValue("Message-ID"), "");          // cleared before the fill
  std::vector<std::string> lines;
  c.RetrieveRaw(2, lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"Subject: two", "", ".starts with a dot"}));
  c.Delete(2);
  c.Disconnect();
  EXPECT_FALSE(c.IsConnected());
  EXPECT_EQ(disconnects, 1);
  EXPECT_GE(statuses.size(), 3u);
  server.Join();
  EXPECT_TRUE(server.errors().empty()) << server.errors()[0];
}

// A size is only shown: a refused or unreadable LIST answer gives no size and keeps the
// connection (and its commands in step) for the RETR that follows.
TEST(Pop3FakeTest, ABrokenListAnswerIsNoSize) {
  FakeServer server(Script({{"LIST 1", "-ERR go away\r\n"},
                            {"LIST 2", "+OK 2 -5\r\n"},
                            {"LIST 3", "what?\r\n"},
                            {"LIST", "-ERR not now\r\n"},
                            {"STAT", "+OK 3 30\r\n"}}));
  Pop3Client client;
  Configure(client, server);
  client.Connect();
  EXPECT_EQ(client.List(1), -1);
  EXPECT_EQ(client.List(2), -1);
  EXPECT_EQ(client.List(3), -1);
  EXPECT_TRUE(client.ListAll().empty());
  EXPECT_EQ(client.Stat(), 3);
  client.Disconnect();
}

TEST(Pop3FakeTest, ErrAtAnyCommandIsAnErrorWithTheServersText) {
  struct Case {
    const char* command;
    std::vector<FakeStep> steps;
  };
  const std::vector<Case> cases = {
      {"greeting", {{"", "-ERR go away\r\n"}}},
      {"USER", {{"", "+OK\r\n"}, {"CAPA", "-ERR no\r\n"}, {"USER", "-ERR go away\r\n"}}},
      {"PASS", Script({})},
      {"STAT", Script({{"STAT", "-ERR go away\r\n"}})},
      {"TOP", Script({{"TOP 1 0", "-ERR go away\r\n"}})},
      {"RETR", Script({{"RETR 1", "-ERR go away\r\n"}})},
      {"DELE", Script({{"DELE 1", "-ERR go away\r\n"}})},
  };
  for (const Case& c : cases) {
    std::vector<FakeStep> steps = c.steps;
    if (std::string(c.command) == "PASS") steps.back().reply = "-ERR go away\r\n";
    FakeServer server(steps);
      Pop3Client client;
    Configure(client, server);
    ParsedMessage m;
    try {
      client.Connect();
      const std::string cmd = c.command;
      if (cmd == "STAT") client.Stat();
      if (cmd == "TOP") client.Top(1, m);
      if (cmd == "RETR") client.Retrieve(1, m);
      if (cmd == "DELE") client.Delete(1);
      ADD_FAILURE() << c.command << ": no error";
    } catch (const ProtocolError& e) {
      const bool login = std::string(c.command) == "USER" || std::string(c.command) == "PASS";
      EXPECT_EQ(e.kind(), login ? ErrorKind::Authentication : ErrorKind::ServerRefusal) << c.command;
      EXPECT_EQ(e.server_reply(), "-ERR go away") << c.command;
    }
    // A refused log-in leaves no half-open connection; a refused command keeps it.
    const bool at_login = std::string("greeting USER PASS").find(c.command) != std::string::npos;
    EXPECT_EQ(client.IsConnected(), !at_login) << c.command;
    client.Disconnect();
  }
}

// What the user is shown for the main failures: the kind, the server, the reason or the
// server's own reply.
TEST(Pop3FakeTest, FailuresCarryTheirKindTheServerAndTheReply) {
  struct Case {
    const char* name;
    std::vector<FakeStep> steps;  // none: nobody listens on the port
    bool retrieve;                // RETR 1 after the log-in
    ErrorKind kind;
    const char* text;  // the first line, or the reason on the last line
    std::string reply;
  };
  const std::vector<Case> cases = {
      {"refused connection", {}, false, ErrorKind::Connection, "接続が拒否されました", ""},
      {"-ERR on PASS",
       {{"", "+OK\r\n"}, {"CAPA", "-ERR\r\n"}, {"USER", "+OK\r\n"}, {"PASS", "-ERR [AUTH] Invalid login\r\n"}},
       false, ErrorKind::Authentication, "サーバがログインを拒否しました: -ERR [AUTH] Invalid login",
       "-ERR [AUTH] Invalid login"},
      {"-ERR on RETR", Script({{"RETR 1", "-ERR no such message\r\n"}}), true, ErrorKind::ServerRefusal,
       "サーバがコマンドを拒否しました: -ERR no such message", "-ERR no such message"},
      {"dropped in RETR", Script({{"RETR 1", "+OK\r\nSubject: cut\r\n\r\nhalf of", 0, true}}), true,
       ErrorKind::Connection, "サーバが接続を切断しました", ""},
      {"time-out", Script({{"RETR 1", "", 1500}}), true, ErrorKind::Connection, "応答がタイムアウトしました", ""},
  };
  for (const Case& c : cases) {
    std::optional<FakeServer> server;
    if (!c.steps.empty()) server.emplace(c.steps);
    const int port = server ? server->port() : test::ClosedPort();
    Pop3Client client;
    client.options().read_timeout_seconds = 1;
    client.host = "127.0.0.1";
    client.port = port;
    client.user_name = "me";
    client.password = "pw";
    try {
      client.Connect();
      ParsedMessage m;
      if (c.retrieve) client.Retrieve(1, m);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const ProtocolError& e) {
      EXPECT_EQ(e.kind(), c.kind) << c.name;
      EXPECT_NE(e.text().find(Sjis(c.text)), std::string::npos) << c.name << ": " << Cp932ToUtf8(e.text());
      EXPECT_NE(e.text().find(Sjis("サーバ: ") + "127.0.0.1:" + std::to_string(port)), std::string::npos) << c.name;
      EXPECT_EQ(e.server_reply(), c.reply) << c.name;
    }
    client.Disconnect();
  }
}

TEST(Pop3FakeTest, ConnectionDroppedInTheMiddleOfRetr) {
  FakeServer server(Script({{"RETR 1", "+OK\r\nSubject: cut\r\n\r\nhalf of the bo", 0, true}}));
  Pop3Client c;
  Configure(c, server);
  int disconnects = 0;
  c.on_disconnected = [&] { ++disconnects; };
  c.Connect();
  ParsedMessage m;
  EXPECT_THROW(c.Retrieve(1, m), ProtocolError);
  EXPECT_FALSE(c.IsConnected());
  EXPECT_EQ(disconnects, 1);
  EXPECT_THROW(c.Stat(), ProtocolError);
}

TEST(Pop3FakeTest, GarbageInsteadOfAReply) {
  for (const char* garbage : {"HTTP/1.1 400 Bad Request\r\n", "\x16\x03\x01\x02\x01\r\n", "OK\r\n"}) {
    FakeServer server(std::vector<FakeStep>{{"", garbage}});
    Pop3Client c;
    Configure(c, server);
    try {
      c.Connect();
      ADD_FAILURE() << "no error";
    } catch (const ProtocolError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Protocol) << e.what();
      EXPECT_EQ(e.text().find(Sjis("サーバの応答が正しくありません: ")), 0u) << e.what();
    }
    EXPECT_FALSE(c.IsConnected());
  }
}

TEST(Pop3FakeTest, SlowServerTimesOutWhileTheWindowIsPumped) {
  FakeServer server(Script({{"STAT", "+OK 1 1\r\n", 1500}}));
  Pop3Client c;
  Configure(c, server, 1);
  int pumps = 0;
  c.options().pump = [&] { ++pumps; };
  c.Connect();
  pumps = 0;
  try {
    c.Stat();
    ADD_FAILURE() << "no time-out";
  } catch (const ProtocolError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Connection);
  }
  EXPECT_GE(pumps, 5);  // a second of waiting, pumped every few tens of milliseconds
  EXPECT_FALSE(c.IsConnected());
}

TEST(Pop3FakeTest, StopRequestBreaksTheWait) {
  FakeServer server(Script({{"RETR 1", "+OK\r\nSubject: slow\r\n", 0}, {"", "", 1500, true}}));
  Pop3Client c;
  Configure(c, server);
  int pumps = 0;
  c.options().pump = [&] { ++pumps; };
  c.options().stop_requested = [&] { return pumps >= 3; };
  c.Connect();
  pumps = 0;
  ParsedMessage m;
  EXPECT_THROW(c.Retrieve(1, m), ConnectionStopped);
  EXPECT_FALSE(c.IsConnected());
}

TEST(Pop3FakeTest, DisconnectFromThePumpClosesWithoutQuit) {
  // The "stop" command of the window runs inside the pump and closes the connection.
  FakeServer server(Script({{"RETR 1", "+OK\r\nSubject: slow\r\n"}, {"", "", 1000, true}}));
  Pop3Client c;
  Configure(c, server);
  c.Connect();
  c.options().pump = [&] { c.Disconnect(); };
  ParsedMessage m;
  EXPECT_THROW(c.Retrieve(1, m), ProtocolError);
  EXPECT_FALSE(c.IsConnected());
  server.Join();
  for (const std::string& line : server.received()) EXPECT_NE(line, "QUIT");
}

}  // namespace
}  // namespace plumex

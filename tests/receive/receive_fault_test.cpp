// The receive run against a scripted server: dropped connections, refused connections, stop.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <ctime>
#include <thread>

#include "text/code_page.h"
#include "text/sjis_text.h"
#include "receive/sender_trust.h"
#include "tests/protocol/fake_server.h"
#include "tests/receive/receive_fixture.h"
#include "tests/support/test_mail.h"

namespace plumex {
namespace {

using test::FakeServer;
using test::FakeStep;

std::string Message(int n) { return test::NumberedMail(n, "message " + std::to_string(n), "body " + std::to_string(n)); }

std::string Header(int n) {
  std::string m = Message(n);
  return m.substr(0, m.find("\r\n\r\n") + 4);
}

std::vector<FakeStep> Login(int count) { return test::Pop3Login(count); }

void Fetch(std::vector<FakeStep>& steps, int n) {
  const std::string k = std::to_string(n);
  steps.push_back({"TOP " + k + " 0", "+OK\r\n" + Header(n) + ".\r\n"});
  steps.push_back({"RETR " + k, "+OK\r\n" + Message(n) + ".\r\n"});
}

std::string AccountLine(int port) { return "acc\t127.0.0.1\tme\tpw\tsmtp\tme@x\t" + std::to_string(port) + "\t25\t0"; }

TEST(ReceiveFaults, DroppedInMessageThreeNothingLostOrDoubled) {
  std::vector<FakeStep> first = Login(5);
  Fetch(first, 1);
  Fetch(first, 2);
  first.push_back({"TOP 3 0", "+OK\r\n" + Header(3) + ".\r\n"});
  first.push_back({"RETR 3", "+OK\r\nMessage-ID: <m3@x>\r\nSubj", 0, true});
  auto server = std::make_unique<FakeServer>(first);
  test::ReceiveFixture store(AccountLine(server->port()));
  test::FakeUi ui;
  ReceiveResult result = store.Run(ui);
  server->Join();
  EXPECT_TRUE(result.connected);
  EXPECT_EQ(result.new_count, 2);
  ASSERT_TRUE(result.error.has_value());
  EXPECT_EQ(ui.status[1], "新着メールは2件です。");
  EXPECT_EQ(Cp932ToUtf8(ReceiveCutShortText(result)).rfind("受信が途中で終わりました。新着メールは2件です。\r\n", 0), 0u);
  EXPECT_EQ(store.IndexFileRows().size(), 2u);
  EXPECT_TRUE(store.state.ReceivedIds.Contains("<m2@x>"));

  // The next run skips 1 and 2 (header only) and files 3 to 5.
  std::vector<FakeStep> second = Login(5);
  second.push_back({"TOP 1 0", "+OK\r\n" + Header(1) + ".\r\n"});
  second.push_back({"TOP 2 0", "+OK\r\n" + Header(2) + ".\r\n"});
  for (int n = 3; n <= 5; ++n) Fetch(second, n);
  second.push_back({"QUIT", "+OK bye\r\n", 0, true});
  server = std::make_unique<FakeServer>(second);
  store.state.AccountList = {AccountLine(server->port())};
  test::FakeUi again;
  result = store.Run(again);
  server->Join();
  EXPECT_TRUE(server->errors().empty()) << testing::PrintToString(server->errors());
  EXPECT_EQ(result.new_count, 3);
  EXPECT_EQ(store.IndexFileRows().size(), 5u);
  std::vector<std::string> ids;
  ReadLines(store.Dir() / "AlreadMsgID.ini", ids);
  EXPECT_EQ(ids.size(), 5u);
  for (int n = 1; n <= 5; ++n) EXPECT_TRUE(FileExists(store.Dir() / ("0m" + std::to_string(n) + "@x9.txt"))) << n;
}

// A server that offers UIDL: it is asked once per run, and only the messages new since the
// last run have their header read; one whose id left the fetched list is read again.
TEST(ReceiveFaults, UidlOnceThenOnlyWhatIsNew) {
  auto login = [](int count, const std::string& uidls) {
    std::vector<FakeStep> steps = Login(count);
    steps[1] = {"CAPA", "+OK\r\nUSER\r\nTOP\r\nUIDL\r\n.\r\n"};
    steps.push_back({"UIDL", "+OK\r\n" + uidls + ".\r\n"});
    return steps;
  };
  std::vector<FakeStep> first = login(2, "1 u1\r\n2 u2\r\n");
  Fetch(first, 1);
  Fetch(first, 2);
  first.push_back({"QUIT", "+OK bye\r\n", 0, true});
  auto server = std::make_unique<FakeServer>(first);
  test::ReceiveFixture store(AccountLine(server->port()));
  test::FakeUi ui;
  EXPECT_EQ(store.Run(ui).new_count, 2);
  server->Join();
  EXPECT_TRUE(server->errors().empty()) << testing::PrintToString(server->errors());

  // Message 1 is gone, 3 is new, and 2 left the fetched list (a rule deleted its copy): no
  // header is read but theirs.
  store.state.ReceivedIds.Remove("<m2@x>");
  store.state.ReceivedIds.Save(store.Dir() / "AlreadMsgID.ini");  // the run reads the list from disk
  std::vector<FakeStep> second = login(3, "1 u2\r\n2 u3\r\n3 u9\r\n");
  second.push_back({"TOP 1 0", "+OK\r\n" + Header(2) + ".\r\n"});
  second.push_back({"RETR 1", "+OK\r\n" + Message(2) + ".\r\n"});
  second.push_back({"TOP 2 0", "+OK\r\n" + Header(3) + ".\r\n"});
  second.push_back({"RETR 2", "+OK\r\n" + Message(3) + ".\r\n"});
  second.push_back({"TOP 3 0", "+OK\r\n" + Header(1) + ".\r\n"});  // 1 again, under a new UIDL
  second.push_back({"QUIT", "+OK bye\r\n", 0, true});
  server = std::make_unique<FakeServer>(second);
  store.state.AccountList = {AccountLine(server->port())};
  test::FakeUi again;
  EXPECT_EQ(store.Run(again).new_count, 2);  // 2 again and 3; 1 is fetched already
  server->Join();
  EXPECT_TRUE(server->errors().empty()) << testing::PrintToString(server->errors());

  // Nothing new: UIDL alone.
  server = std::make_unique<FakeServer>(login(3, "1 u2\r\n2 u3\r\n3 u9\r\n"));
  store.state.AccountList = {AccountLine(server->port())};
  test::FakeUi third;
  EXPECT_EQ(store.Run(third).new_count, 0);
  server->Join();
  EXPECT_TRUE(server->errors().empty()) << testing::PrintToString(server->errors());
}

// Mail without Message-ID fetched before under an id made from its date: the message filed then
// is not fetched again, the one that shared its second (another size) and was skipped is filed.
TEST(ReceiveFaults, MessagesFiledUnderTheEarlierDateIdAreNotDoubled) {
  setenv("TZ", "Asia/Tokyo", 1);
  tzset();
  const std::string head = "From: a@x\r\nSubject: alert\r\nDate: Tue, 08 Sep 2009 12:34:56 +0900\r\n\r\n";
  const std::string one = head + "disk full\r\n", two = head + "disk really full\r\n";
  std::vector<FakeStep> steps = Login(2);
  steps.back() = {"LIST", "+OK\r\n1 " + std::to_string(one.size()) + "\r\n2 " + std::to_string(two.size()) + "\r\n.\r\n"};
  steps.push_back({"TOP 1 0", "+OK\r\n" + head + ".\r\n"});
  steps.push_back({"TOP 2 0", "+OK\r\n" + head + ".\r\n"});
  steps.push_back({"RETR 2", "+OK\r\n" + two + ".\r\n"});
  steps.push_back({"QUIT", "+OK bye\r\n", 0, true});
  FakeServer server(steps);
  test::ReceiveFixture store(AccountLine(server.port()));
  const std::string earlier = "<2009/09/08_12:34:56tomarind_Vantory>";
  store.state.ReceivedIds.Add(earlier);
  store.state.ReceivedIds.Save(store.Dir() / "AlreadMsgID.ini");  // the run reads the list from disk
  store.state.CurrentIndex.Add(earlier + "\talert\ta@x\t2009/09/08_12:34:56\t" + std::to_string(one.size()) + "\t2\t0\t2");
  store.state.CurrentIndex.Save(store.Dir() / "MsgID.ini");
  test::FakeUi ui;
  EXPECT_EQ(store.Run(ui).new_count, 1);
  server.Join();
  EXPECT_TRUE(server.errors().empty()) << testing::PrintToString(server.errors());
  EXPECT_EQ(store.IndexFileRows().size(), 2u);
}

TEST(ReceiveFaults, StopBetweenMessages) {
  std::vector<FakeStep> steps = Login(3);
  Fetch(steps, 1);
  steps.push_back({"QUIT", "+OK bye\r\n", 0, true});
  FakeServer server(steps);
  test::ReceiveFixture store(AccountLine(server.port()));
  test::FakeUi ui;
  ReceiveResult result = store.Run(ui, {}, 2);  // "中止" pressed while message 2 comes up
  server.Join();
  EXPECT_EQ(result.new_count, 1);
  EXPECT_TRUE(result.stopped);
  EXPECT_FALSE(result.error.has_value());
  EXPECT_EQ(ui.status[1], "新着メールは1件です。");
  EXPECT_EQ(ui.mode, "通常");
}

TEST(ReceiveFaults, SelectiveReceiveFetchesOnlyTheChosenNumbers) {
  std::vector<FakeStep> steps = Login(7);
  Fetch(steps, 2);
  Fetch(steps, 5);
  steps.push_back({"QUIT", "+OK bye\r\n", 0, true});
  FakeServer server(steps);
  test::ReceiveFixture store(AccountLine(server.port()));
  test::FakeUi ui;
  ReceiveResult result = store.Run(ui, {2, 5});
  server.Join();
  EXPECT_TRUE(server.errors().empty()) << testing::PrintToString(server.errors());
  EXPECT_EQ(result.new_count, 2);
}

// A loopback listener that hands every connection it accepts to `serve`, counting them; the
// connection is closed after it. `done` is set when the listener goes.
class LoopbackListener {
 public:
  explicit LoopbackListener(std::function<void(int socket, const std::atomic<bool>& done)> serve) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    listen(fd_, 8);
    socklen_t length = sizeof addr;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &length);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this, serve = std::move(serve)] {
      while (true) {
        int c = accept(fd_, nullptr, nullptr);
        if (c < 0) return;
        ++accepted;
        serve(c, done_);
        close(c);
      }
    });
  }
  ~LoopbackListener() {
    done_ = true;
    shutdown(fd_, SHUT_RDWR);
    close(fd_);
    thread_.join();
  }
  int port() const { return port_; }
  std::atomic<int> accepted{0};

 private:
  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// Refuses every connection at once.
void Refuse(int c, const std::atomic<bool>&) { (void)!write(c, "-ERR go away\r\n", 14); }

// A greeting that never ends: one byte every 100 ms.
void Trickle(int c, const std::atomic<bool>& done) {
  while (!done && send(c, "+", 1, MSG_NOSIGNAL) == 1) std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

TEST(ReceiveFaults, ThreeAttemptsThenTheMessage) {
  LoopbackListener server(Refuse);
  test::ReceiveFixture store(AccountLine(server.port()));
  test::FakeUi ui;
  ReceiveResult result = store.Run(ui);
  EXPECT_FALSE(result.connected);
  EXPECT_EQ(server.accepted.load(), 3);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text.rfind("接続できませんでした。", 0), 0u) << ui.messages[0].text;
  EXPECT_NE(ui.messages[0].text.find("go away"), std::string::npos) << ui.messages[0].text;
  EXPECT_TRUE(store.IndexFileRows().empty());
}

// A greeting that trickles in is given up once its time-out runs out, and not tried again at
// full length; the message names the server and the time-out.
TEST(ReceiveFaults, ATimeOutIsNotTriedAgain) {
  LoopbackListener server(Trickle);
  test::ReceiveFixture store(AccountLine(server.port()));
  store.exchange_timeout_seconds = 1;
  test::FakeUi ui;
  ReceiveResult result = store.Run(ui);
  EXPECT_FALSE(result.connected);
  EXPECT_EQ(server.accepted.load(), 1);
  ASSERT_EQ(ui.messages.size(), 1u);
  const std::string& text = ui.messages[0].text;
  EXPECT_NE(text.find("127.0.0.1:" + std::to_string(server.port())), std::string::npos) << text;
  EXPECT_NE(text.find("応答がタイムアウトしました (1秒)"), std::string::npos) << text;
}

// The provider's Authentication-Results are kept with the filed message; the account names its
// provider's authserv-id in AuthServ.ini (its POP3 host here is an address).
TEST(ReceiveFaults, TheSenderTrustIsFiledWithTheMessage) {
  const std::string message =
      "Authentication-Results: mx.example.jp; dmarc=fail header.from=bank.example; spf=fail\r\n"
      "Received: from evil.example by mx.example.jp\r\n"
      "Authentication-Results: mx.example.jp; dmarc=pass; dkim=pass; spf=pass\r\n"
      "Message-ID: <t@x>\r\nFrom: Bank <info@bank.example>\r\nSubject: s\r\n"
      "Date: Tue, 08 Sep 2009 12:34:56 +0900\r\n\r\nbody\r\n";
  std::vector<FakeStep> steps = Login(1);
  steps.push_back({"TOP 1 0", "+OK\r\n" + message.substr(0, message.find("\r\n\r\n") + 4) + ".\r\n"});
  steps.push_back({"RETR 1", "+OK\r\n" + message + ".\r\n"});
  steps.push_back({"QUIT", "+OK bye\r\n", 0, true});
  FakeServer server(steps);
  test::ReceiveFixture store(AccountLine(server.port()));
  WriteLines(store.Dir() / kAuthservIdFileName, {"example.jp"});
  test::FakeUi ui;
  EXPECT_EQ(store.Run(ui).new_count, 1);
  server.Join();
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadLines(store.Dir() / "0t@x9.txt", lines));
  const auto trust = StoredTrust(lines);
  ASSERT_TRUE(trust);
  EXPECT_EQ(TrustValues(*trust), "dmarc=fail; dkim=none; spf=fail; smime=none; from=info@bank.example");
}

}  // namespace
}  // namespace plumex

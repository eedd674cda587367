// The new-mail check in receive mode with auto-forwarding, through the application core,
// against the real Dovecot (POP3 and submission with STARTTLS) of the test servers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "shell/app_core.h"
#include "tests/protocol/servers_test.h"
#include "tests/shell/shell_fixture.h"

namespace plumex::test {
namespace {

namespace fs = std::filesystem;

class NewCheckServerTest : public ServersTest {
 protected:
  void SetUp() override {
    ServersTest::SetUp();
    if (IsSkipped()) return;
    // The submission server's certificate comes from the test CA.
    setenv("SSL_CERT_FILE", servers->Get("CA_FILE").c_str(), 1);
    tag = "t" + std::to_string(std::random_device{}());
    id = "<fwd-" + tag + "@example.jp>";
    servers->MakeMailbox("fwd" + tag, {"Message-ID: " + id + "\r\nFrom: taro@example.jp\r\nTo: me@example.jp\r\n"
                                       "Subject: forward me\r\nDate: Tue, 08 Sep 2009 12:34:56 +0900\r\n\r\nbody\r\n"});
    // SMTP with its SSL flag on: STARTTLS on the submission port, as ordinary sending does.
    store.WriteRaw("Account.ini",
                   {servers->AccountLine("受信箱", "fwd" + tag,
                                         {.address = "me@example.jp", .smtp = true, .rest = "0\t>\t0\t-1"})});
    core = std::make_unique<AppCore>(store.ui, store.root());
    ASSERT_TRUE(core->Start());
    NewCheckSettings& s = core->NewCheck();
    s.receive_all = true;
    s.receive_account = Utf8ToCp932("受信箱");
    s.forward = true;
  }

  std::vector<std::string> Forwarded() const {
    std::vector<std::string> lines;
    ReadLines(store.root() / "ForwardSL.ini", lines);
    return lines;
  }

  // Delivered messages that carry the id (the forward keeps the message's own Message-ID).
  std::vector<std::string> Delivered() const {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fs::path(servers->Get("SMTP_MAILDIR")) / "new", ec)) {
      std::stringstream text;
      text << std::ifstream(entry.path(), std::ios::binary).rdbuf();
      if (text.str().find(id) != std::string::npos) found.push_back(text.str());
    }
    return found;
  }

  std::string tag, id;
  StoreFixture store;
  std::unique_ptr<AppCore> core;
};

// The message received by the check goes out once, over STARTTLS, to the forward address; it
// is recorded in ForwardSL.ini after the server took it, and the next tick sends nothing.
TEST_F(NewCheckServerTest, ReceivedMailIsForwardedOnceOverStartTls) {
  core->NewCheck().forward_address = "boss-" + tag + "@example.jp";
  ASSERT_EQ(core->MailCheck().Start(NewCheckCommands::StartKind::Continue), 30);

  const NewCheckTickResult first = core->MailCheck().Tick();
  EXPECT_EQ(first.received, 1);
  EXPECT_TRUE(first.forward_failures.empty());
  EXPECT_TRUE(first.restart);
  EXPECT_EQ(Forwarded(), std::vector<std::string>{id});
  ASSERT_FALSE(servers->WaitForDelivered(id).empty());
  const auto delivered = Delivered();
  ASSERT_EQ(delivered.size(), 1u);
  EXPECT_NE(delivered[0].find("boss-" + tag + "@example.jp"), std::string::npos);
  EXPECT_NE(delivered[0].find("ESMTPSA"), std::string::npos) << delivered[0];  // TLS and AUTH

  const NewCheckTickResult second = core->MailCheck().Tick();
  EXPECT_EQ(second.received, 0);
  EXPECT_EQ(Forwarded(), std::vector<std::string>{id});
  EXPECT_EQ(Delivered().size(), 1u);
}

// A forward the server refuses is not recorded, is told once, and goes out at a later tick.
TEST_F(NewCheckServerTest, ARefusedForwardIsToldOnceAndTriedAgainAtTheNextTick) {
  core->NewCheck().forward_address = "nobody@refused.example";
  ASSERT_TRUE(core->MailCheck().Start(NewCheckCommands::StartKind::Continue));

  const NewCheckTickResult refused = core->MailCheck().Tick();
  EXPECT_EQ(refused.received, 1);
  ASSERT_EQ(refused.forward_failures.size(), 1u);
  EXPECT_NE(Cp932ToUtf8(refused.forward_failures[0]).find("forward me"), std::string::npos);
  EXPECT_TRUE(Forwarded().empty());
  EXPECT_TRUE(refused.restart);

  const NewCheckTickResult again = core->MailCheck().Tick();
  EXPECT_TRUE(again.forward_failures.empty());  // told once
  EXPECT_TRUE(Forwarded().empty());
  EXPECT_EQ(core->MailCheck().OwedForwardIds(), std::vector<std::string>{id});

  core->NewCheck().forward_address = "boss-" + tag + "@example.jp";
  core->MailCheck().Tick();
  EXPECT_EQ(Forwarded(), std::vector<std::string>{id});
  EXPECT_TRUE(core->MailCheck().OwedForwardIds().empty());
  EXPECT_FALSE(servers->WaitForDelivered(id).empty());
}

// A forward still owed when the program ends is kept on disk and goes at the first check
// after a restart; a manual "受信" meanwhile files by the rules and forwards nothing new.
TEST_F(NewCheckServerTest, AForwardOwedAtExitGoesAtTheNextCheckAfterARestart) {
  core->NewCheck().forward_address = "nobody@refused.example";
  ASSERT_TRUE(core->MailCheck().Start(NewCheckCommands::StartKind::Continue));
  EXPECT_EQ(core->MailCheck().Tick().received, 1);
  EXPECT_TRUE(Forwarded().empty());
  core.reset();  // the program ends with the forward owed
  EXPECT_TRUE(fs::exists(store.root() / "ForwardQueue.ini"));

  core = std::make_unique<AppCore>(store.ui, store.root());
  ASSERT_TRUE(core->Start());
  EXPECT_EQ(core->MailCheck().OwedForwardIds(), std::vector<std::string>{id});
  NewCheckSettings& s = core->NewCheck();
  s.receive_all = true;
  s.receive_account = Utf8ToCp932("受信箱");
  s.forward = true;
  s.forward_address = "boss-" + tag + "@example.jp";
  ASSERT_TRUE(core->MailCheck().Start(NewCheckCommands::StartKind::Continue));
  core->MailCheck().Tick();
  EXPECT_EQ(Forwarded(), std::vector<std::string>{id});
  EXPECT_TRUE(core->MailCheck().OwedForwardIds().empty());
  EXPECT_FALSE(fs::exists(store.root() / "ForwardQueue.ini"));
  EXPECT_FALSE(servers->WaitForDelivered(id).empty());
}

}  // namespace
}  // namespace plumex::test

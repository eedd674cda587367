// The check before sending as "メール送信" meets it: shown before a message is sent or queued,
// with the reply's new domains warned about; a refusal sends and queues nothing.
#include <gtest/gtest.h>

#include "text/code_page.h"
#include "shell/app_core.h"
#include "shell/compose.h"
#include "store/file_key.h"
#include "tests/shell/shell_fixture.h"

namespace plumex::test {
namespace {

class SendCheckCommandsTest : public ::testing::Test, public StoreFixture {
 protected:
  AppCore core{ui, root()};
  MainShell& shell = core.Shell();
  ComposeCommands& compose = core.Compose();

  void Start() {
    WriteUtf8Lines("Account.ini", {"B\tpop.b.jp\tub\tpb\t127.0.0.1\t\"ビー\" <b@b.jp>\t110\t25\t0\t>\t0\t0"});
    WriteRaw("受信/B/MsgID.ini", {"<m@x>\tmeeting\t<taro@client.example>\t2009/03/01_10:00:00\t10\t2\t2\t2"});
    WriteUtf8Lines("受信/B/" + MakeFileKey("<m@x>") + ".txt",
                   {"あて名:b@b.jp", "ReplyTo:", "CCList:sato@partner.example;", "差出人:<taro@client.example>",
                    "-------------------", "body"});
    shell.FormCreate();
  }
  // A message to be queued five minutes on.
  void Fill(const std::string& to, const std::string& cc = "") {
    ComposeContent& c = compose.Content();
    c.to = to;
    c.cc = cc;
    c.subject = "s";
    c.body = {"b"};
    c.delay = "5";
  }
};

TEST_F(SendCheckCommandsTest, ARefusedCheckNeitherSendsNorQueues) {
  Start();  // no settings file: a new store, the check is on
  compose.NewMail();
  Fill("taro@client.example, boss@sub.b.jp");
  ui.confirm_send = false;
  EXPECT_FALSE(compose.Send());
  EXPECT_FALSE(compose.LastQueued());
  EXPECT_EQ(ui.compose_hidden, 0);
  ASSERT_EQ(ui.send_checks.size(), 1u);
  const SendCheck& check = ui.send_checks[0];
  ASSERT_EQ(check.external.size(), 1u);
  EXPECT_EQ(check.external[0].domain, "client.example");
  ASSERT_EQ(check.internal.size(), 1u);
  EXPECT_EQ(check.internal[0].domain, "sub.b.jp");
  EXPECT_TRUE(check.warnings.empty());  // a new message, not a reply

  ui.confirm_send = true;
  EXPECT_TRUE(compose.Send());
  EXPECT_TRUE(compose.LastQueued());
}

TEST_F(SendCheckCommandsTest, AReplyWarnsAboutDomainsTheOriginalDidNotHold) {
  Start();
  shell.List().SetSelection({0});
  shell.ShowMessage(0);
  compose.Reply();
  Fill("taro@client.example", "sato@partner.example, boss@rival.example");
  EXPECT_TRUE(compose.Send());
  ASSERT_EQ(ui.send_checks.size(), 1u);
  ASSERT_EQ(ui.send_checks[0].warnings.size(), 1u);
  EXPECT_EQ(Cp932ToUtf8(ui.send_checks[0].warnings[0]),
            "返信元のメールに含まれていなかったドメインへ送ろうとしています: rival.example");

  // A forward goes anywhere without that warning.
  compose.Forward();
  Fill("boss@rival.example");
  EXPECT_TRUE(compose.Send());
  ASSERT_EQ(ui.send_checks.size(), 2u);
  EXPECT_TRUE(ui.send_checks[1].warnings.empty());
}

TEST_F(SendCheckCommandsTest, AnOlderStoreSendsWithoutTheCheckUntilItIsTurnedOn) {
  WriteUtf8Lines("plumex.ini", {"[Header]", "ON=0"});
  Start();
  compose.NewMail();
  Fill("taro@client.example");
  EXPECT_TRUE(compose.Send());
  EXPECT_TRUE(ui.send_checks.empty());
}

}  // namespace
}  // namespace plumex::test

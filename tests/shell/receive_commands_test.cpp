// "受信" through the application core against a scripted server: what the window reports when
// a run ends early, and a stop that ends only the run it was pressed in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "shell/app_core.h"
#include "tests/protocol/fake_server.h"
#include "tests/shell/shell_fixture.h"
#include "tests/support/test_mail.h"

namespace plumex {
namespace {

using test::FakeServer;
using test::FakeStep;

std::string Message(int n) { return test::NumberedMail(n, "s" + std::to_string(n)); }

// Greeting (after delay_ms), log-in, STAT and LIST for `count` messages.
std::vector<FakeStep> Login(int count, int delay_ms = 0) { return test::Pop3Login(count, 100, delay_ms); }

void Fetch(std::vector<FakeStep>& steps, int n) {
  const std::string m = Message(n);
  steps.push_back({"TOP " + std::to_string(n) + " 0", "+OK\r\n" + m.substr(0, m.find("\r\n\r\n") + 4) + ".\r\n"});
  steps.push_back({"RETR " + std::to_string(n), "+OK\r\n" + m + ".\r\n"});
}

class ReceiveCommandsTest : public ::testing::Test, public test::StoreFixture {
 protected:
  std::unique_ptr<AppCore> core;

  void Start(int port) {
    WriteUtf8Lines("Account.ini", {"acc\t127.0.0.1\tme\tpw\tsmtp\tme@x\t" + std::to_string(port) + "\t25\t0"});
    core = std::make_unique<AppCore>(ui, root());
    core->Start();
  }
};

// Message 2 cannot be written: the window's run keeps message 1, leaves message 2 on the
// server and says why it ended.
TEST_F(ReceiveCommandsTest, AFailedWriteEndsTheRunAndSaysSo) {
  std::vector<FakeStep> steps = Login(3);
  Fetch(steps, 1);
  steps.push_back({"DELE 1", "+OK\r\n"});
  Fetch(steps, 2);
  steps.push_back({"QUIT", "+OK\r\n", 0, true});
  FakeServer server(steps);
  WriteUtf8Lines("Account.ini", {"acc\t127.0.0.1\tme\tpw\tsmtp\tme@x\t" + std::to_string(server.port()) + "\t25\t-1"});
  std::filesystem::create_directories(At("受信/acc/0m2@x9.txt"));
  core = std::make_unique<AppCore>(ui, root());
  core->Start();
  ui.messages.clear();
  ReceiveResult result = core->Receiving().Receive();
  server.Join();
  EXPECT_TRUE(server.errors().empty()) << testing::PrintToString(server.errors());
  for (const auto& command : server.received()) EXPECT_NE(command, "DELE 2");
  EXPECT_EQ(result.new_count, 1);
  EXPECT_EQ(core->Shell().List().Count(), 1u);
  EXPECT_EQ(ui.status[1], "新着メールは1件です。");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Error);
  EXPECT_EQ(ui.messages[0].text.rfind("受信が途中で終わりました。新着メールは1件です。\r\nファイルに書き込めませんでした", 0), 0u)
      << ui.messages[0].text;
}

TEST_F(ReceiveCommandsTest, ARunCutShortSaysSoAndKeepsWhatItFiled) {
  std::vector<FakeStep> steps = Login(3);
  Fetch(steps, 1);
  Fetch(steps, 2);
  steps.push_back({"TOP 3 0", "+OK\r\nMessage-ID: <m3@x>\r\n", 0, true});  // the line breaks off
  FakeServer server(steps);
  Start(server.port());
  ui.messages.clear();
  ReceiveResult result = core->Receiving().Receive();
  server.Join();
  EXPECT_EQ(result.new_count, 2);
  EXPECT_EQ(core->State().CurrentIndex.Size(), 2u);
  EXPECT_EQ(core->Shell().List().Count(), 2u);
  EXPECT_EQ(ui.status[1], "新着メールは2件です。");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Error);
  EXPECT_EQ(ui.messages[0].text.rfind("受信が途中で終わりました。新着メールは2件です。\r\n", 0), 0u) << ui.messages[0].text;
}

// Escape pressed while a slow server answers ends that run quietly; the next "受信" files the mail.
TEST_F(ReceiveCommandsTest, AStopEndsOnlyTheRunItWasPressedIn) {
  auto slow = std::make_unique<FakeServer>(std::vector<FakeStep>{{"", "+OK ready\r\n", 300}});
  Start(slow->port());
  ui.messages.clear();
  ui.on_pump = [this] { core->Receiving().StopReceiving(); };
  ReceiveResult stopped = core->Receiving().Receive();
  ui.on_pump = nullptr;
  slow.reset();
  EXPECT_TRUE(stopped.stopped);
  EXPECT_FALSE(stopped.error.has_value());
  EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;  // no "接続できませんでした。"

  std::vector<FakeStep> steps = Login(1, 50);
  Fetch(steps, 1);
  steps.push_back({"QUIT", "+OK bye\r\n", 0, true});
  FakeServer server(steps);
  ui.messages.clear();
  core->State().AccountList = {Utf8ToCp932("acc\t127.0.0.1\tme\tpw\tsmtp\tme@x\t" + std::to_string(server.port()) + "\t25\t0")};
  ReceiveResult again = core->Receiving().Receive();
  server.Join();
  EXPECT_TRUE(server.errors().empty()) << testing::PrintToString(server.errors());
  EXPECT_EQ(again.new_count, 1);
  EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
}


// Mail filed while a subfolder (or a send folder) is on screen puts the inbox on screen, and
// the receive tree is the one in use, its highlight on the inbox.
TEST_F(ReceiveCommandsTest, AReceiveShowsTheInboxInTheReceiveTree) {
  std::vector<FakeStep> steps = Login(1);
  Fetch(steps, 1);
  steps.push_back({"QUIT", "+OK\r\n", 0, true});
  FakeServer server(steps);
  WriteRaw("受信/acc/子/MsgID.ini", {});
  Start(server.port());
  FolderTree& tree = core->Shell().ReceiveTree();
  FolderNode* sub = tree.FindByPath(Utf8ToCp932("受信\\acc\\子\\"));
  ASSERT_NE(sub, nullptr);
  core->SelectReceiveNode(sub);
  ASSERT_NE(core->State().CurrentFolderPath, Utf8ToCp932("受信\\acc\\"));
  core->Shell().SelectSendNode(core->Shell().SendTree().Top(0));
  ASSERT_EQ(core->State().ActiveTree, Trees::Send);
  EXPECT_EQ(core->Receiving().Receive().new_count, 1);
  server.Join();
  EXPECT_EQ(core->State().ActiveTree, Trees::Receive);
  ASSERT_NE(tree.Selected(), nullptr);
  EXPECT_EQ(Cp932ToUtf8(tree.Selected()->Path()), Cp932ToUtf8(core->State().CurrentFolderPath));
  EXPECT_EQ(core->Shell().List().Count(), 1u);
}

}  // namespace
}  // namespace plumex

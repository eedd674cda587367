// plumex-cli receive reports what the window reports: the count filed, and a run that ended
// early fails with the reason.
#include <gtest/gtest.h>

#include <string>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "tests/protocol/fake_server.h"
#include "tests/app/run_cli.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_mail.h"

namespace plumex {
namespace {

using test::FakeServer;
using test::FakeStep;

std::string Message(int n) { return test::NumberedMail(n, "s"); }

// Message 2 cannot be written: it is not deleted on the server, message 1 stays filed, and the
// tool fails with the reason.
TEST(CliReceive, AFailedWriteEndsTheRunWithTheReasonAndKeepsWhatItFiled) {
  std::vector<FakeStep> steps = test::Pop3Login(2);
  for (int n = 1; n <= 2; ++n) {
    const std::string m = Message(n), k = std::to_string(n);
    steps.push_back({"TOP " + k + " 0", "+OK\r\n" + m.substr(0, m.find("\r\n\r\n") + 4) + ".\r\n"});
    steps.push_back({"RETR " + k, "+OK\r\n" + m + ".\r\n"});
    if (n == 1) steps.push_back({"DELE 1", "+OK\r\n"});
  }
  steps.push_back({"QUIT", "+OK\r\n", 0, true});
  FakeServer server(steps);
  test::TempDir root;
  WriteLines(root.path() / "Account.ini",
             {Utf8ToCp932("受信箱\t127.0.0.1\tme\tpw\tsmtp\tme@x\t" + std::to_string(server.port()) + "\t25\t-1")});
  std::filesystem::create_directories(root.path() / "受信" / "受信箱" / "0m2@x9.txt");
  Outcome outcome = RunCli(root.path(), "receive");
  server.Join();
  EXPECT_TRUE(server.errors().empty()) << testing::PrintToString(server.errors());
  for (const auto& command : server.received()) EXPECT_NE(command, "DELE 2");
  EXPECT_EQ(outcome.status, 1) << outcome.err;
  EXPECT_EQ(outcome.out, "新着メールは1件です。\n");
  EXPECT_NE(outcome.err.find("受信が途中で終わりました。新着メールは1件です。"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("ファイルに書き込めませんでした"), std::string::npos) << outcome.err;
}

TEST(CliReceive, AnUnknownAccountFails) {
  test::TempDir root;
  WriteLines(root.path() / "Account.ini", {"a\th\tu\tp\ts\tme@x\t110\t25\t0"});
  Outcome outcome = RunCli(root.path(), "receive --account nobody");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("アカウントが見つかりません: nobody"), std::string::npos) << outcome.err;
}

// The server took the message but "送信\Send.ini" is a folder: the tool says the message was
// sent and its copy not saved, and exits 0, so nobody sends it again.
TEST(CliSend, ASentMessageWhoseCopyCannotBeFiledExitsZeroWithAWarning) {
  FakeServer server({{"", "220 hi\r\n"},
                     {"EHLO ", "250 hi\r\n"},
                     {"RSET", "250 ok\r\n"},
                     {"MAIL FROM:<me@x>", "250 ok\r\n"},
                     {"RCPT TO:<bob@x>", "250 ok\r\n"},
                     {"DATA", "354 go\r\n"},
                     {".", "250 queued\r\n"},
                     {"QUIT", "221 bye\r\n", 0, true}});
  test::TempDir root;
  WriteLines(root.path() / "Account.ini", {"a\th\tu\tp\t127.0.0.1\tme@x\t110\t" + std::to_string(server.port()) + "\t0"});
  std::filesystem::create_directories(root.path() / "送信" / "Send.ini");
  Outcome outcome = RunCli(root.path(), "send --account a --to bob@x --subject s < /dev/null");
  server.Join();
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.err.find("メールは送信しましたが、送信済みメールのコピーを保存できませんでした。"), std::string::npos)
      << outcome.err;
  EXPECT_NE(outcome.err.find("送信/Send.ini"), std::string::npos) << outcome.err;
}

}  // namespace
}  // namespace plumex

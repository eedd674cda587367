// plumex-cli receive reports what the window reports: the count filed, and a run that ended
// early fails with the reason.
#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"
#include "platform/text_file.h"
#include "tests/app/run_cli.h"
#include "tests/protocol/fake_server.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

using test::FakeServer;
using test::FakeStep;
using test::Outcome;
using test::RunCli;

TEST(CliReceive, ARunCutShortFailsWithTheReasonAndKeepsWhatItFiled) {
  const std::string m1 = "Message-ID: <m1@x>\r\nFrom: a@x\r\nSubject: s\r\nDate: Tue, 08 Sep 2009 12:34:51 +0900\r\n\r\nbody\r\n";
  FakeServer server({{"", "+OK ready\r\n"},
                     {"CAPA", "+OK\r\nUSER\r\nTOP\r\n.\r\n"},
                     {"USER me", "+OK\r\n"},
                     {"PASS pw", "+OK\r\n"},
                     {"STAT", "+OK 2 200\r\n"},
                     {"LIST", "+OK\r\n1 100\r\n2 100\r\n.\r\n"},
                     {"TOP 1 0", "+OK\r\n" + m1.substr(0, m1.find("\r\n\r\n") + 4) + ".\r\n"},
                     {"RETR 1", "+OK\r\n" + m1 + ".\r\n"},
                     {"TOP 2 0", "+OK\r\nMessage-ID: <m2", 0, true}});
  test::TempDir root;
  WriteLines(root.path() / "Account.ini",
             {Utf8ToCp932("受信箱\t127.0.0.1\tme\tpw\tsmtp\tme@x\t" + std::to_string(server.port()) + "\t25\t0")});
  Outcome outcome = RunCli(root.path(), "receive");
  server.Join();
  EXPECT_EQ(outcome.status, 1) << outcome.err;
  EXPECT_EQ(outcome.out, "新着メールは1件です。\n");
  EXPECT_NE(outcome.err.find("受信が途中で終わりました。新着メールは1件です。"), std::string::npos) << outcome.err;
}

TEST(CliReceive, AnUnknownAccountFails) {
  test::TempDir root;
  WriteLines(root.path() / "Account.ini", {"a\th\tu\tp\ts\tme@x\t110\t25\t0"});
  Outcome outcome = RunCli(root.path(), "receive --account nobody");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("no such account: nobody"), std::string::npos) << outcome.err;
}

}  // namespace
}  // namespace plumex

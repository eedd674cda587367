// plumex-cli server: the listing as TAB-separated UTF-8 lines, and acting on messages named by
// UIDL whatever their numbers are by now, failing with the UIDLs that are gone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "tests/app/run_cli.h"
#include "tests/protocol/fake_server.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

using test::FakeServer;

std::vector<test::FakeStep> Login() {
  return {{"", "+OK ready\r\n"}, {"CAPA", "+OK\r\nUSER\r\nTOP\r\nUIDL\r\n.\r\n"}, {"USER me", "+OK\r\n"}, {"PASS pw", "+OK\r\n"}};
}

void WriteAccount(const std::filesystem::path& root, int port) {
  WriteLines(root / "Account.ini",
             {Utf8ToCp932("受信箱\t127.0.0.1\tme\tpw\tsmtp\tme@x\t" + std::to_string(port) + "\t25\t0")});
}

TEST(CliServer, ListPrintsOneLinePerMessageWithTheCandidateMark) {
  auto steps = Login();
  steps.push_back({"STAT", "+OK 2 200\r\n"});
  steps.push_back({"UIDL", "+OK\r\n1 ua\r\n2 ub\r\n.\r\n"});
  steps.push_back({"LIST", "+OK\r\n1 120\r\n2 340\r\n.\r\n"});
  steps.push_back({"TOP 1 0", "+OK\r\nReceived: from x by mx.example\r\nFrom: a@x\r\nSubject: =?UTF-8?B?5Lya6K2w?=\r\n"
                              "Date: Tue, 08 Sep 2009 12:34:56 +0900\r\n\r\n.\r\n"});
  steps.push_back({"TOP 2 0", "+OK\r\nFrom: b@x\r\nSubject: hello\r\nDate: Tue, 08 Sep 2009 12:35:00 +0900\r\n\r\n.\r\n"});
  steps.push_back({"QUIT", "+OK\r\n"});
  FakeServer server(steps);
  test::TempDir root;
  WriteAccount(root.path(), server.port());
  WriteLines(root.path() / "NoDomain.ini", {"mx.example"});
  setenv("TZ", "Asia/Tokyo", 1);
  Outcome outcome = RunCli(root.path(), "server list");
  server.Join();
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out,
            "1\tua\t120\t2009/09/08_12:34:56\ta@x\t会議\t*\n"
            "2\tub\t340\t2009/09/08_12:35:00\tb@x\thello\t\n");
}

TEST(CliServer, DeleteActsByUidlAndNamesTheOnesGone) {
  auto steps = Login();
  // ub moved to number 1 since the listing; ugone is no longer there.
  steps.push_back({"UIDL", "+OK\r\n1 ub\r\n2 uc\r\n.\r\n"});
  steps.push_back({"DELE 1", "+OK\r\n"});
  steps.push_back({"QUIT", "+OK\r\n"});
  FakeServer server(steps);
  test::TempDir root;
  WriteAccount(root.path(), server.port());
  Outcome outcome = RunCli(root.path(), "server delete ub ugone");
  server.Join();
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "削除したメールは1件です。\n");
  EXPECT_NE(outcome.err.find("サーバにもうないメールです: ugone"), std::string::npos) << outcome.err;
  EXPECT_TRUE(server.errors().empty());
}

}  // namespace
}  // namespace plumex

// plumex-cli check: a count-only check that announces each message once across runs of the
// tool, reading the header of a message only the first time its UIDL is seen.
#include <gtest/gtest.h>

#include <string>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "tests/app/run_cli.h"
#include "tests/protocol/fake_server.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

using test::FakeServer;
using test::FakeStep;

std::vector<FakeStep> Session(int count, const std::vector<FakeStep>& listing) {
  std::vector<FakeStep> steps = {{"", "+OK ready\r\n"},
                                 {"CAPA", "+OK\r\nUSER\r\nTOP\r\nUIDL\r\n.\r\n"},
                                 {"USER me", "+OK\r\n"},
                                 {"PASS pw", "+OK\r\n"},
                                 {"STAT", "+OK " + std::to_string(count) + " 300\r\n"}};
  steps.insert(steps.end(), listing.begin(), listing.end());
  steps.push_back({"QUIT", "+OK\r\n", 0, true});
  return steps;
}

void WriteAccount(const test::TempDir& root, int port) {
  WriteLines(root.path() / "Account.ini",
             {Utf8ToCp932("受信箱\t127.0.0.1\tme\tpw\tsmtp\tme@x\t" + std::to_string(port) + "\t25\t0")});
}

TEST(CliCheck, EachMessageIsAnnouncedOnceAndAKnownUidlIsNeverReadAgain) {
  test::TempDir root;
  const std::string subject = "=?ISO-2022-JP?B?GyRCMnE1RBsoQg==?=";  // 会議
  {
    FakeServer server(Session(1, {{"UIDL", "+OK\r\n1 u1\r\n.\r\n"},
                                  {"LIST", "+OK\r\n1 120\r\n.\r\n"},
                                  {"TOP 1 0", "+OK\r\nMessage-ID: <m1@x>\r\nFrom: a@x\r\nSubject: " + subject +
                                                  "\r\n\r\n.\r\n"}}));
    WriteAccount(root, server.port());
    Outcome outcome = RunCli(root.path(), "check");
    server.Join();
    EXPECT_TRUE(server.errors().empty()) << testing::PrintToString(server.errors());
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "受信箱\t会議\ta@x\n新着メールは1件です。\n");
  }
  {
    // The same message again, nothing new: UIDL alone, no LIST and no TOP.
    FakeServer server(Session(1, {{"UIDL", "+OK\r\n1 u1\r\n.\r\n"}}));
    WriteAccount(root, server.port());
    Outcome outcome = RunCli(root.path(), "check --account 受信箱");
    server.Join();
    EXPECT_TRUE(server.errors().empty()) << testing::PrintToString(server.errors());
    EXPECT_EQ(outcome.out, "新着メールは0件です。\n");
  }
  // Nothing was filed or recorded as fetched (the start-up makes the inbox's files, empty).
  for (const char* file : {"AlreadMsgID.ini", "MsgID.ini"}) {
    std::vector<std::string> lines;
    ReadLines(root.path() / "受信" / "受信箱" / file, lines);
    EXPECT_TRUE(lines.empty()) << file;
  }
}

// A server that drops the line in UIDL, or in TOP, after log-in: the failure is told and the
// tool exits 1, never "0 new" as if the account had been checked. Nor does a run of every
// account succeed when none was reached.
TEST(CliCheck, AFailureAfterLogInOrAnUnreachableAccountFails) {
  struct Case {
    const char* name;
    std::vector<FakeStep> listing;
  };
  const Case cases[] = {
      {"UIDL", {{"UIDL", "+OK\r\n1 u1\r\n", 0, true}}},
      {"TOP", {{"UIDL", "+OK\r\n1 u1\r\n.\r\n"}, {"LIST", "+OK\r\n1 120\r\n.\r\n"}, {"TOP 1 0", "+OK\r\n", 0, true}}},
  };
  for (const Case& c : cases) {
    test::TempDir root;
    std::vector<FakeStep> steps = Session(1, c.listing);
    steps.pop_back();  // no QUIT: the line is gone
    FakeServer server(steps);
    WriteAccount(root, server.port());
    Outcome outcome = RunCli(root.path(), "check");
    server.Join();
    EXPECT_EQ(outcome.status, 1) << c.name;
    EXPECT_NE(outcome.err.find("受信箱: "), std::string::npos) << c.name << outcome.err;
  }
  test::TempDir root;
  WriteAccount(root, test::ClosedPort());
  Outcome outcome = RunCli(root.path(), "check");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("接続できませんでした。"), std::string::npos) << outcome.err;
}

TEST(CliCheck, AnAccountAskedForThatCannotBeReachedFails) {
  test::TempDir root;
  WriteAccount(root, test::ClosedPort());
  Outcome outcome = RunCli(root.path(), "check --account 受信箱");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("接続できませんでした。"), std::string::npos) << outcome.err;
  EXPECT_EQ(RunCli(root.path(), "check --account nobody").status, 1);
}

}  // namespace
}  // namespace plumex

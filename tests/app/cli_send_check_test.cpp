// plumex-cli send and the check before sending: outside recipients need --confirm-external
// while the check is on (a new store), and nothing is queued without it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "tests/app/run_cli.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

using ::testing::HasSubstr;

std::string QueuedSend(const test::TempDir& root, const std::string& to, const std::string& extra = "") {
  return "send --account 仕事 --to '" + to + "' --subject 見積 --delay 30 " + extra + " < '" +
         (root.path() / "body.txt").string() + "'";
}

TEST(CliSendCheck, OutsideRecipientsNeedConfirmExternalWhileTheCheckIsOn) {
  test::TempDir root;
  WriteLines(root.path() / "Account.ini",
             {Utf8ToCp932("仕事\t127.0.0.1\tu\tsecret\t127.0.0.1\tme@example.jp\t1\t1\t0\t>\t0\t0")});
  WriteLines(root.path() / "body.txt", {"本文"});

  const Outcome refused = RunCli(root.path(), QueuedSend(root, "taro@client.example, me@Mail.Example.JP"));
  EXPECT_EQ(refused.status, 1);
  EXPECT_THAT(refused.err, HasSubstr("社外のあて先があります（client.example）"));
  EXPECT_THAT(refused.err, HasSubstr("--confirm-external"));
  EXPECT_EQ(RunCli(root.path(), "queue list").out, "");  // nothing queued

  const Outcome internal = RunCli(root.path(), QueuedSend(root, "boss@sub.example.jp"));
  EXPECT_EQ(internal.status, 0) << internal.err;

  const Outcome confirmed = RunCli(root.path(), QueuedSend(root, "taro@client.example", "--confirm-external"));
  EXPECT_EQ(confirmed.status, 0) << confirmed.err;
}

TEST(CliSendCheck, AnOlderStoreWithoutTheCheckSendsAsBefore) {
  test::TempDir root;
  WriteLines(root.path() / "Account.ini",
             {Utf8ToCp932("仕事\t127.0.0.1\tu\tsecret\t127.0.0.1\tme@example.jp\t1\t1\t0\t>\t0\t0")});
  WriteLines(root.path() / "plumex.ini", {"[Header]", "ON=0"});
  WriteLines(root.path() / "body.txt", {"本文"});
  const Outcome sent = RunCli(root.path(), QueuedSend(root, "taro@client.example"));
  EXPECT_EQ(sent.status, 0) << sent.err;
}

}  // namespace
}  // namespace plumex

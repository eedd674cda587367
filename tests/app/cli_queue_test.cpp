// plumex-cli send --delay and queue list|run|cancel on the delayed-send queue.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "tests/app/run_cli.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST(CliQueue, DelayedSendIsQueuedListedAndCancelled) {
  test::TempDir root;
  WriteLines(root.path() / "Account.ini",
             {Utf8ToCp932("仕事\t127.0.0.1\tu\tsecret\t127.0.0.1\tme@example.jp\t1\t1\t0\t>\t0\t0")});
  WriteLines(root.path() / "body.txt", {"本文"});
  const std::string send =
      "send --account 仕事 --to to@example.jp --subject 見積 --delay 30 < '" + (root.path() / "body.txt").string() + "'";
  const Outcome first = RunCli(root.path(), send);
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_THAT(first.err, HasSubstr("30分後に送信します"));
  const std::string entry = first.out.substr(first.out.find('\t') + 1, first.out.find('\n') - first.out.find('\t') - 1);
  ASSERT_EQ(RunCli(root.path(), send).status, 0);

  const Outcome listed = RunCli(root.path(), "queue list");
  EXPECT_EQ(listed.status, 0);
  EXPECT_THAT(listed.out, StartsWith(first.out.substr(0, first.out.find('\n')) + "\t見積\tto@example.jp\n"));
  // Nothing is due for half an hour.
  const Outcome run = RunCli(root.path(), "queue run");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "送信したメールは 0件です。\n");

  EXPECT_EQ(RunCli(root.path(), "queue cancel " + entry).status, 0);
  EXPECT_EQ(RunCli(root.path(), "queue cancel nothing-here").status, 1);
  EXPECT_EQ(RunCli(root.path(), "queue cancel").status, 1);  // asked, not answered
  EXPECT_EQ(RunCli(root.path(), "queue cancel --yes").status, 0);
  EXPECT_EQ(RunCli(root.path(), "queue list").out, "");
}

}  // namespace
}  // namespace plumex

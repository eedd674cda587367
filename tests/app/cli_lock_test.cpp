// One writer per store across processes: while one plumex-cli receive files mail from a slow
// server, a second receive, a move and a delete on the same store wait and then give up with a
// message naming the store, and read-only commands answer at once. Afterwards every message is
// filed once, every index row names a file, and the fetched-id list holds each id once.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <future>
#include <set>
#include <thread>

#include "text/code_page.h"
#include "platform/store_lock.h"
#include "platform/text_file.h"
#include "tests/app/run_cli.h"
#include "tests/protocol/fake_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_mail.h"

namespace plumex {
namespace {

using test::FakeServer;
using test::FakeStep;

std::string Message(int n) { return test::NumberedMail(n, "s"); }

std::vector<std::string> Lines(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  ReadLines(file, lines);
  return lines;
}

TEST(CliLock, ASecondWriterGivesUpWhileTheFirstFilesAndNothingIsLostOrDoubled) {
  // The first message comes after a pause longer than a second writer waits.
  std::vector<FakeStep> steps = test::Pop3Login(2);
  for (int n = 1; n <= 2; ++n) {
    const std::string m = Message(n), k = std::to_string(n);
    const int pause = n == 1 ? static_cast<int>(kStoreLockWait.count()) + 3000 : 0;
    steps.push_back({"TOP " + k + " 0", "+OK\r\n" + m.substr(0, m.find("\r\n\r\n") + 4) + ".\r\n", pause});
    steps.push_back({"RETR " + k, "+OK\r\n" + m + ".\r\n"});
  }
  steps.push_back({"QUIT", "+OK\r\n", 0, true});
  FakeServer server(steps);
  test::TempDir first_root;
  const auto& root = first_root.path();
  WriteLines(root / "Account.ini",
             {Utf8ToCp932("A\t127.0.0.1\tme\tpw\tsmtp\tme@x\t" + std::to_string(server.port()) + "\t25\t0")});

  auto first = std::async(std::launch::async, [&] { return RunCli(root, "receive"); });
  // The first has the lock once its lock file is taken (it waits for the slow server then).
  for (int i = 0; i < 100 && StoreLock::Acquire(root, std::chrono::milliseconds(0)); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  auto second = std::async(std::launch::async, [&] { return RunCli(root, "receive"); });
  auto move = std::async(std::launch::async, [&] { return RunCli(root, "move --account A --to 'A\\x' '<m1@x>'"); });
  auto remove = std::async(std::launch::async, [&] { return RunCli(root, "delete --account A '<m1@x>'"); });
  const Outcome version = RunCli(root, "version");  // read-only: never waits
  EXPECT_EQ(version.status, 0) << version.err;
  for (auto* writer : {&second, &move, &remove}) {
    const Outcome outcome = writer->get();
    EXPECT_EQ(outcome.status, 1);
    EXPECT_THAT(outcome.err, ::testing::HasSubstr("メールストアは他のプログラムが使用中です: " + root.string()));
  }
  const Outcome done = first.get();
  server.Join();
  EXPECT_EQ(done.status, 0) << done.err;
  EXPECT_EQ(done.out, "新着メールは2件です。\n");

  const auto inbox = root / "受信" / "A";
  const auto rows = Lines(inbox / "MsgID.ini");
  EXPECT_EQ(rows.size(), 2u);
  for (const std::string& row : rows) {
    const std::string id = row.substr(0, row.find('\t'));
    const Outcome key = RunCli(root, "filekey '" + id + "'");
    std::string name = key.out.substr(0, key.out.find('\n'));
    EXPECT_TRUE(std::filesystem::exists(inbox / (name + ".txt"))) << id;
  }
  const auto ids = Lines(inbox / "AlreadMsgID.ini");
  EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), ids.size());
  EXPECT_THAT(ids, ::testing::UnorderedElementsAre("<m1@x>", "<m2@x>"));
}

}  // namespace
}  // namespace plumex

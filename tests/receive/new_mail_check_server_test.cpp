// The count-only new-mail check against the real Dovecot of the test servers, ticking on a
// clock of the test's own.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "text/code_page.h"
#include "text/sjis_text.h"
#include "receive/new_mail_check.h"
#include "store/generated_id.h"
#include "tests/protocol/fake_server.h"
#include "tests/protocol/servers_test.h"
#include "tests/receive/receive_fixture.h"

namespace plumex {
namespace {

namespace fs = std::filesystem;

std::string Mail(const std::string& id, const std::string& subject, int second) {
  return (id.empty() ? "" : "Message-ID: " + id + "\r\n") +
         "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <taro@example.jp>\r\nSubject: " + subject +
         "\r\nDate: Tue, 08 Sep 2009 12:34:" + std::to_string(10 + second) + " +0900\r\n\r\nbody\r\n";
}

// A message arriving in a mailbox the server already serves.
void Deliver(const test::TestServers& servers, const std::string& user, const std::string& message) {
  const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::ofstream(servers.Maildir(user) / "new" / (std::to_string(now) + ".Mlater.plumex-test"), std::ios::binary)
      << message;
}

std::vector<std::string> Ids(const std::vector<NewMailRow>& rows) {
  std::vector<std::string> ids;
  for (const auto& r : rows) ids.push_back(r.id);
  return ids;
}

ConnectionOptions Options(const fs::path& root) {
  ConnectionOptions options;
  options.mail_root = root;
  options.read_timeout_seconds = 10;
  options.connect_timeout_seconds = 5;
  return options;
}

// Listed once across ticks, whatever the clock says: a fetched message never, a message
// without Message-ID once (its id does not change with the time of the tick), and a message
// that arrives later alone at the tick after it came.
class NewMailCheckServer : public test::ServersTest {};

TEST_F(NewMailCheckServer, EachUnfetchedMessageIsListedOnceAcrossTicks) {
  servers->MakeMailbox("nmcheck", {Mail("<fetched@x>", "old", 1), Mail("<new@x>", "news", 2), Mail("", "no id", 3)});
  test::ReceiveFixture store(servers->AccountLine("受信箱", "nmcheck"));
  store.state.ReceivedIds.Add("<fetched@x>");
  store.state.ReceivedIds.Save(store.Dir() / "AlreadMsgID.ini");

  std::time_t now = 1'765'350'000;
  NewMailCheck check([&] { return now; });
  Pop3Client pop3(Options(store.Root()));
  test::FakeUi ui;

  const auto first = check.CheckAllAccounts(store.state, pop3, ui);
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0].id, "<new@x>");
  EXPECT_EQ(first[1].subject, "no id");
  EXPECT_EQ(Cp932ToUtf8(first[0].account), "受信箱");
  EXPECT_EQ(first[0].subject, "news");
  EXPECT_EQ(Cp932ToUtf8(first[0].sender), "山田 <taro@example.jp>");
  EXPECT_EQ(first[0].checked_at, FormatReceivedDate(ToLocal(now)));
  EXPECT_FALSE(first[0].size.empty());
  EXPECT_FALSE(pop3.IsConnected());

  now += 3600;
  EXPECT_TRUE(check.CheckAllAccounts(store.state, pop3, ui).empty());

  Deliver(*servers, "nmcheck", Mail("<later@x>", "later", 4));
  now += 3600;
  EXPECT_EQ(Ids(check.CheckAllAccounts(store.state, pop3, ui)), (std::vector<std::string>{"<later@x>"}));

  // "終了" forgets: a restarted check announces again what still waits unfetched.
  check.Forget();
  EXPECT_EQ(check.CheckAllAccounts(store.state, pop3, ui).size(), 3u);
}

// An account that cannot be reached is skipped and the next one polled; an account never
// received for (no folder, no "AlreadMsgID.ini") counts as having fetched nothing, and the
// check files nothing there.
TEST_F(NewMailCheckServer, AnUnreachableAccountIsSkippedAndAMissingFetchedListIsEmpty) {
  servers->MakeMailbox("nmfresh", {Mail("<f1@x>", "one", 1), Mail("<f2@x>", "two", 2)});
  test::TempDir root;
  MailboxState state;
  state.MailRoot = root.path();
  state.AccountList = {
      Utf8ToCp932("遠い\t127.0.0.1\tnobody\tsecret\t127.0.0.1\tfar@x\t") + std::to_string(test::ClosedPort()) + "\t25\t0",
      servers->AccountLine("新しい", "nmfresh")};
  NewMailCheck check;
  Pop3Client pop3(Options(root.path()));
  test::FakeUi ui;

  const auto rows = check.CheckAllAccounts(state, pop3, ui);
  EXPECT_EQ(Ids(rows), (std::vector<std::string>{"<f1@x>", "<f2@x>"}));
  ASSERT_EQ(check.Unreachable().size(), 1u);
  EXPECT_EQ(Cp932ToUtf8(check.Unreachable()[0].first), "遠い");
  EXPECT_TRUE(ui.messages.empty());
  // The check keeps only its own list of what it read; nothing is filed or recorded as fetched.
  const fs::path fresh = root.path() / "受信" / "新しい";
  EXPECT_TRUE(fs::exists(fresh / "NewCheckUidl.ini"));
  EXPECT_FALSE(fs::exists(fresh / "AlreadMsgID.ini"));
  EXPECT_FALSE(fs::exists(fresh / "MsgID.ini"));
  EXPECT_FALSE(fs::exists(root.path() / "受信" / "遠い"));
}

}  // namespace
}  // namespace plumex

// Server delete mode and selective receiving through the application core against the real
// Dovecot of the test servers: the listing, deleting rows, deletion candidates, the candidate
// server list, mail that changed on the server since the listing, and receiving chosen mail.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "text/sjis_text.h"
#include "protocol/pop3_client.h"
#include "settings/deletion_candidates.h"
#include "shell/app_core.h"
#include "store/tab_line.h"
#include "tests/protocol/fake_server.h"
#include "tests/protocol/servers_test.h"
#include "tests/shell/shell_fixture.h"

namespace plumex {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::string Mail(int n, const std::string& subject = "", const std::string& by = "mx.example") {
  const std::string k = std::to_string(n);
  return "Received: from client.example by " + by + " with SMTP; Tue, 08 Sep 2009 12:34:56 +0900\r\n"
         "Message-ID: <m" + k + "@x>\r\nFrom: a" + k + "@example.jp\r\nSubject: " +
         (subject.empty() ? "s" + k : subject) + "\r\nDate: Tue, 08 Sep 2009 12:34:5" + std::to_string(n % 10) +
         " +0900\r\n\r\nbody " + k + "\r\n";
}

std::vector<std::string> Mails(int count) {
  std::vector<std::string> mails;
  for (int n = 1; n <= count; ++n) mails.push_back(Mail(n));
  return mails;
}

class ServerDeleteServerTest : public test::ServersTest, public test::StoreFixture {
 protected:
  void SetUp() override {
    setenv("TZ", "Asia/Tokyo", 1);
    tzset();
    ServersTest::SetUp();
  }
  // The store's one account reads the mailbox of `user`, filled with `mails`.
  void Start(const std::string& user, const std::vector<std::string>& mails) {
    user_ = user;
    servers->MakeMailbox(user, mails);
    WriteRaw("Account.ini", {servers->AccountLine("acc", user)});
    core = std::make_unique<AppCore>(ui, root());
    core->Start();
    ASSERT_TRUE(core->UseAccount("acc"));
  }
  ServerDeleteCommands& Server() { return core->ServerDelete(); }
  std::vector<std::string> ListedIds() const {
    std::vector<std::string> ids;
    for (const auto& m : core->ServerDelete().Listed()) ids.push_back(m.message_id);
    return ids;
  }
  // The message files of the mailbox, as another client sees them.
  std::vector<fs::path> MaildirFiles() const { return servers->MailboxFiles(user_); }
  fs::path MaildirFileOf(const std::string& id) const {
    for (const auto& f : MaildirFiles()) {
      std::ifstream in(f, std::ios::binary);
      std::stringstream text;
      text << in.rdbuf();
      if (text.str().find("Message-ID: " + id) != std::string::npos) return f;
    }
    return {};
  }

  std::unique_ptr<AppCore> core;
  std::string user_;
};

TEST_F(ServerDeleteServerTest, ListsTheMailboxAndStaysConnected) {
  Start("sd_list", Mails(5));
  ASSERT_TRUE(Server().EnterDeleteMode()) << testing::PrintToString(ui.Texts());
  EXPECT_THAT(ListedIds(), ElementsAre("<m1@x>", "<m2@x>", "<m3@x>", "<m4@x>", "<m5@x>"));
  EXPECT_EQ(core->State().ViewMode, ViewModes::ServerDelete);
  EXPECT_TRUE(core->Shell().Pop3().IsConnected());
  EXPECT_EQ(ui.mode, "削除");
  EXPECT_EQ(ui.status[1], "削除モードで接続中。メールは5件です。");
  const MessageList& list = core->Shell().List();
  ASSERT_EQ(list.Count(), 5u);
  EXPECT_EQ(list.Column(2, kColSubject), "s3");
  EXPECT_EQ(list.Column(2, kColCorrespondent), "a3@example.jp");
  EXPECT_EQ(list.Column(2, kColDate), "2009/09/08_12:34:53");
  for (const auto& m : Server().Listed()) EXPECT_FALSE(m.uidl.empty());
  // Leaving the mode closes the connection and lists the folder again.
  Server().LeaveMode();
  EXPECT_EQ(core->State().ViewMode, ViewModes::Normal);
  EXPECT_FALSE(core->Shell().Pop3().IsConnected());
  EXPECT_EQ(ui.status[1], "");
}

TEST_F(ServerDeleteServerTest, DeletesTheChosenRowsAndListsAgain) {
  Start("sd_rows", Mails(5));
  ASSERT_TRUE(Server().EnterDeleteMode());
  core->Shell().List().SetSelection({0, 2});
  ui.answers = {MsgAnswer::No};  // asked first: "いいえ" deletes nothing
  Server().DeleteSelected();
  EXPECT_EQ(MaildirFiles().size(), 5u);
  Server().DeleteSelected();
  EXPECT_THAT(ListedIds(), ElementsAre("<m2@x>", "<m4@x>", "<m5@x>"));
  EXPECT_EQ(MaildirFiles().size(), 3u);
  const std::string question = Cp932ToUtf8(ServerDeleteQuestion(2));
  EXPECT_THAT(ui.Texts(), ElementsAre(question, question));
}

TEST_F(ServerDeleteServerTest, CandidatesByRejectRuleAndByServerListAreDeletedTogether) {
  WriteUtf8Lines("rule.ini", {"件名\t未承諾広告\t削除", "件名\ts3\t仕事"});
  WriteUtf8Lines("NoDomain.ini", {"zz.example", "SPAM.example"});
  Start("sd_candidates", {Mail(1), Mail(2, "=?ISO-2022-JP?B?GyRCTCQ+NUJ6OS05cBsoQg==?= sale"), Mail(3),
                          Mail(4, "", "spam.example"), Mail(5)});
  ASSERT_TRUE(Server().EnterDeleteMode());
  std::vector<bool> candidates;
  for (const auto& m : Server().Listed()) candidates.push_back(m.candidate);
  EXPECT_THAT(candidates, ElementsAre(false, true, false, true, false));
  EXPECT_EQ(core->Shell().List().Column(1, kColPriority), kCandidatePriority);
  Server().DeleteCandidates();
  EXPECT_THAT(ListedIds(), ElementsAre("<m1@x>", "<m3@x>", "<m5@x>"));
}

TEST_F(ServerDeleteServerTest, MarkingWritesTheServerListOnceAndUnmarkingTakesItOut) {
  WriteUtf8Lines("NoDomain.ini", {"zz.example"});
  Start("sd_mark", {Mail(1, "", "mx.example"), Mail(2, "", "mx.example"), Mail(3, "", "other.example")});
  ASSERT_TRUE(Server().EnterDeleteMode());
  core->Shell().List().SetSelection({0, 1});
  Server().MarkSelected(true);
  EXPECT_THAT(ReadUtf8Lines("NoDomain.ini"), ElementsAre("mx.example", "zz.example"));
  std::vector<bool> candidates;
  for (const auto& m : Server().Listed()) candidates.push_back(m.candidate);
  EXPECT_THAT(candidates, ElementsAre(true, true, false));
  EXPECT_EQ(core->State().ViewMode, ViewModes::ServerDelete);

  core->Shell().List().SetSelection({1});
  Server().MarkSelected(false);
  EXPECT_THAT(ReadUtf8Lines("NoDomain.ini"), ElementsAre("zz.example"));
  for (const auto& m : Server().Listed()) EXPECT_FALSE(m.candidate);
}

// Between the listing and "削除する" a message is delivered and another client takes message 1
// away: the two chosen messages go, and no other.
TEST_F(ServerDeleteServerTest, MailChangedSinceTheListingShiftsNothing) {
  Start("sd_shift", Mails(5));
  ASSERT_TRUE(Server().EnterDeleteMode());
  core->Shell().List().SetSelection({1, 3});  // m2 and m4
  core->Shell().DisconnectPop3();
  ASSERT_TRUE(fs::remove(MaildirFileOf("<m1@x>")));
  const fs::path maildir = servers->Maildir(user_);
  std::ofstream(maildir / "new" / "9999999999.M9.plumex-test", std::ios::binary) << Mail(6);
  Server().DeleteSelected();
  EXPECT_THAT(ui.Texts(), ElementsAre(Cp932ToUtf8(ServerDeleteQuestion(2))));
  EXPECT_THAT(ListedIds(), ElementsAre("<m3@x>", "<m5@x>", "<m6@x>"));
}

TEST_F(ServerDeleteServerTest, SelectiveReceiveFilesExactlyTheChosenMessages) {
  Start("sd_selective", Mails(7));
  ASSERT_TRUE(Server().EnterDeleteMode());
  core->Shell().List().SetSelection({1, 4});
  Server().ReceiveSelected();
  EXPECT_EQ(core->State().ViewMode, ViewModes::Normal);
  std::vector<std::string> ids;
  for (const auto& row : ReadUtf8Lines("受信/acc/MsgID.ini")) ids.push_back(FieldOf(row, 0));
  std::sort(ids.begin(), ids.end());
  EXPECT_THAT(ids, ElementsAre("<m2@x>", "<m5@x>"));
  EXPECT_EQ(ui.status[1], "新着メールは2件です。");
  EXPECT_EQ(MaildirFiles().size(), 7u);
}

// Another client took message 1 away after the listing: rows 2 and 5 still bring exactly
// the messages they showed.
TEST_F(ServerDeleteServerTest, SelectiveReceiveAfterTheMailboxChangedFetchesTheListedMessages) {
  Start("sd_selective_shift", Mails(7));
  ASSERT_TRUE(Server().EnterDeleteMode());
  core->Shell().List().SetSelection({1, 4});
  core->Shell().DisconnectPop3();
  ASSERT_TRUE(fs::remove(MaildirFileOf("<m1@x>")));
  Server().ReceiveSelected();
  std::vector<std::string> ids;
  for (const auto& row : ReadUtf8Lines("受信/acc/MsgID.ini")) ids.push_back(FieldOf(row, 0));
  std::sort(ids.begin(), ids.end());
  EXPECT_THAT(ids, ElementsAre("<m2@x>", "<m5@x>"));
}

// "メールの作成" on the server list leaves the mode as "メール削除モード解除" does.
TEST_F(ServerDeleteServerTest, WritingMailLeavesTheMode) {
  Start("sd_compose", Mails(2));
  ASSERT_TRUE(Server().EnterDeleteMode());
  core->Compose().NewMail();
  EXPECT_EQ(core->State().ViewMode, ViewModes::Normal);
  EXPECT_FALSE(core->Shell().Pop3().IsConnected());
  EXPECT_EQ(core->Shell().List().Count(), 0u);  // the inbox on screen, empty
  EXPECT_EQ(ui.mode, "通常");
  EXPECT_EQ(ui.status[1], "");
  EXPECT_EQ(ui.compose_shown, 1);
}

TEST_F(ServerDeleteServerTest, ReceivingAskedOutsideTheModeOrWithNothingChosenSaysSo) {
  Start("sd_selective_none", Mails(2));
  Server().ReceiveSelected();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "削除モードにしてから選択してください。");
  ASSERT_TRUE(Server().EnterDeleteMode());
  core->Shell().List().SetSelection({});
  Server().ReceiveSelected();
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text, "受信したいメールが指定されていません。");
}

// "メール番号で削除" shows the message the number names and asks first; each failure says what
// it is.
TEST_F(ServerDeleteServerTest, DeletingByNumberShowsTheMessageAndAsks) {
  Start("sd_number", Mails(3));
  ui.inputs = {"2", "2", "abc", "9"};
  ui.answers = {MsgAnswer::No, MsgAnswer::Yes};
  Server().DeleteByNumber();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "次のメールを削除しますか？\r\n\r\n件名:s2\r\n差出人:a2@example.jp");
  EXPECT_EQ(MaildirFiles().size(), 3u);
  EXPECT_FALSE(core->Shell().Pop3().IsConnected());

  Server().DeleteByNumber();
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_EQ(ui.messages[2].text, "削除完了!");
  EXPECT_EQ(MaildirFiles().size(), 2u);
  EXPECT_TRUE(MaildirFileOf("<m2@x>").empty());

  Server().DeleteByNumber();
  ASSERT_EQ(ui.messages.size(), 4u);
  EXPECT_EQ(ui.messages[3].text, "数値以外は指定できません。");
  EXPECT_FALSE(core->Shell().Pop3().IsConnected());

  // Only two messages are left: the server's refusal is shown as it is.
  Server().DeleteByNumber();
  ASSERT_EQ(ui.messages.size(), 5u);
  EXPECT_THAT(ui.messages[4].text, ::testing::HasSubstr("-ERR"));
  EXPECT_FALSE(core->Shell().Pop3().IsConnected());
  EXPECT_EQ(MaildirFiles().size(), 2u);
}

TEST_F(ServerDeleteServerTest, DeletingByNumberOnAnUnreachableServerSaysSo) {
  WriteUtf8Lines("Account.ini", {"acc\t127.0.0.1\tme\tsecret\t127.0.0.1\tme@x\t" +
                                 std::to_string(test::ClosedPort()) + "\t25\t0"});
  core = std::make_unique<AppCore>(ui, root());
  core->Start();
  ui.inputs = {"1"};
  Server().DeleteByNumber();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_THAT(ui.messages[0].text, ::testing::StartsWith("接続できませんでした。\r\n"));
}

// A delete chosen while the listing runs stops the listing and deletes nothing.
TEST(ServerDeleteWhileListing, ADeleteChosenDuringTheListingOnlyStopsIt) {
  std::string header = "From: a@x\r\nSubject: s\r\n\r\n";
  test::FakeServer server({{"", "+OK ready\r\n"},
                           {"CAPA", "+OK\r\nUSER\r\nTOP\r\nUIDL\r\nPIPELINING\r\n.\r\n"},
                           {"USER me", "+OK\r\n"},
                           {"PASS pw", "+OK\r\n"},
                           {"STAT", "+OK 3 300\r\n"},
                           {"UIDL", "+OK\r\n1 a\r\n2 b\r\n3 c\r\n.\r\n"},
                           {"LIST", "+OK\r\n1 100\r\n2 100\r\n3 100\r\n.\r\n"},
                           {"TOP 1 0", ""},
                           {"TOP 2 0", ""},
                           {"TOP 3 0", "+OK\r\n" + header + ".\r\n+OK\r\n" + header + ".\r\n+OK\r\n" + header + ".\r\n"},
                           {"QUIT", "+OK\r\n"}});
  test::StoreFixture store;
  store.WriteUtf8Lines("Account.ini", {"acc\t127.0.0.1\tme\tpw\tsmtp\tme@x\t" + std::to_string(server.port()) + "\t25\t0"});
  AppCore core(store.ui, store.root());
  core.Start();
  int chosen = 0;
  store.ui.on_pump = [&] {
    if (chosen++ == 0) core.ServerDelete().DeleteSelected();
  };
  EXPECT_FALSE(core.ServerDelete().EnterDeleteMode());
  store.ui.on_pump = nullptr;
  server.Join();
  EXPECT_EQ(core.State().ViewMode, ViewModes::Normal);
  EXPECT_FALSE(core.Shell().Pop3().IsConnected());
  EXPECT_TRUE(server.errors().empty()) << testing::PrintToString(server.errors());
  for (const auto& line : server.received()) EXPECT_NE(line.rfind("DELE", 0), 0u) << line;
}

}  // namespace
}  // namespace plumex

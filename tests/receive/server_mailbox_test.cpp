// Server delete mode below the window: the server of a message, deletion candidates, the
// candidate server list, and listing and deleting against a scripted server (the order of the
// DELE commands, messages that moved since the listing, a refused DELE).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "text/base64.h"
#include "text/code_page.h"
#include "text/sjis_text.h"
#include "protocol/parsed_message.h"
#include "protocol/pop3_client.h"
#include "receive/server_mailbox.h"
#include "settings/deletion_candidates.h"
#include "tests/protocol/fake_server.h"
#include "tests/support/fake_ui.h"

namespace plumex {
namespace {

using test::FakeServer;
using test::FakeStep;
using ::testing::ElementsAre;

TEST(ServerOfMessage, TheHostAfterTheWordBy) {
  const std::pair<const char*, const char*> cases[] = {
      {"from a.example by mx.example with SMTP", "mx.example"},
      // "by" inside a host name is no word.
      {"from ruby.example (ruby.example [192.0.2.1]) by mx.example with ESMTP", "mx.example"},
      {"from standby.example by relay.example; Tue, 8 Sep 2009", "relay.example"},
      {"by first.example with LMTP id x", "first.example"},
      {"from a.example\r\n\tby folded.example with SMTP", "folded.example"},
      // Without the word the whole value counts.
      {"from nearby.example with SMTP", "from nearby.example with SMTP"},
  };
  for (const auto& [received, server] : cases) EXPECT_EQ(ServerOfReceived(received), server) << received;

  ParsedMessage m;
  m.Parse("Received: from a by mx1.example with SMTP\r\nReceived: from b by mx2.example\r\nSubject: x\r\n\r\n");
  EXPECT_EQ(ServerOfMessage(m), "mx1.example");
  m.Parse("Subject: no received\r\n\r\n");
  EXPECT_EQ(ServerOfMessage(m), "");
}

TEST(DeletionCandidates, RejectRulesFirstThenServersIgnoringCaseAndOrder) {
  RuleList rules({Sjis("件名") + "\t" + Sjis("未承諾広告") + "\t" + Sjis("削除"),
                  Sjis("差出人") + "\tspam@\t" + Sjis("削除"),
                  // A rule that moves mail makes no candidate.
                  Sjis("件名") + "\t" + Sjis("会議") + "\t" + Sjis("仕事")});
  // Not sorted: an entry that sorts after the name must not hide one further on.
  const CandidateTest test(rules, {"zz.example", "MX.Spam.example", "aa.example"});
  EXPECT_TRUE(test.IsCandidate(Sjis("【未承諾広告】セール"), "a@x", "good.example"));
  EXPECT_TRUE(test.IsCandidate("hello", "spam@x", "good.example"));
  EXPECT_TRUE(test.IsCandidate("hello", "a@x", "mx.spam.example"));
  EXPECT_TRUE(test.IsCandidate("hello", "a@x", "aa.example"));
  EXPECT_FALSE(test.IsCandidate(Sjis("会議のお知らせ"), "a@x", "good.example"));
  EXPECT_FALSE(test.IsCandidate("hello", "a@x", ""));
  EXPECT_FALSE(test.IsCandidate("hello", "a@x", "spam.example"));
}

TEST(DeletionCandidates, MarkingAddsEachServerOnceAndUnmarkingIgnoresCase) {
  std::vector<std::string> list{"zz.example"};
  EXPECT_TRUE(AddCandidateServers(list, {"mx.example", "mx.example", "MX.EXAMPLE", ""}));
  EXPECT_THAT(list, ElementsAre("mx.example", "zz.example"));
  EXPECT_FALSE(AddCandidateServers(list, {"Zz.Example"}));
  EXPECT_TRUE(RemoveCandidateServers(list, {"MX.example"}));
  EXPECT_THAT(list, ElementsAre("zz.example"));
  EXPECT_FALSE(RemoveCandidateServers(list, {"other.example", ""}));
}

// A subject is decoded once; only one that still holds an encoded word is decoded again.
TEST(DescribeServerMessage, SubjectsAreDecodedOnceUnlessEncodedTwice) {
  const std::string once = "=?UTF-8?B?" + Base64Encode("髙橋です") + "?=";
  const std::pair<std::string, std::string> cases[] = {
      {once, "髙橋です"},
      {"=?UTF-8?B?" + Base64Encode(once) + "?=", "髙橋です"},  // encoded twice
      {"plain", "plain"},
  };
  for (const auto& [raw, shown] : cases) {
    ParsedMessage m;
    m.Parse("Message-ID: <a@x>\r\nFrom: a@x\r\nSubject: " + raw + "\r\n\r\n");
    EXPECT_EQ(Cp932ToUtf8(DescribeServerMessage(m, 1, CandidateTest(RuleList(), {})).subject), shown) << raw;
  }
}

// --- Against a scripted server ----------------------------------------------------------------

std::string Header(int n, const std::string& extra = "") {
  return "Message-ID: <m" + std::to_string(n) + "@x>\r\nFrom: a@x\r\nSubject: s" + std::to_string(n) +
         "\r\nDate: Tue, 08 Sep 2009 12:34:56 +0900\r\n" + extra + "\r\n";
}

std::vector<FakeStep> Login(const std::string& capabilities = "USER\r\nTOP\r\nUIDL\r\n") {
  return {{"", "+OK ready\r\n"}, {"CAPA", "+OK\r\n" + capabilities + ".\r\n"}, {"USER me", "+OK\r\n"}, {"PASS pw", "+OK\r\n"}};
}

struct Session {
  explicit Session(std::vector<FakeStep> steps) : server(std::move(steps)) {
    ConnectionOptions options;
    options.read_timeout_seconds = 5;
    options.connect_timeout_seconds = 5;
    pop3 = std::make_unique<Pop3Client>(options);
    pop3->host = "127.0.0.1";
    pop3->port = server.port();
    pop3->user_name = "me";
    pop3->password = "pw";
    pop3->Connect();
  }
  // The commands after the log-in.
  std::vector<std::string> Commands() {
    if (pop3->IsConnected()) pop3->Disconnect();
    server.Join();
    std::vector<std::string> r = server.received();
    return std::vector<std::string>(r.begin() + 3, r.end());  // CAPA, USER, PASS
  }
  FakeServer server;
  std::unique_ptr<Pop3Client> pop3;
};

ServerMessage Listed(int number, const std::string& uidl, long long size = 100) {
  ServerMessage m;
  m.number = number;
  m.uidl = uidl;
  m.size = size;
  m.message_id = "<m" + std::to_string(number) + "@x>";
  return m;
}

TEST(ServerMailboxFake, ListingUsesOneUidlOneListAndPipelinedHeaders) {
  setenv("TZ", "Asia/Tokyo", 1);
  tzset();
  std::vector<FakeStep> steps = Login("USER\r\nTOP\r\nUIDL\r\nPIPELINING\r\n");
  steps.push_back({"STAT", "+OK 3 300\r\n"});
  steps.push_back({"UIDL", "+OK\r\n1 u1\r\n2 u2\r\n3 u3\r\n.\r\n"});
  steps.push_back({"LIST", "+OK\r\n1 101\r\n2 102\r\n3 103\r\n.\r\n"});
  // The three TOP commands arrive before the first reply is sent.
  steps.push_back({"TOP 1 0", ""});
  steps.push_back({"TOP 2 0", ""});
  // Message 1 has its subject in raw ISO-2022-JP, named by the charset of its Content-Type.
  const std::string raw_subject = "Subject: \x1b$B2q5D\x1b(B\r\n";
  steps.push_back({"TOP 3 0", "+OK\r\nMessage-ID: <m1@x>\r\nFrom: a@x\r\n" + raw_subject +
                                  "Date: Tue, 08 Sep 2009 12:34:56 +0900\r\nReceived: from a by mx.example with SMTP\r\n"
                                  "Content-Type: text/plain; charset=\"ISO-2022-JP\"\r\n\r\n.\r\n+OK\r\n" +
                                  Header(2, "Content-Type: multipart/mixed; boundary=b\r\nX-Priority: 1\r\n") +
                                  ".\r\n+OK\r\n" + "Message-ID: <m3@x>\r\nFrom: \"c@x\" <c@x>\r\nSubject: =?ISO-2022-JP?B?GyRCJDMkcyRLJEEkTxsoQg==?=\r\n\r\n.\r\n"});
  steps.push_back({"QUIT", "+OK\r\n"});
  Session session(steps);
  test::FakeUi ui;
  bool stop = false;
  const ServerListing listing = ListServerMailbox(*session.pop3, CandidateTest(RuleList(), {"MX.example"}), ui, stop);
  EXPECT_THAT(session.Commands(), ElementsAre("STAT", "UIDL", "LIST", "TOP 1 0", "TOP 2 0", "TOP 3 0", "QUIT"));
  ASSERT_FALSE(listing.error) << Cp932ToUtf8(listing.error->text());
  EXPECT_EQ(listing.count, 3);
  ASSERT_EQ(listing.messages.size(), 3u);
  const ServerMessage& first = listing.messages[0];
  EXPECT_EQ(first.uidl, "u1");
  EXPECT_EQ(first.size, 101);
  EXPECT_EQ(first.server, "mx.example");
  EXPECT_TRUE(first.candidate);
  EXPECT_EQ(first.date, "2009/09/08_12:34:56");
  EXPECT_EQ(first.subject, Sjis("会議"));
  EXPECT_TRUE(listing.messages[1].attachment && listing.messages[1].high_priority && !listing.messages[1].candidate);
  EXPECT_EQ(listing.messages[2].sender, "c@x");
  EXPECT_EQ(listing.messages[2].subject, Sjis("こんにちは"));
  EXPECT_EQ(listing.messages[2].number, 3);
}

TEST(ServerMailboxFake, RowsAreDeletedFromTheLastUp) {
  std::vector<FakeStep> steps = Login();
  steps.push_back({"UIDL", "+OK\r\n1 u1\r\n2 u2\r\n3 u3\r\n4 u4\r\n5 u5\r\n.\r\n"});
  steps.push_back({"DELE 3", "+OK\r\n"});
  steps.push_back({"DELE 1", "+OK\r\n"});
  steps.push_back({"QUIT", "+OK\r\n"});
  Session session(steps);
  const DeleteOutcome outcome = DeleteListed(*session.pop3, {Listed(1, "u1"), Listed(3, "u3")});
  EXPECT_THAT(session.Commands(), ElementsAre("UIDL", "DELE 3", "DELE 1", "QUIT"));
  EXPECT_EQ(outcome.deleted, 2);
  EXPECT_TRUE(outcome.missing.empty());
}

// Another client took message 1 away since the listing: the chosen messages are found by
// their UIDL at their new numbers, and one that is gone is left out, never mistaken.
TEST(ServerMailboxFake, MovedMessagesAreFoundByUidlAndGoneOnesLeftAlone) {
  std::vector<FakeStep> steps = Login();
  steps.push_back({"UIDL", "+OK\r\n1 u2\r\n2 u3\r\n3 u4\r\n4 u5\r\n5 u6\r\n.\r\n"});
  steps.push_back({"DELE 4", "+OK\r\n"});
  steps.push_back({"DELE 2", "+OK\r\n"});
  steps.push_back({"QUIT", "+OK\r\n"});
  Session session(steps);
  const DeleteOutcome outcome = DeleteListed(*session.pop3, {Listed(1, "u1"), Listed(3, "u3"), Listed(5, "u5")});
  EXPECT_THAT(session.Commands(), ElementsAre("UIDL", "DELE 4", "DELE 2", "QUIT"));
  EXPECT_EQ(outcome.deleted, 2);
  ASSERT_EQ(outcome.missing.size(), 1u);
  EXPECT_EQ(outcome.missing[0].uidl, "u1");
}

// Without UIDL a message is acted on only where its number still holds the same Message-ID
// and size.
TEST(ServerMailboxFake, WithoutUidlTheMessageIdAndSizeMustMatch) {
  std::vector<FakeStep> steps = Login("USER\r\nTOP\r\n");
  steps.push_back({"STAT", "+OK 3 300\r\n"});
  steps.push_back({"LIST", "+OK\r\n1 100\r\n2 100\r\n3 100\r\n.\r\n"});
  steps.push_back({"TOP 1 0", "+OK\r\n" + Header(1) + ".\r\n"});
  steps.push_back({"TOP 2 0", "+OK\r\n" + Header(7) + ".\r\n"});  // another message now
  steps.push_back({"DELE 1", "+OK\r\n"});
  steps.push_back({"QUIT", "+OK\r\n"});
  Session session(steps);
  // Message 3 has another size now, message 4 is past the end.
  const DeleteOutcome outcome =
      DeleteListed(*session.pop3, {Listed(1, ""), Listed(2, ""), Listed(3, "", 999), Listed(4, "")});
  EXPECT_THAT(session.Commands(), ElementsAre("STAT", "LIST", "TOP 1 0", "TOP 2 0", "DELE 1", "QUIT"));
  EXPECT_EQ(outcome.deleted, 1);
  EXPECT_EQ(outcome.missing.size(), 3u);
}

TEST(ServerMailboxFake, ARefusedDeleStopsTheRestAndSaysHowManyWent) {
  std::vector<FakeStep> steps = Login();
  steps.push_back({"UIDL", "+OK\r\n1 u1\r\n2 u2\r\n3 u3\r\n.\r\n"});
  steps.push_back({"DELE 3", "+OK\r\n"});
  steps.push_back({"DELE 2", "-ERR message is locked\r\n"});
  steps.push_back({"QUIT", "+OK\r\n"});
  Session session(steps);
  const DeleteOutcome outcome = DeleteListed(*session.pop3, {Listed(1, "u1"), Listed(2, "u2"), Listed(3, "u3")});
  EXPECT_THAT(session.Commands(), ElementsAre("UIDL", "DELE 3", "DELE 2", "QUIT"));
  EXPECT_EQ(outcome.deleted, 1);
  ASSERT_TRUE(outcome.refused);
  EXPECT_EQ(outcome.refused->server_reply(), "-ERR message is locked");
}

}  // namespace
}  // namespace plumex

// Split messages: the join gives back what the sender sent, the piece parameters are read, and
// against a scripted server a set waits for its missing piece and is joined when it comes.
#include <gtest/gtest.h>

#include "platform/directories.h"
#include "protocol/parsed_message.h"
#include "receive/reassembly.h"
#include "store/tab_line.h"
#include "tests/protocol/fake_server.h"
#include "tests/receive/receive_fixture.h"
#include "tests/receive/split_message.h"

namespace plumex {
namespace {

using test::FakeServer;
using test::FakeStep;

TEST(Reassembly, JoinedPiecesAreTheOriginalByteForByte) {
  const std::string original = test::OriginalMessage("<orig@example.jp>", "big file", test::AttachmentBase64(3000));
  for (int count : {1, 2, 3, 12}) {
    std::vector<std::string> pieces = test::SplitMessage(original, count, "set@example.jp", "p");
    EXPECT_EQ(JoinPieces(pieces), original) << count << " pieces";
  }
}

TEST(Reassembly, PieceParameters) {
  struct Case {
    std::string content_type, subject;
    std::optional<PieceInfo> expected;
  };
  const Case cases[] = {
      {"message/partial; id=\"a@x\"; number=2; total=3", "s [2/3]", PieceInfo{"a@x", 2, 3}},
      {"Message/Partial; NUMBER=10;\r\n\tid=a@x", "s", PieceInfo{"a@x", 10, 0}},  // total only on the last piece
      {"message/partial", "report [ 2 / 12 ]", PieceInfo{"report", 2, 12}},        // parameters missing: the subject
      {"message/partial; id=\"a@x\"", "no tail", std::nullopt},
      {"text/plain", "s [1/2]", std::nullopt},
  };
  for (const auto& c : cases) {
    ParsedMessage m;
    m.Parse("Content-Type: " + c.content_type + "\r\nSubject: x\r\n\r\nbody\r\n");
    auto piece = PieceOf(m, c.subject);
    ASSERT_EQ(piece.has_value(), c.expected.has_value()) << c.content_type;
    if (!piece) continue;
    EXPECT_EQ(piece->set_id, c.expected->set_id) << c.content_type;
    EXPECT_EQ(piece->number, c.expected->number) << c.content_type;
    EXPECT_EQ(piece->total, c.expected->total) << c.content_type;
  }
}

std::string HeaderOf(const std::string& message) { return message.substr(0, message.find("\r\n\r\n") + 4); }

std::vector<FakeStep> Login(int count) { return test::Pop3Login(count, 1000); }

// A piece fetched and deleted after it is staged.
void FetchAndDelete(std::vector<FakeStep>& steps, int n, const std::string& piece) {
  const std::string k = std::to_string(n);
  steps.push_back({"TOP " + k + " 0", "+OK\r\n" + HeaderOf(piece) + ".\r\n"});
  steps.push_back({"RETR " + k, "+OK\r\n" + piece + ".\r\n"});
  steps.push_back({"DELE " + k, "+OK\r\n"});
}

// Pieces 1 and 3 come first: nothing is filed, they are deleted on the server once staged and
// not listed as mail; piece 2 comes at the next run and the message is filed whole.
TEST(Reassembly, ASetMissingItsMiddlePieceWaitsForIt) {
  const std::string original = test::OriginalMessage("<orig@example.jp>", "big file", test::AttachmentBase64(3000));
  const auto pieces = test::SplitMessage(original, 3, "set@example.jp", "p");
  const std::string account = "acc\t127.0.0.1\tme\tpw\tsmtp\tme@x\t";

  std::vector<FakeStep> first = Login(2);
  FetchAndDelete(first, 1, pieces[0]);
  FetchAndDelete(first, 2, pieces[2]);
  first.push_back({"QUIT", "+OK\r\n", 0, true});
  auto server = std::make_unique<FakeServer>(first);
  test::ReceiveFixture store(account + std::to_string(server->port()) + "\t25\t-1");
  test::FakeUi ui;
  ReceiveResult result = store.Run(ui);
  server->Join();
  EXPECT_TRUE(server->errors().empty()) << testing::PrintToString(server->errors());
  EXPECT_EQ(result.new_count, 0);
  EXPECT_TRUE(store.IndexFileRows().empty());
  EXPECT_TRUE(store.state.ReceivedIds.Contains("<p.1@example.jp>"));
  std::vector<std::string> ids;
  ReadLines(store.Dir() / "AlreadMsgID.ini", ids);
  EXPECT_EQ(ids.size(), 2u);  // recorded on disk: the pieces are never fetched again

  std::vector<FakeStep> second = Login(1);
  FetchAndDelete(second, 1, pieces[1]);
  second.push_back({"QUIT", "+OK\r\n", 0, true});
  server = std::make_unique<FakeServer>(second);
  store.state.AccountList = {account + std::to_string(server->port()) + "\t25\t-1"};
  result = store.Run(ui);
  server->Join();
  EXPECT_TRUE(server->errors().empty()) << testing::PrintToString(server->errors());
  EXPECT_EQ(result.new_count, 1);
  ASSERT_EQ(store.IndexFileRows().size(), 1u);
  EXPECT_EQ(FieldOf(store.IndexFileRows()[0], 0), "<orig@example.jp>");
  EXPECT_EQ(ListSubdirectories(StagingDir(store.Dir())).size(), 0u);  // the staged pieces are gone
}

}  // namespace
}  // namespace plumex

// The delayed-send queue with a clock the test moves: due times, unique entries, failures that
// hold nothing back, entries of the old two-digit form, cancelling.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "text/code_page.h"
#include "platform/directories.h"
#include "platform/text_file.h"
#include "send/key_value_lines.h"
#include "send/send_mail.h"
#include "send/send_queue.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

SendRequest Message(const std::string& subject) {
  SendRequest r;
  r.settings = {"Host:127.0.0.1", "Username:u", "Password:secret", "Port:25", "SmtpSSL:0"};
  r.headers = {"Message-ID:<" + subject + "@x>", "Subject:" + subject};
  r.body = {"body of " + subject};
  return r;
}

class SendQueueTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::time_t now = 1'700'000'000;
  SendQueue queue{dir.path(), [this] { return now; }};
  std::vector<std::string> sent;
  SendQueue::Sender record = [this](const SendRequest& r) { sent.push_back(ValueOf(r.headers, "Subject")); };
};

TEST_F(SendQueueTest, SentOnceItsTimeHasPassed) {
  const QueueEntry entry = queue.Enqueue(Message("five"), 5);
  EXPECT_EQ(entry.due, FormatDueTime(now + 300));
  EXPECT_TRUE(queue.Active());
  now += 299;
  EXPECT_EQ(queue.RunDue(record).sent, 0);
  now += 1;
  const QueueTickResult result = queue.RunDue(record);
  EXPECT_EQ(result.sent, 1);
  EXPECT_EQ(sent, std::vector<std::string>{"five"});
  // The last entry gone, the queue is no longer active and its folder is gone.
  EXPECT_FALSE(result.active);
  EXPECT_FALSE(DirectoryExists(queue.Dir() / entry.folder));
}

// A reply or forward waiting in the queue goes out in its thread.
TEST_F(SendQueueTest, AQueuedReplyKeepsItsThread) {
  for (bool forward : {false, true}) {
    SendRequest reply = Message(forward ? "fw" : "re");
    reply.reply_context_id = "<p@x>";
    reply.viewer_header_lines = {"References:<a@x>"};
    reply.reply_context_is_forward = forward;
    const Threading expected = ThreadingOfRequest(reply);
    ASSERT_EQ(expected.references, "<a@x> <p@x>");
    const std::optional<SendRequest> loaded = queue.Load(queue.Enqueue(reply, 5));
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(ThreadingOfRequest(*loaded), expected) << forward;
  }
  const std::optional<SendRequest> plain = queue.Load(queue.Enqueue(Message("new"), 5));
  ASSERT_TRUE(plain.has_value());
  EXPECT_EQ(ThreadingOfRequest(*plain), Threading{});
}

TEST_F(SendQueueTest, TwoInOneSecondKeepTheirOwnFilesAndGoInDueOrder) {
  const QueueEntry later = queue.Enqueue(Message("later"), 10);
  const QueueEntry first = queue.Enqueue(Message("first"), 5);
  EXPECT_NE(later.folder, first.folder);
  // The settings file holds the password: the owner's alone.
  struct stat st {};
  ASSERT_EQ(stat((queue.Dir() / first.folder / "SendSMTP.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(queue.Entries().front().folder, first.folder);
  now += 3600;
  EXPECT_EQ(queue.RunDue(record).sent, 2);
  EXPECT_EQ(sent, (std::vector<std::string>{"first", "later"}));
}

TEST_F(SendQueueTest, AFailingEntryStaysAndHoldsNothingBack) {
  queue.Enqueue(Message("bad"), 1);
  queue.Enqueue(Message("good"), 2);
  SendQueue::Sender refuse_bad = [this](const SendRequest& r) {
    if (ValueOf(r.headers, "Subject") == "bad") throw AppError(ErrorKind::Protocol, "550 no");
    record(r);
  };
  now += 600;
  QueueTickResult result = queue.RunDue(refuse_bad);
  EXPECT_EQ(result.sent, 1);
  ASSERT_EQ(result.failed.size(), 1u);
  EXPECT_TRUE(result.active);
  ASSERT_EQ(queue.Entries().size(), 1u);
  // Tried again at the next tick.
  result = queue.RunDue(record);
  EXPECT_EQ(result.sent, 1);
  EXPECT_EQ(sent, (std::vector<std::string>{"good", "bad"}));
  EXPECT_FALSE(queue.Active());
}

TEST_F(SendQueueTest, OldTwoDigitEntriesAreDueAtOnceAndMissingFilesAreDropped) {
  const QueueEntry kept = queue.Enqueue(Message("old"), 60);
  const QueueEntry gone = queue.Enqueue(Message("gone"), 60);
  RemoveRecursively(queue.Dir() / gone.folder);
  // An index as an earlier version wrote it: two digits and a full path.
  WriteLines(queue.Dir() / "AfterSend.ini", {"97\tC:\\Plumex\\AfterSend\\" + kept.folder + "\\", "05\tAfterSend\\" + gone.folder + "\\"});
  const QueueTickResult result = queue.RunDue(record);
  EXPECT_EQ(result.sent, 1);
  EXPECT_EQ(result.missing, 1);
  EXPECT_EQ(sent, std::vector<std::string>{"old"});
}

TEST_F(SendQueueTest, AMergeGoesWithTheSheetItWasQueuedWith) {
  SendRequest merge = Message("merge");
  merge.headers.push_back(Utf8ToCp932("差込ファイル:あり"));
  merge.merge_sheet = {"to,name", "a@x,A", "b@x,B"};
  queue.Enqueue(merge, 1);
  now += 60;
  std::vector<std::string> sheet;
  queue.RunDue([&](const SendRequest& r) { sheet = r.merge_sheet; });
  EXPECT_EQ(sheet, merge.merge_sheet);
}

TEST_F(SendQueueTest, CancelRemovesEveryEntryOrTheNamedOnes) {
  const QueueEntry a = queue.Enqueue(Message("a"), 5);
  queue.Enqueue(Message("b"), 5);
  EXPECT_EQ(queue.Cancel({a.folder, "nothing"}), std::vector<std::string>{"nothing"});
  EXPECT_EQ(queue.Entries().size(), 1u);
  queue.CancelAll();
  EXPECT_FALSE(queue.Active());
  EXPECT_TRUE(DirectoryExists(queue.Dir()));
  EXPECT_TRUE(ListSubdirectories(queue.Dir()).empty());
}

}  // namespace
}  // namespace plumex

// Receiving from the real Dovecot of the test servers, end to end, with Japanese mail.
#include <gtest/gtest.h>

#include <set>

#include <algorithm>
#include <cstdlib>

#include "text/base64.h"
#include "platform/directories.h"
#include "text/sjis_text.h"
#include "receive/reassembly.h"
#include "store/file_key.h"
#include "store/stored_message.h"
#include "store/tab_line.h"
#include "tests/protocol/servers_test.h"
#include "tests/receive/receive_fixture.h"
#include "tests/receive/split_message.h"

namespace plumex {
namespace {

namespace fs = std::filesystem;

std::string To(const char* charset, const std::string& utf8) {
  std::string out;
  EXPECT_TRUE(ConvertCharset("UTF-8", charset, utf8, out));
  return out;
}

std::string BWord(const char* charset, const std::string& utf8) {
  return std::string("=?") + charset + "?B?" + Base64Encode(To(charset, utf8)) + "?=";
}

std::string Head(const std::string& id, const std::string& subject, const std::string& extra = "") {
  return (id.empty() ? "" : "Message-ID: " + id + "\r\n") + "From: " + BWord("ISO-2022-JP", "山田 太郎") +
         " <taro@example.jp>\r\nTo: user@example.jp\r\nSubject: " + subject +
         "\r\nDate: Tue, 08 Sep 2009 12:34:56 +0900\r\nMIME-Version: 1.0\r\n" + extra;
}

std::vector<std::string> JapaneseMailbox() {
  const std::string pdf = std::string("%PDF-1.4\n\x00\x01\x02\xff binary", 20);
  return {
      // 1: ISO-2022-JP subject and body, Cc and Reply-To.
      Head("<iso@x>", BWord("ISO-2022-JP", "会議のお知らせ"),
           "Cc: a@x, " + BWord("ISO-2022-JP", "鈴木") + " <b@x>\r\nReply-To: " + BWord("ISO-2022-JP", "窓口") +
               " <desk@x>\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n\r\n") +
          To("ISO-2022-JP", "皆様\r\n来週の会議です。\r\n"),
      // 2: Shift_JIS body.
      Head("<sjis@x>", BWord("Shift_JIS", "見積書"), "Content-Type: text/plain; charset=Shift_JIS\r\n\r\n") +
          To("CP932", "お見積りを送ります。\r\n"),
      // 3: EUC-JP body, UTF-8 Q subject.
      Head("<euc@x>", "=?UTF-8?Q?=E6=97=A5=E5=A0=B1?=", "Content-Type: text/plain; charset=EUC-JP\r\n\r\n") +
          To("EUC-JP", "本日の日報です。\r\n"),
      // 4: UTF-8 body in base64 with a wave dash; high priority.
      Head("<utf8@x>", BWord("UTF-8", "Re: 〜の件"),
           "X-Priority: 1\r\nContent-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: base64\r\n\r\n") +
          Base64Encode("9時〜17時\r\n") + "\r\n",
      // 5: multipart/alternative.
      Head("<alt@x>", "alternative", "Content-Type: multipart/alternative; boundary=\"b1\"\r\n\r\n") +
          "--b1\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n\r\n" + To("ISO-2022-JP", "本文です\r\n") +
          "--b1\r\nContent-Type: text/html; charset=ISO-2022-JP\r\n\r\n<html><body>" +
          To("ISO-2022-JP", "本文です") + "</body></html>\r\n--b1--\r\n",
      // 6: attachments: an encoded name, an RFC 2231 name, a .csv written in ISO-2022-JP.
      Head("<att@x>", "attachments", "Content-Type: multipart/mixed; boundary=\"b2\"\r\n\r\n") +
          "--b2\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n\r\n" + To("ISO-2022-JP", "添付します\r\n") +
          "--b2\r\nContent-Type: application/pdf\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: "
          "attachment; filename=\"" + BWord("ISO-2022-JP", "資料") + ".pdf\"\r\n\r\n" + Base64Encode(pdf) +
          "\r\n--b2\r\nContent-Type: application/octet-stream\r\nContent-Transfer-Encoding: base64\r\n"
          "Content-Disposition: attachment; filename*=UTF-8''%E5%A0%B1%E5%91%8A.bin\r\n\r\n" +
          Base64Encode("report") + "\r\n--b2\r\nContent-Type: text/csv\r\nContent-Transfer-Encoding: base64\r\n"
          "Content-Disposition: attachment; filename=\"list.csv\"\r\n\r\n" +
          Base64Encode(To("ISO-2022-JP", "名前,住所\r\n山田,東京\r\n")) + "\r\n--b2--\r\n",
      // 7: no Message-ID; six empty lines that go, five that stay.
      Head("", "no id", "Content-Type: text/plain; charset=US-ASCII\r\n\r\n") +
          "one\r\n\r\n\r\n\r\n\r\n\r\n\r\ntwo\r\n\r\n\r\n\r\n\r\n\r\nthree\r\n",
  };
}

class ReceiveServerTest : public test::ServersTest {
 protected:
  void SetUp() override {
    setenv("TZ", "Asia/Tokyo", 1);
    tzset();
    ServersTest::SetUp();
  }
  std::string Account(const std::string& user, bool delete_after = false) {
    return servers->AccountLine("受信箱", user, {.rest = delete_after ? "-1" : "0"});
  }
  size_t MessagesOnServer(const std::string& user) { return servers->MailboxFiles(user).size(); }
  StoredMessage Read(const test::ReceiveFixture& store, const std::string& key) {
    auto m = ReadStoredMessage(store.Dir() / (key + ".txt"));
    EXPECT_TRUE(m) << key;
    return m.value_or(StoredMessage{});
  }
};

TEST_F(ReceiveServerTest, JapaneseMailIsFiledAsTheStoreKeepsIt) {
  servers->MakeMailbox("jp1", JapaneseMailbox());
  test::ReceiveFixture store(Account("jp1"));
  test::FakeUi ui;
  ReceiveResult result = store.Run(ui);
  ASSERT_TRUE(result.connected) << testing::PrintToString(ui.Texts());
  EXPECT_FALSE(result.error.has_value()) << (result.error ? Cp932ToUtf8(result.error->text()) : "");
  EXPECT_EQ(result.new_count, 7);
  EXPECT_EQ(ui.status[1], "新着メールは7件です。");

  // The whole file of message 1, byte for byte.
  auto file = ReadFileBytes(store.Dir() / "0iso@x9.txt");
  ASSERT_TRUE(file);
  const std::string from = Sjis("山田 太郎") + " <taro@example.jp>";
  auto rows = store.IndexFileRows();
  ASSERT_EQ(rows.size(), 7u);
  std::string row1;
  for (const auto& r : rows)
    if (FieldOf(r, 0) == "<iso@x>") row1 = r;
  const std::string size = FieldOf(row1, 4);
  EXPECT_GT(std::atoi(size.c_str()), 100);
  EXPECT_EQ(*file, Sjis("あて名:") + "user@example.jp\r\nReplyTo:" + Sjis("窓口") + " <desk@x>\r\nCCList:a@x;" +
                       "=?ISO-2022-JP?B?" + Base64Encode(To("ISO-2022-JP", "鈴木")) + "?= <b@x>;\r\n" +
                       "Message-ID:<iso@x>\r\nReferences:\r\n" + Sjis("差出人:") + from + "\r\n" + Sjis("件名:") +
                       Sjis("会議のお知らせ") + "\r\n" + Sjis("日時:") + "2009/09/08_12:34:56\r\n" +
                       Sjis("ﾌｧｲﾙｻｲｽﾞ:") + size + "\r\n" + Sjis("送信者確認:") +
                       "dmarc=none; dkim=none; spf=none; smime=none; from=taro@example.jp" +
                       "\r\n-------------------\r\n" + Sjis("皆様") + "\r\n" +
                       Sjis("来週の会議です。") + "\r\n\r\n");
  EXPECT_EQ(row1, "<iso@x>\t" + Sjis("会議のお知らせ") + "\t" + from + "\t2009/09/08_12:34:56\t" + size + "\t2\t1\t2");

  EXPECT_EQ(Read(store, "0sjis@x9").body_lines.front(), Sjis("お見積りを送ります。"));
  EXPECT_EQ(Read(store, "0euc@x9").body_lines.front(), Sjis("本日の日報です。"));
  EXPECT_EQ(Read(store, "0euc@x9").ValueOr(Sjis("件名:")), Sjis("日報"));
  StoredMessage utf8 = Read(store, "0utf8@x9");
  EXPECT_EQ(utf8.ValueOr(Sjis("件名:")), Sjis("Re: ～の件"));
  EXPECT_EQ(utf8.body_lines.front(), Sjis("9時～17時"));
  StoredMessage alt = Read(store, "0alt@x9");
  EXPECT_EQ(alt.body_lines, (std::vector<std::string>{Sjis("本文です"),
                                                      "<html><body>" + Sjis("本文です") + "</body></html>", ""}));

  const fs::path attachments = store.Dir() / "Attachment" / "0att@x9";
  EXPECT_EQ(ReadFileBytes(attachments / "資料.pdf").value_or("").substr(0, 8), "%PDF-1.4");
  EXPECT_EQ(ReadFileBytes(attachments / "報告.bin").value_or(""), "report");
  EXPECT_EQ(ReadFileBytes(attachments / "list.csv").value_or(""), Sjis("名前,住所\r\n山田,東京\r\n"));

  std::string no_id_key;
  for (const auto& r : rows)
    if (FieldOf(r, 0).find("@x>") == std::string::npos) no_id_key = MakeFileKey(FieldOf(r, 0));
  StoredMessage no_id = Read(store, no_id_key);
  EXPECT_EQ(no_id.body_lines, (std::vector<std::string>{"one", "two", "", "", "", "", "", "three", ""}));

  for (const auto& r : rows) {
    const bool high = FieldOf(r, 0) == "<utf8@x>";
    EXPECT_EQ(FieldOf(r, 7), high ? "1" : "2") << r;
    EXPECT_EQ(FieldOf(r, 5), FieldOf(r, 0) == "<att@x>" ? "1" : "2") << r;
  }

  // A second run files nothing and leaves the fetched list as it was.
  const auto ids_before = ReadFileBytes(store.Dir() / "AlreadMsgID.ini");
  EXPECT_EQ(SplitLines(*ids_before).size(), 7u);
  test::FakeUi again;
  EXPECT_EQ(store.Run(again).new_count, 0);
  EXPECT_EQ(again.status[1], "新着メールは0件です。");
  EXPECT_EQ(ReadFileBytes(store.Dir() / "AlreadMsgID.ini"), ids_before);
  EXPECT_EQ(MessagesOnServer("jp1"), 7u);
}

// Messages without Message-ID sent in one second: two that differ in their text, one that
// differs only in its attachment. Each is filed; a second run files none again.
TEST_F(ReceiveServerTest, MessagesWithoutIdInOneSecondAreEachFiledOnce) {
  auto with_attachment = [](const std::string& content) {
    return Head("", "report", "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n") +
           "--b\r\nContent-Type: text/plain\r\n\r\nsee attached\r\n--b\r\nContent-Type: "
           "application/octet-stream\r\nContent-Disposition: attachment; filename=\"r.bin\"\r\n\r\n" +
           content + "\r\n--b--\r\n";
  };
  servers->MakeMailbox("noid", {Head("", "alert", "\r\n") + "disk full on a\r\n",
                                Head("", "alert", "\r\n") + "disk full on b\r\n", with_attachment("one"),
                                with_attachment("two")});
  test::ReceiveFixture store(Account("noid"));
  test::FakeUi ui;
  EXPECT_EQ(store.Run(ui).new_count, 4) << testing::PrintToString(ui.Texts());
  std::set<std::string> ids;
  for (const auto& r : store.IndexFileRows()) ids.insert(FieldOf(r, 0));
  EXPECT_EQ(ids.size(), 4u);
  test::FakeUi again;
  EXPECT_EQ(store.Run(again).new_count, 0);
  EXPECT_EQ(store.IndexFileRows().size(), 4u);
}

TEST_F(ReceiveServerTest, RulesMoveAndRejectAndDeleteAfterReceive) {
  servers->MakeMailbox("jp2", JapaneseMailbox());
  test::ReceiveFixture store(Account("jp2", true));
  store.rules = RuleList({Sjis("件名") + "\t" + Sjis("見積") + "\t" + Sjis("受信箱") + "\\" + Sjis("見積"),
                          Sjis("件名") + "\tno id\t" + Sjis("削除")});
  test::FakeUi ui;
  ReceiveResult result = store.Run(ui);
  EXPECT_EQ(result.new_count, 6);  // the rejected one is not counted
  EXPECT_EQ(store.IndexFileRows().size(), 5u);
  const fs::path moved = store.Dir() / "見積";
  EXPECT_TRUE(FileExists(moved / "0sjis@x9.txt"));
  std::vector<std::string> moved_rows;
  ReadLines(moved / "MsgID.ini", moved_rows);
  ASSERT_EQ(moved_rows.size(), 1u);
  EXPECT_EQ(FieldOf(moved_rows[0], 0), "<sjis@x>");
  ASSERT_EQ(result.folder_new_counts.entries.size(), 1u);
  EXPECT_EQ(result.folder_new_counts.entries[0].second, 1);
  EXPECT_EQ(MessagesOnServer("jp2"), 0u);  // filed ones deleted after receiving, the rejected one by its rule
}

// Split messages in one mailbox: three pieces arriving 2, 3, 1; a set of one piece; a set of
// twelve; two sets with one subject whose pieces interleave. Each is filed once, whole; a
// second run files nothing and stages nothing again.
TEST_F(ReceiveServerTest, SplitMessagesAreJoinedOnceWhateverTheirOrder) {
  const std::string attachment = test::AttachmentBase64(5000);
  auto original = [&](const std::string& id, const std::string& subject) {
    return test::OriginalMessage(id, subject, attachment);
  };
  const auto a = test::SplitMessage(original("<a@example.jp>", "three"), 3, "a-set@example.jp", "a");
  const auto b = test::SplitMessage(original("<b@example.jp>", "one"), 1, "b-set@example.jp", "b");
  const auto c = test::SplitMessage(original("<c@example.jp>", "twelve"), 12, "c-set@example.jp", "c");
  const auto d = test::SplitMessage(original("<d@example.jp>", "same"), 2, "d-set@example.jp", "d");
  const auto e = test::SplitMessage(original("<e@example.jp>", "same"), 2, "e-set@example.jp", "e");
  std::vector<std::string> mailbox = {a[1], a[2], a[0], b[0]};
  mailbox.insert(mailbox.end(), c.begin(), c.end());
  mailbox.insert(mailbox.end(), {d[0], e[0], d[1], e[1]});
  servers->MakeMailbox("split1", mailbox);

  test::ReceiveFixture store(Account("split1"));
  test::FakeUi ui;
  ReceiveResult result = store.Run(ui);
  ASSERT_TRUE(result.connected) << testing::PrintToString(ui.Texts());
  EXPECT_FALSE(result.error.has_value());
  EXPECT_EQ(result.new_count, 5);
  EXPECT_EQ(ui.status[1], "新着メールは5件です。");
  std::vector<std::string> ids;
  for (const auto& row : store.IndexFileRows()) ids.push_back(FieldOf(row, 0));
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(ids, (std::vector<std::string>{"<a@example.jp>", "<b@example.jp>", "<c@example.jp>", "<d@example.jp>",
                                           "<e@example.jp>"}));
  const StoredMessage joined = Read(store, MakeFileKey("<a@example.jp>"));
  const std::string body = JoinLines(joined.body_lines);
  EXPECT_NE(body.find("first paragraph\r\n\r\nsecond paragraph"), std::string::npos) << body;
  EXPECT_EQ(ReadFileBytes(store.Dir() / "Attachment" / MakeFileKey("<a@example.jp>") / "data.bin"),
            Base64DecodeBytes(attachment));

  test::FakeUi again;
  EXPECT_EQ(store.Run(again).new_count, 0);
  EXPECT_EQ(store.IndexFileRows().size(), 5u);
  EXPECT_TRUE(ListSubdirectories(StagingDir(store.Dir())).empty());
}

}  // namespace
}  // namespace plumex

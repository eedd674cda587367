// Mail as real senders write it, received from the real Dovecot of the test servers: messages
// without any id, words and bodies in many charsets, unlabelled UTF-8, characters code page 932
// lacks, attachment names as mailers write them, headers the MIME layer cannot read, and two
// Content-Type headers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "codecs/cp932_check.h"
#include "text/base64.h"
#include "text/sjis_text.h"
#include "receive/original_text.h"
#include "store/file_key.h"
#include "store/stored_message.h"
#include "store/tab_line.h"
#include "tests/protocol/servers_test.h"
#include "tests/receive/receive_fixture.h"

namespace plumex {
namespace {

namespace fs = std::filesystem;

std::string To(const char* charset, const std::string& utf8) {
  std::string out;
  EXPECT_TRUE(ConvertCharset("UTF-8", charset, utf8, out));
  return out;
}

std::string BWord(const char* charset, const std::string& bytes) {
  return std::string("=?") + charset + "?B?" + Base64Encode(bytes) + "?=";
}

std::string Head(const std::string& id, const std::string& subject, const std::string& extra) {
  return "Message-ID: " + id + "\r\nFrom: a@example.com\r\nTo: user@example.jp\r\nSubject: " + subject +
         "\r\nDate: Tue, 08 Sep 2009 12:34:56 +0900\r\nMIME-Version: 1.0\r\n" + extra;
}

std::string Attachment(const std::string& headers, const std::string& content) {
  const bool typed = headers.rfind("Content-Type:", 0) == 0;
  return "--b\r\n" + std::string(typed ? "" : "Content-Type: application/octet-stream\r\n") +
         "Content-Transfer-Encoding: base64\r\n" + headers + "\r\n\r\n" + Base64Encode(content) + "\r\n";
}

class RealWorldMailTest : public test::ServersTest {
 protected:
  void SetUp() override {
    setenv("TZ", "Asia/Tokyo", 1);
    tzset();
    ServersTest::SetUp();
  }
  std::string Account(const std::string& user) { return servers->AccountLine("受信箱", user); }
  // Receives the mailbox; the filed messages by subject as the index shows it.
  std::map<std::string, StoredMessage> ReceiveAll(const std::string& user, const std::vector<std::string>& mails,
                                                  test::ReceiveFixture& store, int expected_count) {
    servers->MakeMailbox(user, mails);
    test::FakeUi ui;
    ReceiveResult result = store.Run(ui);
    EXPECT_TRUE(result.connected);
    EXPECT_FALSE(result.error.has_value()) << (result.error ? Cp932ToUtf8(result.error->text()) : "");
    EXPECT_EQ(result.new_count, expected_count);
    std::map<std::string, StoredMessage> filed;
    for (const std::string& row : store.IndexFileRows()) {
      auto m = ReadStoredMessage(store.Dir() / NativeName(MakeFileKey(FieldOf(row, 0)) + ".txt"));
      EXPECT_TRUE(m) << row << " " << testing::PrintToString(store.IndexFileRows());
      if (m) filed[FieldOf(row, 0)] = *m;
    }
    return filed;
  }
};

std::string Body(const StoredMessage& m) {
  std::string out;
  for (const auto& line : m.body_lines) out += line + "\n";
  return out;
}

TEST_F(RealWorldMailTest, MessagesWithoutIdOrDateAreEachFiledOnce) {
  std::vector<std::string> mails;
  for (int i = 0; i < 20; ++i)
    mails.push_back("From: mailer-daemon@example.com\r\nSubject: bounce " + std::to_string(i) + "\r\n\r\nbody\r\n");
  test::ReceiveFixture store(Account("noid"));
  auto filed = ReceiveAll("noid", mails, store, 20);
  EXPECT_EQ(filed.size(), 20u);
  test::FakeUi again;
  EXPECT_EQ(store.Run(again).new_count, 0);  // the same ids at the next run
}

TEST_F(RealWorldMailTest, CharsetsOfWordsAndBodies) {
  const std::string jis_to = To("ISO-2022-JP", "と");
  const std::vector<std::string> mails = {
      // Words of three charsets in one subject; a short EUC-JP body under an alias.
      Head("<mix@x>", BWord("UTF-8", "件名") + " " + BWord("ISO-2022-JP", jis_to) + " =?Shift_JIS?Q?=89=EF=8Bc?=",
           "Content-Type: text/plain; charset=x-euc-jp\r\n\r\n") + To("EUC-JP", "はい") + "\r\n",
      // Korean and Cyrillic: never read as Japanese.
      Head("<ko@x>", BWord("windows-1251", To("CP1251", "Привет")),
           "Content-Type: text/plain; charset=ks_c_5601-1987\r\n\r\n") + To("CP949", "한국 中國") + "\r\n",
      // Raw UTF-8 in the header and an unlabelled UTF-8 body.
      Head("<raw@x>", "Re: 会議の件", "Content-Type: text/plain\r\n\r\n") + "本日は晴天なり\r\n",
      // A body labelled ISO-2022-JP whose bytes are UTF-8; "_" in an ISO-2022-JP Q word.
      Head("<wrong@x>", "=?ISO-2022-JP?Q?[200611-01_=1B$BBg=1B(B]?=",
           "Content-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: 8bit\r\n\r\n") +
          "本文\r\n",
      // Pictographs, emoji, a NUL byte: nothing that is no code page 932 character is stored.
      Head("<pict@x>", BWord("UTF-8", "晴れ☀\xF0\x9F\x98\x80"),
           "Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\n") + "\x1B$Bu!$H\x1B(B a\r\n" + std::string("x\0y", 3) +
          "\r\n",
  };
  test::ReceiveFixture store(Account("charsets"));
  auto filed = ReceiveAll("charsets", mails, store, 5);
  EXPECT_EQ(filed["<mix@x>"].ValueOr(Sjis("件名:")), Sjis("件名と会議"));
  EXPECT_EQ(Body(filed["<mix@x>"]), Sjis("はい") + "\n\n");
  EXPECT_EQ(filed["<ko@x>"].ValueOr(Sjis("件名:")), Sjis("Привет"));
  EXPECT_EQ(Body(filed["<ko@x>"]), "?? " + Sjis("中國") + "\n\n");
  EXPECT_EQ(filed["<raw@x>"].ValueOr(Sjis("件名:")), Sjis("Re: 会議の件"));
  EXPECT_EQ(Body(filed["<raw@x>"]), Sjis("本日は晴天なり") + "\n\n");
  EXPECT_EQ(filed["<wrong@x>"].ValueOr(Sjis("件名:")), "[200611-01 " + Sjis("大") + "]");
  EXPECT_EQ(Body(filed["<wrong@x>"]), Sjis("本文") + "\n\n");
  EXPECT_EQ(filed["<pict@x>"].ValueOr(Sjis("件名:")), Sjis("晴れ??"));
  EXPECT_EQ(Body(filed["<pict@x>"]), "?" + Sjis("と") + " a\nx?y\n\n");
  // Every file of the run holds only code page 932 characters; the originals beside the message
  // files hold the bytes as received.
  size_t originals = 0;
  for (const auto& entry : fs::directory_iterator(store.Dir())) {
    if (!entry.is_regular_file()) continue;
    if (entry.path().extension() == ".eml") {
      ++originals;
      continue;
    }
    const std::string bytes = ReadFileBytes(entry.path()).value_or("");
    EXPECT_EQ(OnlyCp932Characters(bytes), bytes) << entry.path();
  }
  EXPECT_EQ(originals, filed.size());
  // Read back from the originals, they show as sent.
  const auto ko = ReadOriginalText(store.Dir() / "0ko@x9.eml", true);
  ASSERT_TRUE(ko);
  EXPECT_EQ(ko->body, "한국 中國\r\n\r\n");
  const auto pict = ReadOriginalText(store.Dir() / "0pict@x9.eml", false);
  ASSERT_TRUE(pict);
  EXPECT_EQ(pict->subject, "晴れ☀😀");
}

TEST_F(RealWorldMailTest, AttachmentNamesAsMailersWriteThem) {
  const std::string mail =
      Head("<names@x>", "names", "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n") +
      "--b\r\nContent-Type: text/plain; charset=US-ASCII\r\n\r\nsee attached\r\n" +
      // Exchange: an encoded word in quotes, then more parameters.
      Attachment("Content-Disposition: attachment; filename=\"" + BWord("ISO-2022-JP", To("ISO-2022-JP", "報告書")) +
                     ".pdf\"; size=300069;\r\n\tcreation-date=\"Tue, 08 Sep 2009 03:34:56 GMT\"",
                 "pdf") +
      // RFC 2231 in ISO-2022-JP, and in UTF-8 with continuations.
      Attachment("Content-Disposition: attachment;\r\n filename*=iso-2022-jp''%1B%24B%3BqNA%1B%28B.doc", "doc") +
      Attachment("Content-Disposition: attachment;\r\n filename*0*=UTF-8''%E8%A6%8B%E7%A9%8D;\r\n"
                 " filename*1*=%E6%9B%B8.xlsx",
                 "xlsx") +
      // Raw UTF-8 and raw Shift_JIS names.
      Attachment("Content-Disposition: attachment; filename=\"写真.jpg\"", "jpg") +
      Attachment("Content-Type: application/octet-stream; name=\"" + To("CP932", "一覧") + ".txt\"", "txt") +
      "--b--\r\n";
  test::ReceiveFixture store(Account("names"));
  ReceiveAll("names", {mail}, store, 1);
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(store.Dir() / "Attachment" / "0names@x9"))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"一覧.txt", "写真.jpg", "報告書.pdf", "見積書.xlsx", "資料.doc"}));
}

TEST_F(RealWorldMailTest, HeadersTheMimeLayerCannotReadStillGiveAMessage) {
  const std::string long_line = "X-Long: " + std::string(64 * 1024, 'a');
  const std::vector<std::string> mails = {
      // Bare CR line ends.
      "Message-ID: <cr@x>\rSubject: cr only\rDate: Tue, 08 Sep 2009 12:34:56 +0900\r\rline one\rline two\r",
      // No header at all.
      "just some text\r\nand more\r\n",
      // A header line of 64 KB.
      "Message-ID: <long@x>\r\n" + long_line + "\r\nSubject: long\r\n\r\nafter the long line\r\n",
      // Two Content-Type headers: the first one counts.
      Head("<two@x>", "two types",
           "Content-Type: text/plain; charset=windows-1251\r\nContent-Type: text/plain; charset=KOI8-R\r\n\r\n") +
          To("CP1251", "Привет") + "\r\n",
  };
  test::ReceiveFixture store(Account("broken"));
  auto filed = ReceiveAll("broken", mails, store, 4);
  ASSERT_EQ(filed.size(), 4u);
  EXPECT_EQ(filed["<cr@x>"].ValueOr(Sjis("件名:")), "cr only");
  EXPECT_EQ(Body(filed["<cr@x>"]).substr(0, 18), "line one\nline two\n");
  bool bare_text_found = false;
  for (const auto& [id, m] : filed) bare_text_found = bare_text_found || Body(m).find("just some text") != std::string::npos;
  EXPECT_TRUE(bare_text_found);
  EXPECT_EQ(filed["<long@x>"].ValueOr(Sjis("件名:")), "long");
  EXPECT_EQ(Body(filed["<long@x>"]), "after the long line\n\n");
  EXPECT_EQ(Body(filed["<two@x>"]), Sjis("Привет") + "\n\n");
}

}  // namespace
}  // namespace plumex

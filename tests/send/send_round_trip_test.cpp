// Sending through the real submission server and receiving the delivered message back through
// the real POP3 server: every character class goes out readable and comes back as it was typed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>

#include "text/code_page.h"
#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "send/message_id.h"
#include "send/send_mail.h"
#include "receive/original_text.h"
#include "store/file_key.h"
#include "store/stored_message.h"
#include "tests/send/send_servers_test.h"
#include "tests/receive/receive_fixture.h"
#include "tests/support/fake_ui.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

class SendRoundTripTest : public test::SendServersTest {
 protected:
  void SetUp() override {
    setenv("TZ", "Asia/Tokyo", 1);
    tzset();
    SendServersTest::SetUp();
  }

  // Sends one message (Shift_JIS texts) and returns what was delivered, raw.
  std::string Send(const std::string& id, const std::string& from_name, const std::string& subject,
                   const std::vector<std::string>& body) {
    SendRequest r;
    r.settings = servers->SmtpSettings();
    r.headers = {"ReplyTo:me@example.jp", Sjis("差出人:") + from_name + " <me@example.jp>", "CCList:", "BccList:",
                 "Message-ID:" + id, "References:", Sjis("あて名:") + "to@example.jp", Sjis("件名:") + subject,
                 Sjis("日時:") + "2026/12/10_090000", "Priority:2"};
    r.body = body;
    SendMail(r, context, ui);
    const auto delivered = servers->WaitForDelivered(id.substr(1, id.size() - 2));
    EXPECT_FALSE(delivered.empty());
    return ReadFileBytes(delivered).value_or("");
  }

  static std::string UniqueId(const char* tag) {
    std::random_device rd;
    return std::string("<") + tag + std::to_string(rd()) + "@rt.example.jp>";
  }
};

TEST_F(SendRoundTripTest, EveryCharacterClassComesBackAsTyped) {
  struct Case {
    const char* tag;
    std::string name, subject, body;
    bool utf8;                    // goes out as UTF-8
    std::string subject_back;     // as filed after the round trip
  };
  const Case cases[] = {
      // Fits JIS X 0208: stays ISO-2022-JP; half-width katakana go out full width.
      {"jis", Sjis("山田"), Sjis("ｶﾞｲﾄﾞ ﾃｽﾄ 会議"), Sjis("ｶﾞｲﾄﾞです～"), false, Sjis("ガイド テスト 会議")},
      // IBM extension kanji and NEC characters: the whole message goes as UTF-8.
      {"ibm", Sjis("髙橋"), Sjis("山﨑様 ①Ⅱ㈱ ～"), Sjis("髙橋と山﨑") + "\r\n" + Sjis("①Ⅱ㈱ ｱｲｳ ～"), true,
       Sjis("山﨑様 ①Ⅱ㈱ ～")},
      // What code page 932 lacks, as typed: UTF-8; the message file holds a substitute for each
      // such character, the original beside it every character.
      {"emoji", Utf8ToCp932("한국"), Utf8ToCp932("会議😀のお知らせ"), Utf8ToCp932("안녕하세요 😀"), true,
       Utf8ToCp932("会議?のお知らせ")},
  };
  std::vector<std::string> delivered;
  for (const Case& c : cases) {
    const std::string raw = Send(UniqueId(c.tag), c.name, c.subject, SplitLines(c.body));
    // Nothing 8-bit on the wire: every text is encoded.
    for (char ch : raw) ASSERT_LT(static_cast<unsigned char>(ch), 0x80) << c.tag;
    EXPECT_NE(raw.find(c.utf8 ? "charset=UTF-8" : "charset=ISO-2022-JP"), std::string::npos) << c.tag;
    delivered.push_back(raw);
  }

  servers->MakeMailbox("roundtrip", delivered);
  test::ReceiveFixture store(servers->AccountLine("受信箱", "roundtrip"));
  test::FakeUi receive_ui;
  ASSERT_EQ(store.Run(receive_ui).new_count, 3);
  std::map<std::string, StoredMessage> filed;
  for (const std::string& row : store.IndexFileRows()) {
    const std::string id = row.substr(0, row.find('\t'));
    filed[id.substr(1, id.find_first_of("0123456789") - 1)] =
        ReadStoredMessage(store.Dir() / NativeName(MakeFileKey(id) + ".txt")).value_or(StoredMessage{});
  }
  EXPECT_EQ(filed["jis"].ValueOr(Sjis("件名:")), cases[0].subject_back);
  EXPECT_EQ(filed["jis"].body_lines.front(), Sjis("ガイドです～"));
  EXPECT_EQ(filed["ibm"].ValueOr(Sjis("件名:")), cases[1].subject_back);
  EXPECT_EQ(filed["ibm"].ValueOr(Sjis("差出人:")), Sjis("髙橋") + " <me@example.jp>");
  EXPECT_EQ(filed["ibm"].body_lines[0], Sjis("髙橋と山﨑"));
  EXPECT_EQ(filed["ibm"].body_lines[1], Sjis("①Ⅱ㈱ ｱｲｳ ～"));
  EXPECT_EQ(filed["emoji"].ValueOr(Sjis("件名:")), cases[2].subject_back);
  EXPECT_EQ(filed["emoji"].body_lines[0], Utf8ToCp932("????? ?"));
  for (const std::string& row : store.IndexFileRows()) {
    const std::string id = row.substr(0, row.find('\t'));
    if (id.rfind("<emoji", 0) != 0) continue;
    const auto sent = ReadOriginalText(store.Dir() / NativeName(MakeFileKey(id) + ".eml"), true);
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->subject, "会議😀のお知らせ");
    EXPECT_EQ(sent->from, "한국 <me@example.jp>");
    EXPECT_EQ(sent->body.substr(0, sent->body.find('\r')), "안녕하세요 😀");
  }
}

}  // namespace
}  // namespace plumex

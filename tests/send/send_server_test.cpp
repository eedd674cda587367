// SendMail through the real submission server of the test servers (STARTTLS, AUTH LOGIN,
// PIPELINING); what arrives is read back by Python's email package.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>

#include "text/code_page.h"
#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "protocol/protocol_error.h"
#include "send/message_id.h"
#include "send/send_mail.h"
#include "store/file_key.h"
#include "store/tab_line.h"
#include "tests/send/send_servers_test.h"
#include "tests/support/fake_ui.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

namespace fs = std::filesystem;

std::string Field(const std::vector<std::string>& parsed, const std::string& key) {
  for (const auto& line : parsed)
    if (line.rfind(key + ": ", 0) == 0) return line.substr(key.size() + 2);
  return "<missing>";
}

class SendServerTest : public test::SendServersTest {
 protected:
  // What the compose window hands over.
  SendRequest Compose(const std::string& id, const std::string& to_utf8, const std::string& subject_utf8) {
    SendRequest r;
    r.settings = servers->SmtpSettings();
    r.headers = {"ReplyTo:me@example.jp",
                 Sjis("差出人:") + "\"" + Sjis("山田") + "\" <me@example.jp>",
                 "CCList:",
                 "BccList:",
                 "Message-ID:" + id,
                 "References:me@example.jp",
                 Sjis("あて名:") + Utf8ToCp932(to_utf8),
                 Sjis("件名:") + Utf8ToCp932(subject_utf8),
                 Sjis("日時:") + "2026/12/10_090000",
                 "Priority:2"};
    r.body = {Sjis("本文の一行目"), "", Sjis("～以上～")};
    return r;
  }

  static std::string UniqueDomain() {
    std::random_device rd;
    return "@t" + std::to_string(rd()) + ".example.jp";
  }
};

TEST_F(SendServerTest, SingleMessageArrivesAsTypedAndIsFiled) {
  const std::string id = NewMessageId(ToLocal(NowSeconds()), UniqueDomain());
  SendRequest r = Compose(id, "to@example.jp", "会議の件");
  for (auto& h : r.headers) {
    if (h == "CCList:") h = "CCList:cc@example.jp";
    if (h == "BccList:") h = "BccList:hidden@example.jp";
    if (h == "Priority:2") h = "Priority:1";
  }
  r.headers.insert(r.headers.begin() + 2, "ReceiptRecipient:me@example.jp");
  r.headers.push_back(Sjis("添付ファイル:") + (root.path() / "資料.txt").string() + ";");
  WriteFileAtomic(root.path() / "資料.txt", "attached\r\n");
  r.attachments = {PathText(root.path() / "資料.txt"), "/no/such/file"};
  r.reply_context_id = "<original@x>";
  r.viewer_header_lines = {"Message-ID:<original@x>", "References:<first@x> <original@x>"};
  context.send_rules = {Sjis("件名") + "\t" + Sjis("会議") + "\t" + Sjis("会議")};

  SendResult result = SendMail(r, context, ui);
  EXPECT_EQ(result.message_id, id);
  EXPECT_EQ(result.sent_folder, Sjis("送信\\会議\\"));

  fs::path delivered = servers->WaitForDelivered(id.substr(1, id.size() - 2));
  ASSERT_FALSE(delivered.empty());
  auto parsed = test::ParseSentMail(delivered);
  EXPECT_EQ(Field(parsed, "subject"), "\"会議の件\"");
  EXPECT_EQ(Field(parsed, "from"), "\"山田 <me@example.jp>\"");
  EXPECT_EQ(Field(parsed, "to"), "\"to@example.jp\"");
  EXPECT_EQ(Field(parsed, "cc"), "\"cc@example.jp\"");
  EXPECT_EQ(Field(parsed, "has_bcc"), "false");
  EXPECT_EQ(Field(parsed, "x_mailer"), "\"PlumexVer5.0\"");
  EXPECT_EQ(Field(parsed, "x_priority"), "\"2\"");
  // ～ goes out as JIS 0x2141, which every reader shows as the wave dash.
  EXPECT_EQ(Field(parsed, "body"), "\"本文の一行目\\n\\n〜以上〜\\n\"");
  EXPECT_NE(Field(parsed, "attachments").find("\"name\": \"資料.txt\""), std::string::npos);
  const std::string raw = ReadFileBytes(delivered).value_or("");
  EXPECT_NE(raw.find("Disposition-Notification-To: me@example.jp"), std::string::npos);
  EXPECT_NE(raw.find("References: <first@x> <original@x>"), std::string::npos);

  // The copy: its file in "送信\", its row in the Send.ini the rule chose.
  auto copy = ReadFileBytes(ToNativePath(root.path(), Sjis("送信\\")) / NativeName(MakeFileKey(id) + ".txt"));
  ASSERT_TRUE(copy);
  EXPECT_EQ(SplitLines(*copy), [&] {
    auto lines = r.headers;
    lines.push_back("-------------------");
    lines.insert(lines.end(), r.body.begin(), r.body.end());
    return lines;
  }());
  std::vector<std::string> rows;
  ReadLines(ToNativePath(root.path(), Sjis("送信\\会議\\Send.ini")), rows);
  ASSERT_EQ(rows.size(), 1u);
  // Its size is what the message takes on disk: the stored copy and the attached file that
  // is there ("attached" CR LF, 10 bytes); the missing one adds nothing.
  const size_t size = copy->size() + 10;
  EXPECT_EQ(rows[0], id + "\t" + Sjis("会議の件") + "\tto@example.jp\t2026/12/10_090000\t" + std::to_string(size) +
                         "\t1\t2\t2");
}

TEST_F(SendServerTest, MergeLogsEachRowAndGoesOnAfterARefusal) {
  const std::string domain = UniqueDomain();
  SendRequest r = Compose(NewMessageId(ToLocal(NowSeconds()), domain), "%SS1%", "%SS2%様へ");
  r.headers.insert(r.headers.end() - 1, Sjis("差込ファイル:あり"));
  r.headers[1] = Sjis("差出人:") + "me" + domain;
  r.body = {"%SS2%" + Sjis("様"), Sjis("ご案内です。")};
  r.merge_sheet = {"mail,name", "one@example.jp," + Sjis("一郎"), "two@refused.example," + Sjis("二郎"),
                   "three@example.jp," + Sjis("三郎")};
  SendResult result = SendMail(r, context, ui);
  EXPECT_EQ(result.merge_ok, 2);
  EXPECT_EQ(result.merge_failed, 1);

  std::vector<std::string> log;
  ReadLines(ToNativePath(root.path(), Sjis("送信\\差込ログ.txt")), log);
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(FieldOf(log[0], 0), "one@example.jp");
  EXPECT_EQ(FieldOf(log[0], 2), "OK");
  EXPECT_EQ(log[1], "two@refused.example\tNO!!");
  EXPECT_EQ(FieldOf(log[2], 2), "OK");

  fs::path third = servers->WaitForDelivered(domain, 20);
  ASSERT_FALSE(third.empty());
  // The filed copy is listed under the id of the last row.
  std::vector<std::string> rows;
  ReadLines(ToNativePath(root.path(), Sjis("送信\\Send.ini")), rows);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_NE(FieldOf(rows[0], 0).find("3."), std::string::npos);
  EXPECT_EQ(FieldOf(rows[0], 2), "%SS1%");
}

// One recipient refused among others: the message goes to no one (no copy for the others
// that a second send would double), nothing is filed, and the refused address is named.
TEST_F(SendServerTest, RefusedRecipientSendsToNoOneAndIsNamed) {
  const std::string id = NewMessageId(ToLocal(NowSeconds()), UniqueDomain());
  SendRequest r = Compose(id, "to@example.jp, no@refused.example", "x");
  try {
    SendMail(r, context, ui);
    FAIL() << "reported as sent";
  } catch (const ProtocolError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::ServerRefusal);
    EXPECT_NE(e.text().find("no@refused.example: 550"), std::string::npos) << Cp932ToUtf8(e.text());
    EXPECT_EQ(e.text().find("to@example.jp"), std::string::npos) << Cp932ToUtf8(e.text());
  }
  EXPECT_FALSE(FileExists(ToNativePath(root.path(), Sjis("送信\Send.ini"))));
  EXPECT_TRUE(servers->WaitForDelivered(id.substr(1, id.size() - 2), 2).empty());
}

TEST_F(SendServerTest, SslWithoutStartTlsFailsInsteadOfSendingThePasswordInClear) {
  SendRequest r = Compose(NewMessageId(ToLocal(NowSeconds()), UniqueDomain()), "to@example.jp", "x");
  r.settings[3] = "Port:" + servers->Get("SMTP_PLAIN_PORT");
  try {
    SendMail(r, context, ui);
    FAIL() << "sent without TLS";
  } catch (const ProtocolError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Tls);
  }
  EXPECT_FALSE(FileExists(ToNativePath(root.path(), Sjis("送信\\Send.ini"))));  // nothing filed
}

}  // namespace
}  // namespace plumex

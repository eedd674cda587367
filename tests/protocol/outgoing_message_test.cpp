#include "protocol/outgoing_message.h"

#include <gtest/gtest.h>

#include <fstream>

#include "text/sjis_text.h"
#include "platform/text_file.h"
#include "protocol/mail_date.h"
#include "protocol/parsed_message.h"
#include "protocol/protocol_error.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

const char* const kWord = "=?ISO-2022-JP?B?GyRCJEgbKEI=?=";  // と

OutgoingMessage Simple() {
  OutgoingMessage m;
  m.SetHeader("Message-ID", "<20240305_102030@example.com>");
  m.AddRawHeaderLine("X-Mailer:PlumexVer5.0");
  m.from = std::string("\"") + kWord + "\"<a@example.com>";
  m.to = "b@example.com";
  m.subject = std::string("Re: ") + kWord;
  m.date = 1709601630;
  m.text = "\x1B$B$H\x1B(B\r\nline 2\n.dot\r\n";
  return m;
}

TEST(OutgoingMessageTest, SinglePartIsWrittenExactly) {
  EXPECT_EQ(Simple().Serialize(),
            "Message-ID: <20240305_102030@example.com>\r\n"
            "X-Mailer:PlumexVer5.0\r\n"
            "From: \"=?ISO-2022-JP?B?GyRCJEgbKEI=?=\"<a@example.com>\r\n"
            "To: b@example.com\r\n"
            "Subject: Re: =?ISO-2022-JP?B?GyRCJEgbKEI=?=\r\n"
            "Date: Tue, 5 Mar 2024 01:20:30 +0000\r\n"
            "MIME-Version: 1.0\r\n"
            "Content-Type: text/plain; charset=ISO-2022-JP\r\n"
            "Content-Transfer-Encoding: 7bit\r\n"
            "\r\n"
            "\x1B$B$H\x1B(B\r\nline 2\r\n.dot\r\n");
}

TEST(OutgoingMessageTest, OptionalHeadersAndEnvelope) {
  OutgoingMessage m = Simple();
  m.SetHeader("Message-ID", "<replaced@example.com>");
  m.to = "b@example.com, \"Sato, Jiro\" <c@example.com>";
  m.cc = std::string(kWord) + " <d@example.com>";
  m.bcc = "e@example.com";
  m.reply_to = "r@example.com";
  m.priority = OutgoingMessage::Priority::High;
  m.receipt_to = "r@example.com";
  m.references = "<ref@example.com>";
  const std::string text = m.Serialize();
  EXPECT_EQ(text.find("<20240305_102030@example.com>"), std::string::npos);
  for (const char* line : {"Message-ID: <replaced@example.com>\r\n", "Reply-To: r@example.com\r\n",
                           "Cc: =?ISO-2022-JP?B?GyRCJEgbKEI=?= <d@example.com>\r\n", "X-Priority: 2\r\n",
                           "Disposition-Notification-To: r@example.com\r\n", "References: <ref@example.com>\r\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;
  EXPECT_EQ(text.find("Bcc"), std::string::npos);
  EXPECT_EQ(text.find("e@example.com"), std::string::npos);
  EXPECT_EQ(m.EnvelopeSender(), "a@example.com");
  EXPECT_EQ(m.EnvelopeRecipients(),
            (std::vector<std::string>{"b@example.com", "c@example.com", "d@example.com", "e@example.com"}));

  m.Reset();
  EXPECT_TRUE(m.extra_header_lines().empty());
  EXPECT_TRUE(m.to.empty());
  EXPECT_EQ(m.priority, OutgoingMessage::Priority::Normal);
}

TEST(OutgoingMessageTest, LongHeadersFoldOnlyAtTheirOwnSpaces) {
  OutgoingMessage m = Simple();
  std::string subject;
  for (int i = 0; i < 6; ++i) subject += std::string(i ? " " : "") + kWord;
  m.subject = subject;
  const std::string long_word = std::string(100, 'x') + "@example.com";
  m.references = long_word;
  const std::string text = m.Serialize();
  ParsedMessage back;
  back.Parse(text);
  EXPECT_EQ(back.HeaderValue("Subject"), subject);
  EXPECT_EQ(back.HeaderValue("References"), long_word);  // nowhere to fold: left long
  for (const std::string& line : back.HeaderLines()) {
    if (line.find(kWord) != std::string::npos) {
      EXPECT_LE(line.size(), 78u) << line;
    }
  }
}

TEST(OutgoingMessageTest, AttachmentsGoInMultipartMixedAfterTheText) {
  test::TempDir dir;
  std::string binary;
  for (int i = 0; i < 1000; ++i) binary += static_cast<char>(i * 7);
  std::ofstream(dir.path() / "a.bin", std::ios::binary) << binary;
  std::ofstream(dir.path() / "b.txt", std::ios::binary) << "x";
  OutgoingMessage m = Simple();
  m.attachments.push_back({dir.path() / "a.bin", "a.bin"});
  m.attachments.push_back({dir.path() / "b.txt", std::string(kWord) + ".txt"});
  const std::string text = m.Serialize();

  ParsedMessage back;
  back.Parse(text);
  EXPECT_EQ(back.HeaderValue("MIME-Version"), "1.0");
  ASSERT_EQ(back.Parts().size(), 3u);
  EXPECT_TRUE(back.Parts()[0].IsText());
  EXPECT_EQ(back.Parts()[0].Charset(), "ISO-2022-JP");
  EXPECT_EQ(back.Parts()[0].Text(), "\x1B$B$H\x1B(B\r\nline 2\r\n.dot\r\n");
  EXPECT_EQ(back.Parts()[1].FileName(), "a.bin");
  EXPECT_EQ(back.Parts()[1].Text(), binary);
  EXPECT_EQ(back.Parts()[2].FileName(), Sjis("と") + ".txt");
  EXPECT_EQ(back.Parts()[2].Text(), "x");
  for (const std::string& line : SplitLines(text)) EXPECT_LE(line.size(), 998u);

  m.attachments.push_back({dir.path() / "gone.bin", "gone.bin"});
  EXPECT_THROW(m.Serialize(), ProtocolError);
}

TEST(OutgoingMessageTest, DateIsUtcWithUnpaddedDay) {
  EXPECT_EQ(FormatMailDate(0), "Thu, 1 Jan 1970 00:00:00 +0000");
  EXPECT_EQ(FormatMailDate(1709601630), "Tue, 5 Mar 2024 01:20:30 +0000");
  EXPECT_EQ(FormatMailDate(1735689599), "Tue, 31 Dec 2024 23:59:59 +0000");
}

}  // namespace
}  // namespace plumex

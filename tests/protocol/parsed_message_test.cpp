#include "protocol/parsed_message.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>

#include "text/sjis_text.h"
#include "platform/text_file.h"
#include "protocol/mail_date.h"
#include "protocol/protocol_error.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

// A message with the things a receive run relies on: folded and encoded headers,
// nested multiparts, a base64 text part, attachments named the RFC 2047 and RFC 2231 ways,
// and an attached message.
const char* const kMultipart =
    "Return-Path: <a@example.com>\r\n"
    "Received: from x by y; Tue, 05 Mar 2024 10:20:30 +0900\r\n"
    "From: =?ISO-2022-JP?B?GyRCJEgbKEI=?= <a@example.com>\r\n"
    "To: b@example.com\r\n"
    "Subject: =?ISO-2022-JP?B?GyRCJEgbKEI=?=\r\n"
    "\t=?ISO-2022-JP?B?GyRCJEgbKEI=?=\r\n"
    "Message-ID:\r\n <m1@example.com>\r\n"
    "References: <r1@example.com>\r\n <r2@example.com>\r\n"
    "Reply-To: \"Yamada, Taro\" <r@example.com>\r\n"
    "Cc: =?ISO-2022-JP?B?GyRCJEgbKEI=?= <c1@example.com>, c2@example.com (Comment Name),\r\n"
    "  <c3@example.com>\r\n"
    "Date: Tue, 05 Mar 2024 10:20:30 +0900\r\n"
    "MIME-Version: 1.0\r\n"
    "Content-Type: multipart/mixed; boundary=\"outer\"\r\n"
    "\r\n"
    "This is a multi-part message in MIME format.\r\n"
    "--outer\r\n"
    "Content-Type: multipart/alternative; boundary=\"inner\"\r\n"
    "\r\n"
    "--inner\r\n"
    "Content-Type: text/plain; charset=\"ISO-2022-JP\"\r\n"
    "Content-Transfer-Encoding: base64\r\n"
    "\r\n"
    "bGluZSAxDQpsaW5lIDINCg==\r\n"
    "--inner\r\n"
    "Content-Type: text/html; charset=utf-8\r\n"
    "Content-Transfer-Encoding: quoted-printable\r\n"
    "\r\n"
    "<p>caf=C3=A9</p>\r\n"
    "--inner--\r\n"
    "--outer\r\n"
    "Content-Type: application/octet-stream;\r\n"
    " name=\"=?ISO-2022-JP?B?GyRCJEgbKEI=?=.bin\"\r\n"
    "Content-Transfer-Encoding: base64\r\n"
    "Content-Disposition: attachment;\r\n"
    " filename=\"=?ISO-2022-JP?B?GyRCJEgbKEI=?=.bin\"\r\n"
    "\r\n"
    "AAEC/w==\r\n"
    "--outer\r\n"
    "Content-Type: text/csv\r\n"
    "Content-Disposition: attachment; filename*=UTF-8''%E3%81%82.csv\r\n"
    "\r\n"
    "a,b\r\n"
    "--outer\r\n"
    "Content-Type: message/rfc822\r\n"
    "\r\n"
    "Subject: inner\r\n"
    "\r\n"
    "inner body\r\n"
    "--outer--\r\n";

TEST(ParsedMessageTest, HeaderValuesStayRawWithFoldsJoined) {
  ParsedMessage m;
  m.Parse(kMultipart);
  ASSERT_GE(m.HeaderLines().size(), 6u);
  EXPECT_EQ(m.HeaderLines()[0], "Return-Path: <a@example.com>");
  EXPECT_EQ(m.HeaderLines()[5], "\t=?ISO-2022-JP?B?GyRCJEgbKEI=?=");  // folds are their own lines
  EXPECT_EQ(m.HeaderValue("subject"), "=?ISO-2022-JP?B?GyRCJEgbKEI=?=\t=?ISO-2022-JP?B?GyRCJEgbKEI=?=");
  EXPECT_EQ(m.HeaderValue("From"), "=?ISO-2022-JP?B?GyRCJEgbKEI=?= <a@example.com>");
  EXPECT_EQ(m.HeaderValue("Received"), "from x by y; Tue, 05 Mar 2024 10:20:30 +0900");
  EXPECT_EQ(m.HeaderValue("X-Missing"), "");
  EXPECT_TRUE(m.HasHeader("content-type"));
  EXPECT_EQ(m.MessageId(), "<m1@example.com>");
  EXPECT_EQ(m.References(), "<r1@example.com> <r2@example.com>");
  EXPECT_EQ(m.Date(), 1709601630);  // 2024-03-05 01:20:30 UTC
  EXPECT_EQ(m.Charset(), "");
}

TEST(ParsedMessageTest, AddressListsGiveDisplayTexts) {
  ParsedMessage m;
  m.Parse(kMultipart);
  const auto reply_to = m.ReplyTo();
  ASSERT_EQ(reply_to.size(), 1u);
  EXPECT_EQ(reply_to[0].name, "Yamada, Taro");
  EXPECT_EQ(reply_to[0].address, "r@example.com");
  EXPECT_EQ(reply_to[0].Text(), "\"Yamada, Taro\" <r@example.com>");
  const auto cc = m.Cc();
  ASSERT_EQ(cc.size(), 3u);
  EXPECT_EQ(cc[0].Text(), "=?ISO-2022-JP?B?GyRCJEgbKEI=?= <c1@example.com>");
  EXPECT_EQ(cc[1].Text(), "Comment Name <c2@example.com>");
  EXPECT_EQ(cc[2].Text(), "c3@example.com");
}

TEST(ParsedMessageTest, MultipartIsFlattenedInMessageOrder) {
  ParsedMessage m;
  m.Parse(kMultipart);
  EXPECT_EQ(m.BodyText(), "This is a multi-part message in MIME format.");
  ASSERT_EQ(m.Parts().size(), 5u);
  const auto& parts = m.Parts();

  EXPECT_TRUE(parts[0].IsText());
  EXPECT_EQ(parts[0].Charset(), "ISO-2022-JP");
  EXPECT_EQ(parts[0].Lines(), (std::vector<std::string>{"line 1", "line 2"}));
  EXPECT_EQ(parts[0].HeaderLines(),
            (std::vector<std::string>{"Content-Type: text/plain; charset=\"ISO-2022-JP\"",
                                      "Content-Transfer-Encoding: base64"}));

  EXPECT_TRUE(parts[1].IsText());
  EXPECT_EQ(parts[1].Charset(), "utf-8");
  EXPECT_EQ(parts[1].Text(), "<p>caf\xC3\xA9</p>");  // the line end before a boundary is the boundary's

  EXPECT_TRUE(parts[2].IsAttachment());
  EXPECT_EQ(parts[2].FileName(), Sjis("と") + ".bin");
  EXPECT_EQ(parts[2].HeaderLines()[1], " name=\"=?ISO-2022-JP?B?GyRCJEgbKEI=?=.bin\"");

  EXPECT_TRUE(parts[3].IsAttachment());  // text, but sent as an attachment
  EXPECT_EQ(parts[3].FileName(), Sjis("あ") + ".csv");

  EXPECT_TRUE(parts[4].IsAttachment());
  EXPECT_EQ(parts[4].FileName(), "");

  test::TempDir dir;
  parts[2].WriteDecodedContent(dir.path() / "a.bin");
  EXPECT_EQ(ReadFileBytes(dir.path() / "a.bin"), std::string("\x00\x01\x02\xFF", 4));
  parts[4].WriteDecodedContent(dir.path() / "m.eml");
  const auto inner = ReadFileBytes(dir.path() / "m.eml");
  ASSERT_TRUE(inner);
  EXPECT_NE(inner->find("inner body"), std::string::npos);
  EXPECT_THROW(parts[2].WriteDecodedContent(dir.path() / "missing" / "a.bin"), FileWriteError);
}

TEST(ParsedMessageTest, SinglePartBodyHasItsTransferEncodingRemoved) {
  struct Case {
    const char* encoding;
    const char* wire;
    const char* body;
  } cases[] = {
      {"base64", "GyRCJEgbKEINCmxpbmUgMg==\r\n", "\x1B$B$H\x1B(B\r\nline 2"},
      {"quoted-printable", "a=3Db soft=\r\nbreak\r\n", "a=b softbreak\r\n"},
      {"7bit", "..dot stays as given\r\n", "..dot stays as given\r\n"},
  };
  for (const Case& c : cases) {
    ParsedMessage m;
    m.Parse(std::string("Subject: x\r\nContent-Type: text/plain; charset=iso-2022-jp\r\n"
                        "Content-Transfer-Encoding: ") +
            c.encoding + "\r\n\r\n" + c.wire);
    EXPECT_EQ(m.BodyText(), c.body) << c.encoding;
    EXPECT_EQ(m.Charset(), "iso-2022-jp");
    EXPECT_FALSE(m.HasParts());
  }
}

TEST(ParsedMessageTest, LoneAttachmentBecomesAPart) {
  ParsedMessage m;
  m.Parse("Subject: scan\r\nContent-Type: application/pdf; name=\"scan.pdf\"\r\n"
          "Content-Transfer-Encoding: base64\r\n\r\nJVBERi0=\r\n");
  ASSERT_EQ(m.Parts().size(), 1u);
  EXPECT_TRUE(m.Parts()[0].IsAttachment());
  EXPECT_EQ(m.Parts()[0].FileName(), "scan.pdf");
  EXPECT_EQ(m.Parts()[0].Text(), "%PDF-");
}

TEST(ParsedMessageTest, PriorityFromAnyOfItsHeaders) {
  struct Case {
    const char* header;
    MessagePriority priority;
  } cases[] = {
      {"X-Priority: 1 (Highest)", MessagePriority::Highest},
      {"X-Priority: 2", MessagePriority::High},
      {"X-Priority: 3", MessagePriority::Normal},
      {"X-Priority: 4", MessagePriority::Low},
      {"X-Priority: 5 (Lowest)", MessagePriority::Lowest},
      {"Importance: High", MessagePriority::High},
      {"Importance: low", MessagePriority::Low},
      {"X-MSMail-Priority: High", MessagePriority::High},
      {"X-Priority: junk", MessagePriority::Normal},
      {"X-Other: 1", MessagePriority::Normal},
  };
  for (const Case& c : cases) {
    ParsedMessage m;
    m.Parse(std::string(c.header) + "\r\n\r\nbody\r\n");
    EXPECT_EQ(m.Priority(), c.priority) << c.header;
  }
}

TEST(ParsedMessageTest, DatesThatCannotBeReadGiveZero) {
  struct Case {
    const char* value;
    std::time_t seconds;
  } cases[] = {
      {"Tue, 5 Mar 2024 01:20:30 +0000", 1709601630},
      {"5 Mar 2024 10:20:30 +0900", 1709601630},
      {"Tue, 05 Mar 2024 01:20:30 GMT", 1709601630},
      {"", 0},
      {"yesterday at noon", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseMailDate(c.value), c.seconds) << c.value;
  ParsedMessage m;
  m.Parse("Subject: no date\r\n\r\n");
  EXPECT_EQ(m.Date(), 0);
  EXPECT_EQ(m.MessageId(), "");
}

// The digest that names a message without Message-ID: the same message whatever its line ends
// and trailing blank lines; any other byte (a base64 attachment included) makes another.
TEST(ParsedMessageTest, ContentDigestTellsMessagesWithoutIdApart) {
  auto digest = [](std::string_view text) {
    ParsedMessage m;
    m.Parse(text);
    return m.ContentDigest();
  };
  const std::string base = digest("Subject: a\r\nDate: x\r\n\r\nbody\r\n");
  EXPECT_EQ(base.size(), 32u);
  EXPECT_EQ(digest("Subject: a\nDate: x\n\nbody\n"), base);
  EXPECT_EQ(digest("Subject: a\r\nDate: x\r\n\r\nbody\r\n\r\n\r\n"), base);
  EXPECT_EQ(digest("Subject: a\r\nDate: x\r\n\r\nbody"), base);
  for (const char* other : {"Subject: a\r\nDate: x\r\n\r\nbodY\r\n", "Subject: a\r\nDate: y\r\n\r\nbody\r\n",
                            "Subject: a\r\nDate: x\r\n\r\nbo\r\ndy\r\n",
                            "Subject: a\r\nContent-Transfer-Encoding: base64\r\n\r\nYQ==\r\n"})
    EXPECT_NE(digest(other), base) << other;
  EXPECT_EQ(digest("Message-ID: <a@x>\r\n\r\nbody\r\n"), "");
  ParsedMessage header;
  header.ParseHeaderOnly("Subject: a\r\n\r\n");
  EXPECT_EQ(header.ContentDigest(), "");
}

TEST(ParsedMessageTest, ParsesFilesAndClears) {
  test::TempDir dir;
  const auto path = dir.path() / "m.eml";
  std::ofstream(path, std::ios::binary) << kMultipart;
  ParsedMessage m;
  m.ParseFile(path);
  EXPECT_EQ(m.MessageId(), "<m1@example.com>");
  EXPECT_EQ(m.Parts().size(), 5u);
  EXPECT_EQ(m.RawBytes(), kMultipart);
  const MessagePart kept = m.Parts()[2];  // outlives the message it came from
  m.Clear();
  EXPECT_EQ(kept.Text(), std::string("\x00\x01\x02\xFF", 4));
  EXPECT_TRUE(m.HeaderLines().empty());
  EXPECT_FALSE(m.HasParts());
  EXPECT_EQ(m.RawBytes(), "");
  EXPECT_THROW(m.ParseFile(dir.path() / "none.eml"), ProtocolError);
  // A folder or a pipe where the file should be is refused at once, never waited on.
  std::filesystem::create_directory(dir.path() / "folder.eml");
  EXPECT_THROW(m.ParseFile(dir.path() / "folder.eml"), ProtocolError);
  ASSERT_EQ(::mkfifo((dir.path() / "pipe.eml").c_str(), 0600), 0);
  EXPECT_THROW(m.ParseFile(dir.path() / "pipe.eml"), ProtocolError);
}

TEST(ParsedMessageTest, HeaderOnlyMessageFromTop) {
  ParsedMessage m;
  m.Parse("From: a@example.com\r\nContent-Type: message/partial; id=\"x\"; number=1; total=2\r\n\r\n");
  EXPECT_EQ(m.HeaderLines().size(), 2u);
  EXPECT_EQ(m.HeaderValue("Content-Type"), "message/partial; id=\"x\"; number=1; total=2");
  EXPECT_FALSE(m.HasParts());
  EXPECT_EQ(m.BodyText(), "");
}

}  // namespace
}  // namespace plumex

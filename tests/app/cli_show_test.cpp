// Messages whose characters code page 932 lacks: filed with a substitute, kept as received
// beside their message file, and shown by plumex-cli show as they were sent.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "tests/app/run_cli.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

namespace fs = std::filesystem;

std::string Message(const std::string& id, const std::string& subject, const std::string& type,
                    const std::string& body) {
  return "From: =?UTF-8?B?7ZWc6rWt?= <k@x>\r\nTo: me@x\r\nSubject: " + subject + "\r\nMessage-ID: <" + id +
         "@x>\r\nDate: Tue, 08 Sep 2009 12:34:56 +0900\r\nMIME-Version: 1.0\r\nContent-Type: " + type +
         "\r\nContent-Transfer-Encoding: 8bit\r\n\r\n" + body + "\r\n";
}

class CliShow : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteLines(root.path() / "Account.ini", {Utf8ToCp932("仕事\th\tu\tp\ts\tme@x\t110\t25\t0")});
  }
  // Files the message as "メールを開く" does (the same filing as a receive run).
  void Open(const std::string& name, const std::string& bytes) {
    const fs::path file = root.path() / (name + ".eml");
    WriteFileAtomic(file, bytes);
    Outcome opened = RunCli(root.path(), "open '" + file.string() + "' --account 仕事");
    ASSERT_EQ(opened.status, 0) << opened.err;
  }
  fs::path Inbox() const { return root.path() / "受信" / "仕事"; }
  test::TempDir root;
};

TEST_F(CliShow, ShowsEveryCharacterAsSentWhileTheMessageFileKeepsCodePage932) {
  struct Case {
    const char* id;
    std::string subject_raw, type, body;
    std::string subject, body_line;
  };
  const Case cases[] = {
      {"emoji", "=?UTF-8?B?5Lya6K2w8J+YgOOBruOBiuefpeOCieOBmyDtlZzqta0=?=", "text/plain; charset=UTF-8",
       "안녕하세요 😀", "会議😀のお知らせ 한국", "안녕하세요 😀"},
      {"gb", "=?GB2312?B?1eLKx7zyzOU=?=", "text/plain; charset=GB2312", "\xD5\xE2\xCA\xC7\xBC\xF2\xCC\xE5",
       "这是简体", "这是简体"},
      {"big5", "big5", "text/plain; charset=Big5", "\xA7\xDA\xAD\xCC\xBB\xA1", "big5", "我們說"},
      {"latin", "=?ISO-8859-1?Q?Cr=E8me?=", "text/plain; charset=ISO-8859-1", "Cr\xE8me br\xFBl\xE9\x65",
       "Crème", "Crème brûlée"},
      {"carrier", "=?Shift_JIS?B?+J+QsILq?=", "text/plain; charset=Shift_JIS", "\xF8\x9F\x82\xC5\x82\xB7",
       "☀晴れ", "☀です"},
      {"split", "=?UTF-8?Q?=F0=9F?= =?UTF-8?Q?=98=80?=", "text/plain; charset=UTF-8", "x", "😀", "x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const std::string bytes = Message(c.id, c.subject_raw, c.type, c.body);
    Open(c.id, bytes);
    Outcome shown = RunCli(root.path(), std::string("show '<") + c.id + "@x>'");
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out.substr(0, shown.out.find('\n')), "件名: " + c.subject);
    EXPECT_NE(shown.out.find("\n差出人: 한국 <k@x>\n"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("\n\n" + c.body_line + "\n"), std::string::npos) << shown.out;
    // The original is kept as received, private, and printed byte for byte.
    const fs::path original = Inbox() / ("0" + std::string(c.id) + "@x9.eml");
    EXPECT_EQ(ReadFileBytes(original).value_or(""), bytes);
    struct stat st {};
    ASSERT_EQ(::stat(original.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    Outcome source = RunCli(root.path(), std::string("show --source '<") + c.id + "@x>'");
    EXPECT_EQ(source.out, bytes);
  }
  // The message file holds code page 932 text, one "?" for each character it cannot hold.
  std::vector<std::string> lines;
  ReadLines(Inbox() / "0emoji@x9.txt", lines);
  std::vector<std::string> utf8;
  for (const auto& l : lines) utf8.push_back(Cp932ToUtf8(l));
  EXPECT_NE(std::find(utf8.begin(), utf8.end(), "件名:会議?のお知らせ ??"), utf8.end());
  EXPECT_NE(std::find(utf8.begin(), utf8.end(), "差出人:?? <k@x>"), utf8.end());
  // The listing shows the rows as sent; the original is never listed as a message.
  Outcome searched = RunCli(root.path(), "search 'x>'");
  EXPECT_NE(searched.out.find("会議😀のお知らせ 한국\t한국 <k@x>"), std::string::npos) << searched.out;
}

TEST_F(CliShow, AttachmentNamesAsSent) {
  const std::string bytes =
      "From: a@x\r\nSubject: files\r\nMessage-ID: <att@x>\r\nDate: Tue, 08 Sep 2009 12:34:56 +0900\r\n"
      "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n"
      "Content-Type: text/plain; charset=UTF-8\r\n\r\n本文\r\n--b\r\n"
      "Content-Type: application/pdf\r\nContent-Disposition: attachment; filename=\"=?UTF-8?B?5oql5ZGK8J+YgC5wZGY=?=\"\r\n"
      "Content-Transfer-Encoding: base64\r\n\r\nJVBERg==\r\n--b--\r\n";
  Open("att", bytes);
  Outcome shown = RunCli(root.path(), "show '<att@x>'");
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.out.find("\n添付: 报告😀.pdf\n\n本文\n"), std::string::npos) << shown.out;
}

TEST_F(CliShow, OriginalMovesAndGoesWithItsMessage) {
  Open("m", Message("m", "=?UTF-8?B?8J+YgA==?=", "text/plain; charset=UTF-8", "😀"));
  fs::create_directories(Inbox() / "sub");
  WriteFileAtomic(Inbox() / "sub" / "MsgID.ini", "");
  Outcome moved = RunCli(root.path(), "move --account 仕事 --to sub '<m@x>'");
  ASSERT_EQ(moved.status, 0) << moved.err;
  EXPECT_FALSE(fs::exists(Inbox() / "0m@x9.eml"));
  EXPECT_TRUE(fs::exists(Inbox() / "sub" / "0m@x9.eml"));
  Outcome shown = RunCli(root.path(), "show --folder 受信/仕事/sub '<m@x>'");
  EXPECT_EQ(shown.out.substr(0, shown.out.find('\n')), "件名: 😀") << shown.err;
  // Maintenance rebuilds no row from an original.
  Outcome maintained = RunCli(root.path(), "maintain");
  EXPECT_EQ(maintained.status, 0) << maintained.err;
  std::vector<std::string> rows;
  ReadLines(Inbox() / "sub" / "MsgID.ini", rows);
  EXPECT_EQ(rows.size(), 1u);
  Outcome deleted = RunCli(root.path(), "delete --account 仕事 --folder sub '<m@x>'");
  ASSERT_EQ(deleted.status, 0) << deleted.err;
  EXPECT_FALSE(fs::exists(Inbox() / "sub" / "0m@x9.eml"));
  EXPECT_FALSE(fs::exists(Inbox() / "sub" / "0m@x9.txt"));
}

TEST_F(CliShow, ExtractionFindsAnEmojiAsTyped) {
  Open("smile", Message("smile", "=?UTF-8?B?8J+YgCBwYXJ0eQ==?=", "text/plain; charset=UTF-8", "a"));
  Open("cake", Message("cake", "=?UTF-8?B?8J+NsCBwYXJ0eQ==?=", "text/plain; charset=UTF-8", "b"));
  Outcome found = RunCli(root.path(), "search 😀");
  ASSERT_EQ(found.status, 0) << found.err;
  EXPECT_NE(found.out.find("\t😀 party\t"), std::string::npos) << found.out;
  EXPECT_EQ(found.out.find("🍰"), std::string::npos) << found.out;
  EXPECT_NE(found.out.find("\n1件\n"), std::string::npos) << found.out;
  // Both share a subject once the emoji are set aside: related mail prints them as sent.
  Outcome related = RunCli(root.path(), "related");
  EXPECT_NE(related.out.find("😀 party\t"), std::string::npos) << related.out;
  EXPECT_NE(related.out.find("🍰 party\t"), std::string::npos) << related.out;
}

TEST_F(CliShow, MessageWithoutOriginalShowsAsStoredAndSourceSaysSo) {
  Open("old", Message("old", "plain", "text/plain; charset=UTF-8", "本文 😀"));
  fs::remove(Inbox() / "0old@x9.eml");  // a message filed before originals were kept
  Outcome shown = RunCli(root.path(), "show '<old@x>'");
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.out.find("\n\n本文 ?\n"), std::string::npos) << shown.out;
  Outcome source = RunCli(root.path(), "show --source '<old@x>'");
  EXPECT_EQ(source.status, 1);
  EXPECT_NE(source.err.find("原文"), std::string::npos);
  Outcome missing = RunCli(root.path(), "show '<none@x>'");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("<none@x>"), std::string::npos);
}

}  // namespace
}  // namespace plumex

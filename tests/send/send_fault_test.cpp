// The send engine against a scripted SMTP server: a field with a line break is refused before
// connecting; a message the server took is reported as sent even when its copy cannot be filed.
#include <gtest/gtest.h>

#include <algorithm>

#include "text/code_page.h"
#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "send/compose_lists.h"
#include "send/send_mail.h"
#include "platform/text_file.h"
#include "store/file_key.h"
#include "store/store_layout.h"
#include "store/tab_line.h"
#include "tests/protocol/fake_server.h"
#include "tests/support/fake_ui.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

using test::FakeServer;
using test::FakeStep;

SendRequest Request(int port, const ComposeFields& fields) {
  const AccountRecord account =
      AccountRecord::Parse("A\tpop\tuser\tpw\t127.0.0.1\tme@example.test\t110\t" + std::to_string(port) + "\t0");
  SendRequest request;
  request.settings = BuildSmtpSettingList(account);
  request.headers = BuildSendHeaderList(fields, account, LocalDateTime{2009, 9, 8, 12, 34, 56});
  request.body = {"body"};
  return request;
}

SendContext Context(const std::filesystem::path& root) {
  SendContext context;
  context.mail_root = root;
  context.connection.read_timeout_seconds = 5;
  EnsureDirectory(ToNativePath(root, SendFolderPath()));
  return context;
}

TEST(SendFaults, LineBreaksInAnyFieldAreRefusedBeforeConnecting) {
  struct Case {
    const char* what;
    ComposeFields fields;
    const char* field_named;
  };
  const std::string cc_with_command = "carol@example.test\r\nNOOP\r\n";
  const Case cases[] = {
      {"CR LF in Cc", {"bob@example.test", cc_with_command, "", "s"}, "CCList"},
      {"bare CR in To", {"bob@example.test\rx", "", "", "s"}, "あて名"},
      {"LF in Subject", {"bob@example.test", "", "", "s\nBcc: eve@example.test"}, "件名"},
      {"NUL in Bcc", {"bob@example.test", "", std::string("eve\0@example.test", 17), "s"}, "BccList"},
      {"LF in Reply-To", {"bob@example.test", "", "", "s", "r@x\nX: y"}, "ReplyTo"},
  };
  for (const Case& c : cases) {
    test::TempDir root;
    const int port = test::ClosedPort();  // a connect would fail with a connection error
    SendContext context = Context(root.path());
    test::FakeUi ui;
    const ComposeFields& fields = c.fields;
    try {
      SendMail(Request(port, fields), context, ui);
      ADD_FAILURE() << c.what << ": sent";
    } catch (const AppError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::BadInput) << c.what;
      const std::string text = Cp932ToUtf8(e.text());
      EXPECT_NE(text.find(std::string("「") + c.field_named + "」"), std::string::npos) << c.what << ": " << text;
      EXPECT_NE(text.find("改行"), std::string::npos) << text;
    }
    EXPECT_TRUE(ListFiles(ToNativePath(root.path(), SendFolderPath())).empty()) << c.what;
  }
}

// The server took the message; "送信\Send.ini" is a folder, so the copy cannot be filed. The
// send is no failure: the id comes back with the copy's error, and nothing is sent twice.
TEST(SendFaults, ASentMessageWhoseCopyCannotBeFiledIsReportedAsSent) {
  FakeServer server({{"", "220 hi\r\n"},
                     {"EHLO ", "250 hi\r\n"},
                     {"RSET", "250 ok\r\n"},
                     {"MAIL FROM:<me@example.test>", "250 ok\r\n"},
                     {"RCPT TO:<bob@example.test>", "250 ok\r\n"},
                     {"DATA", "354 go\r\n"},
                     {".", "250 queued\r\n"},
                     {"QUIT", "221 bye\r\n", 0, true}});
  test::TempDir root;
  SendContext context = Context(root.path());
  std::filesystem::create_directories(ToNativePath(root.path(), SendFolderPath()) / "Send.ini");
  test::FakeUi ui;
  ComposeFields fields{"bob@example.test", "", "", "s"};
  SendResult result = SendMail(Request(server.port(), fields), context, ui);
  server.Join();
  EXPECT_TRUE(server.errors().empty()) << testing::PrintToString(server.errors());
  EXPECT_FALSE(result.message_id.empty());
  ASSERT_TRUE(result.copy_error.has_value());
  const std::string text = Cp932ToUtf8(SentButNotFiledText(*result.copy_error));
  EXPECT_EQ(text.rfind("メールは送信しましたが、", 0), 0u) << text;
  EXPECT_NE(text.find("Send.ini"), std::string::npos) << text;
}


// A forwarded copy lists the forward address as its recipient, in its row and in its file, not
// the user the forwarded mail was addressed to.
TEST(SendFaults, AForwardedCopyNamesTheForwardAddress) {
  FakeServer server({{"", "220 hi\r\n"},
                     {"EHLO ", "250 hi\r\n"},
                     {"RSET", "250 ok\r\n"},
                     {"MAIL FROM:<me@example.test>", "250 ok\r\n"},
                     {"RCPT TO:<fw@example.test>", "250 ok\r\n"},
                     {"DATA", "354 go\r\n"},
                     {".", "250 queued\r\n"},
                     {"QUIT", "221 bye\r\n", 0, true}});
  test::TempDir root;
  SendContext context = Context(root.path());
  test::FakeUi ui;
  SendRequest request = Request(server.port(), ComposeFields{"me@example.test", "", "", "s"});
  request.settings.push_back(Sjis("差出人:") + "me@example.test");
  request.forward_mode = true;
  request.forward_address = "fw@example.test";
  SendResult result = SendMail(request, context, ui);
  server.Join();
  EXPECT_TRUE(server.errors().empty()) << testing::PrintToString(server.errors());
  std::vector<std::string> rows;
  ASSERT_TRUE(ReadLines(ToNativePath(root.path(), result.sent_folder) / "Send.ini", rows));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(FieldOf(rows[0], 2), "fw@example.test");
  std::vector<std::string> copy;
  ASSERT_TRUE(ReadLines(ToNativePath(root.path(), SendFolderPath()) / NativeName(MakeFileKey(result.message_id) + ".txt"), copy));
  EXPECT_NE(std::find(copy.begin(), copy.end(), Sjis("あて名:") + "fw@example.test"), copy.end());
  EXPECT_EQ(std::find(copy.begin(), copy.end(), Sjis("あて名:") + "me@example.test"), copy.end());
}

}  // namespace
}  // namespace plumex

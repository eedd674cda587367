// plumex-cli import-mailbox and open: the window's commands, with what was filed printed.
#include <gtest/gtest.h>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "tests/app/run_cli.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

class CliFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteLines(root.path() / "Account.ini", {Utf8ToCp932("仕事\th\tu\tp\ts\tme@x\t110\t25\t0")});
  }
  std::string Message(const std::string& id) {
    return "From: s@x\r\nSubject: " + id + "\r\nMessage-ID: <" + id + "@x>\r\nDate: Tue, 08 Sep 2009 12:34:56 +0900\r\n\r\nbody\r\n";
  }
  test::TempDir root;
};

TEST_F(CliFiles, ImportMailboxTwiceFilesOnce) {
  WriteFileAtomic(root.path() / "box.mbx", Message("a") + ".\r\n" + Message("b") + ".\r\n");
  Outcome first = RunCli(root.path(), "import-mailbox '" + (root.path() / "box.mbx").string() + "' --account 仕事");
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, "読み込み 2件、登録 2件\n");
  Outcome second = RunCli(root.path(), "import-mailbox '" + (root.path() / "box.mbx").string() + "'");
  EXPECT_EQ(second.out, "読み込み 2件、登録 0件、登録済みのため省略 2件\n");
  std::vector<std::string> rows;
  ReadLines(root.path() / "受信" / "仕事" / "becky" / "MsgID.ini", rows);
  EXPECT_EQ(rows.size(), 2u);
}

// Messages without Message-ID: two in one second that differ, and three undated ones. Each is
// filed once; a second import adds nothing and says why; opening two such files files both.
TEST_F(CliFiles, MessagesWithoutIdAreToldApartByTheirBytes) {
  auto dated = [](const std::string& body) {
    return "From: s@x\r\nSubject: alert\r\nDate: Tue, 08 Sep 2009 12:34:56 +0900\r\n\r\n" + body + "\r\n";
  };
  auto undated = [](const std::string& body) { return "From: s@x\r\nSubject: scan\r\n\r\n" + body + "\r\n"; };
  WriteFileAtomic(root.path() / "box.mbx", dated("a") + ".\r\n" + dated("b") + ".\r\n" + undated("1") + ".\r\n" +
                                               undated("2") + ".\r\n" + undated("3") + ".\r\n" + dated("a") + ".\r\n");
  const std::string box = "'" + (root.path() / "box.mbx").string() + "'";
  Outcome first = RunCli(root.path(), "import-mailbox " + box + " --account 仕事");
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, "読み込み 6件、登録 5件、登録済みのため省略 1件\n");
  Outcome second = RunCli(root.path(), "import-mailbox " + box);
  EXPECT_EQ(second.out, "読み込み 6件、登録 0件、登録済みのため省略 6件\n");
  std::vector<std::string> rows;
  ReadLines(root.path() / "受信" / "仕事" / "becky" / "MsgID.ini", rows);
  EXPECT_EQ(rows.size(), 5u);

  WriteFileAtomic(root.path() / "c.eml", dated("c"));
  std::string lf = dated("d");
  std::erase(lf, '\r');  // a file with bare line feeds: the same rule
  WriteFileAtomic(root.path() / "d.eml", lf);
  const std::string files = "'" + (root.path() / "c.eml").string() + "' '" + (root.path() / "d.eml").string() + "'";
  Outcome opened = RunCli(root.path(), "open " + files);
  EXPECT_EQ(opened.out, "登録 2件\n") << opened.err;
  Outcome again = RunCli(root.path(), "open " + files);
  EXPECT_EQ(again.out, "登録 0件\n") << again.err;
}

TEST_F(CliFiles, OpenFilesAndAFileThatCannotBeRead) {
  WriteFileAtomic(root.path() / "a.eml", Message("a"));
  WriteFileAtomic(root.path() / "b.eml", Message("b"));
  Outcome opened = RunCli(root.path(), "open '" + (root.path() / "a.eml").string() + "' '" + (root.path() / "b.eml").string() + "'");
  EXPECT_EQ(opened.status, 0) << opened.err;
  EXPECT_EQ(opened.out, "登録 2件\n");
  Outcome missing = RunCli(root.path(), "open '" + (root.path() / "none.eml").string() + "'");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("EMLファイルの読み込みに失敗しました。"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace plumex

#include "settings/account_list.h"

#include <gtest/gtest.h>

#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "store/tab_line.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

TEST(AccountRecord, ShortRecordsTakeDefaultsAndSaveAsTwelveFields) {
  struct Case {
    std::string line;
    std::string reply_mark;
    bool delete_after, pop_ssl, smtp_ssl;
  };
  const Case cases[] = {
      {"a\tpop\tu\tp\tsmtp\tme@x\t110\t25\t-1", ">", true, false, false},
      {"a\tpop\tu\tp\tsmtp\tme@x\t110\t25\t0\t|", "|", false, false, false},
      {"a\tpop\tu\tp\tsmtp\tme@x\t995\t465\tTrue\t\t-1\t1", "", true, true, true},
      {"a\tpop\tu\tp\tsmtp\tme@x\t995\t465\t0\t>\tFalse\t0", ">", false, false, false},
  };
  for (const auto& c : cases) {
    AccountRecord r = AccountRecord::Parse(c.line);
    EXPECT_EQ(r.name, "a");
    EXPECT_EQ(r.reply_mark, c.reply_mark) << c.line;
    EXPECT_EQ(r.delete_after_receive, c.delete_after) << c.line;
    EXPECT_EQ(r.pop_ssl, c.pop_ssl) << c.line;
    EXPECT_EQ(r.smtp_ssl, c.smtp_ssl) << c.line;
    EXPECT_EQ(FieldCount(r.ToLine()), 12u);
  }
  EXPECT_EQ(AccountRecord::Parse(cases[0].line).ToLine(), "a\tpop\tu\tp\tsmtp\tme@x\t110\t25\t-1\t>\t0\t0");

  // A TAB or line break typed into a field cannot split the record.
  AccountRecord typed = AccountRecord::Parse(cases[0].line);
  typed.password = "p\tw";
  typed.reply_mark = "\r\n>";
  EXPECT_EQ(typed.ToLine(), "a\tpop\tu\tp w\tsmtp\tme@x\t110\t25\t-1\t  >\t0\t0");
}

TEST(AccountList, NamesPortsAndTheFile) {
  test::TempDir dir;
  std::vector<std::string> list = {"Work\tp", "home\tp"};
  EXPECT_EQ(FindAccount(list, "home"), 1u);
  EXPECT_FALSE(FindAccount(list, "Home"));
  EXPECT_TRUE(AccountNameTaken(list, "HOME"));
  EXPECT_FALSE(AccountNameTaken(list, "hom"));
  EXPECT_FALSE(AccountNameTaken(list, "HOME", 1));  // the record itself
  EXPECT_TRUE(AccountNameTaken(list, "work", 1));

  EXPECT_EQ(ParsePort("110"), 110);
  for (const char* bad : {"", "0", "65536", "-1", "11a", " 25"}) EXPECT_FALSE(ParsePort(bad)) << bad;

  EXPECT_FALSE(AccountFileExists(dir.path()));
  EXPECT_FALSE(SaveAccountList(dir.path(), {}));
  EXPECT_FALSE(SaveAccountList(dir.path(), {""}));
  EXPECT_FALSE(AccountFileExists(dir.path()));
  EXPECT_TRUE(SaveAccountList(dir.path(), list));
  EXPECT_EQ(LoadAccountList(dir.path()), list);
}

TEST(LoadAccount, MakesTheRecordCurrentWithSignatureAndIdList) {
  test::TempDir dir;
  const std::string name = Sjis("仕事");
  std::vector<std::string> list = {name + "\tpop.x\tu\tpw\tsmtp.x\tme@x\t995\t25\t-1\t>\t-1\t0"};
  auto account_dir = ToNativePath(dir.path(), Sjis("受信") + "\\" + name + "\\");
  EnsureDirectory(account_dir);
  WriteLines(account_dir / "syomei.ini", {Sjis("署名"), "%SSdate%"});

  auto in_use = LoadAccount(dir.path(), list, 0);
  ASSERT_TRUE(in_use);
  EXPECT_EQ(in_use->pop3.host, "pop.x");
  EXPECT_EQ(in_use->pop3.port, 995);
  EXPECT_TRUE(in_use->pop3.implicit_tls);
  EXPECT_EQ(in_use->signature, (std::vector<std::string>{Sjis("署名"), "%SSdate%"}));
  EXPECT_TRUE(FileExists(account_dir / "AlreadMsgID.ini"));
  EXPECT_FALSE(LoadAccount(dir.path(), {}, 0));

  EXPECT_EQ(ExpandSignatureDate("a%ssDATE%b%SSdate%", 2026, 1, 9), "a2026/01/09b2026/01/09");
}

}  // namespace
}  // namespace plumex

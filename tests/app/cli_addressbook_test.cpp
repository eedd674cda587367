// plumex-cli addressbook: the books listed, a book shown in the window's order, records added
// through the register window's save.
#include <gtest/gtest.h>

#include <string>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "tests/app/run_cli.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

TEST(CliAddressBook, ListShowAndAdd) {
  test::TempDir root;
  std::filesystem::create_directories(root.path() / "Address");
  WriteLines(root.path() / "Address" / "友人.adr", {Utf8ToCp932("佐藤\tsato@x.jp\t"), Utf8ToCp932("伊藤\tito@x.jp")});
  WriteLines(root.path() / "Address" / "仕事.adr", {});

  Outcome o = RunCli(root.path(), "addressbook list");
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "仕事\n友人\n");
  o = RunCli(root.path(), "addressbook add 友人 '\"あべ, 次郎\"' abe@x.jp 大学");
  EXPECT_EQ(o.status, 0) << o.err;
  o = RunCli(root.path(), "addressbook show 友人");
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "あべ 次郎\tabe@x.jp\t大学\n伊藤\tito@x.jp\t\n佐藤\tsato@x.jp\t\n");

  struct Refused {
    std::string args, error;
  } refused[] = {
      {"addressbook show 無い", "アドレス帳がありません: 無い"},
      {"addressbook add 無い a b", "アドレス帳がありません: 無い"},
      {"addressbook add 仕事 '\"\"' b", "宛名とアドレスだけは入力してください。"},
      {"addressbook add 仕事", "usage"},
  };
  for (const auto& r : refused) {
    o = RunCli(root.path(), r.args);
    EXPECT_EQ(o.status, 1) << r.args;
    EXPECT_NE(o.err.find(r.error), std::string::npos) << r.args << ": " << o.err;
  }
  EXPECT_FALSE(std::filesystem::exists(root.path() / "Address" / "無い.adr"));
  std::vector<std::string> work;
  ReadLines(root.path() / "Address" / "仕事.adr", work);
  EXPECT_TRUE(work.empty());
}

}  // namespace
}  // namespace plumex

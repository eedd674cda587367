// plumex-cli search and related: the window's extraction and related-mail extraction, printed.
#include <gtest/gtest.h>

#include <string>

#include "platform/code_page.h"
#include "platform/text_file.h"
#include "tests/app/run_cli.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

class CliSearch : public ::testing::Test {
 protected:
  test::TempDir root;
  void Write(const std::string& path, const std::vector<std::string>& utf8_lines) {
    std::filesystem::create_directories((root.path() / path).parent_path());
    std::vector<std::string> lines;
    for (const auto& l : utf8_lines) lines.push_back(Utf8ToCp932(l));
    WriteLines(root.path() / path, lines);
  }
  void SetUp() override {
    Write("Account.ini", {"箱\th"});
    Write("受信/箱/MsgID.ini", {"<1@x>\t会議\tf@x\t2009/01/01_00:00:00\t10\t2\t2\t2",
                                "<2@x>\tRe: 会議\tg@x\t2009/01/02_00:00:00\t10\t2\t2\t2",
                                "<3@x>\tFw: 会議\th@x\t2009/01/03_00:00:00\t10\t2\t2\t2"});
    Write("受信/箱/a.txt", {"Message-ID:<1@x>", "件名:会議", "差出人:f@x", "日時:2009/01/01_00:00:00",
                            "-------------------", "議題は予算です"});
    Write("受信/箱/子/b.txt", {"Message-ID:<9@x>", "件名:予算案", "差出人:k@x", "日時:2009/02/01_00:00:00",
                               "-------------------", "YOSAN"});
    Write("受信/箱/子/MsgID.ini", {"<9@x>\t予算案\tk@x\t2009/02/01_00:00:00\t10\t2\t2\t2"});
  }
};

TEST_F(CliSearch, SearchPrintsEachMatchWithItsFolderThenTheCount) {
  Outcome o = RunCli(root.path(), "search 予算");
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "受信\\箱\\\t会議\tf@x\t2009/01/01_00:00:00\n受信\\箱\\子\\\t予算案\tk@x\t2009/02/01_00:00:00\n2件\n");
  o = RunCli(root.path(), "search --folder 受信/箱/子 yosan");
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "受信\\箱\\子\\\t予算案\tk@x\t2009/02/01_00:00:00\n1件\n");
  o = RunCli(root.path(), "search --folder 受信/無い x");
  EXPECT_EQ(o.status, 1);
  EXPECT_NE(o.err.find("no such folder"), std::string::npos) << o.err;
}

TEST_F(CliSearch, RelatedPrintsTheGroupsAndWritesRefIni) {
  Outcome o = RunCli(root.path(), "related --account 箱");
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "会議\tf@x\t2009/01/01_00:00:00\nRe: 会議\tg@x\t2009/01/02_00:00:00\nFw: 会議\th@x\t2009/01/03_00:00:00\n3件\n");
  std::vector<std::string> ref;
  ASSERT_TRUE(ReadLines(root.path() / "受信/箱/Ref.ini", ref));
  EXPECT_EQ(ref.size(), 2u);
}

}  // namespace
}  // namespace plumex

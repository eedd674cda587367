// plumex-cli search and related: the window's extraction and related-mail extraction, printed.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "text/code_page.h"
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
    setenv("XDG_CACHE_HOME", (root.path() / "cache").c_str(), 1);
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
  EXPECT_NE(o.err.find("フォルダが見つかりません"), std::string::npos) << o.err;
}

TEST_F(CliSearch, RelatedPrintsTheGroupsAndWritesRefIni) {
  Outcome o = RunCli(root.path(), "related --account 箱");
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out,
            "会議\tf@x\t2009/01/01_00:00:00\nRe: 会議\tg@x\t2009/01/02_00:00:00\nFw: 会議\th@x\t2009/01/03_00:00:00\n3件\n");
  std::vector<std::string> ref;
  ASSERT_TRUE(ReadLines(root.path() / "受信/箱/Ref.ini", ref));
  EXPECT_EQ(ref.size(), 3u);  // the original is in its "Re:" group
}

TEST_F(CliSearch, SearchThroughTheIndexAllFoldersAndScan) {
  Write("送信/s.txt", {"Message-ID:<s@x>", "件名:予算の送付", "差出人:me@x", "日時:2009/03/01_00:00:00",
                       "-------------------", "予算表"});
  const std::string all = "受信\\箱\\\t会議\tf@x\t2009/01/01_00:00:00\n受信\\箱\\子\\\t予算案\tk@x\t2009/02/01_00:00:00\n"
                          "送信\\\t予算の送付\tme@x\t2009/03/01_00:00:00\n3件\n";
  Outcome o = RunCli(root.path(), "index status");
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_NE(o.out.find("状態: なし"), std::string::npos) << o.out;
  EXPECT_EQ(RunCli(root.path(), "search --all 予算").out, all);  // two characters: the walk
  o = RunCli(root.path(), "index rebuild");
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_NE(o.out.find("状態: 使用可能"), std::string::npos) << o.out;
  EXPECT_NE(o.out.find("メール: 3件"), std::string::npos) << o.out;
  // Three characters and more: the index proposes, the matcher decides; the same rows as --scan.
  o = RunCli(root.path(), "search --all 議題は予算");
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "受信\\箱\\\t会議\tf@x\t2009/01/01_00:00:00\n1件\n");
  EXPECT_EQ(RunCli(root.path(), "search --all --scan 議題は予算").out, o.out);
  // A message filed after the build is found.
  Write("受信/箱/c.txt", {"Message-ID:<4@x>", "件名:追加", "差出人:z@x", "日時:2009/04/01_00:00:00",
                          "-------------------", "議題は予算の追加"});
  o = RunCli(root.path(), "search 議題は予算");
  EXPECT_EQ(o.out, RunCli(root.path(), "search --scan 議題は予算").out);
  EXPECT_NE(o.out.find("2件"), std::string::npos) << o.out;
  EXPECT_EQ(RunCli(root.path(), "search --all --account 箱 x").status, 1);
  EXPECT_EQ(RunCli(root.path(), "index").status, 1);
}

TEST_F(CliSearch, ThreadsPrintsTheConversationsOfAFolder) {
  Write("受信/箱/MsgID.ini", {"<1@x>\t会議\tf@x\t2009/01/01_00:00:00\t10\t2\t2\t2",
                              "<2@x>\tRe: 会議\tg@x\t2009/01/02_00:00:00\t10\t2\t2\t2",
                              "<3@x>\t別件\th@x\t2009/01/03_00:00:00\t10\t2\t2\t2",
                              "<4@x>\tRe: Re: 会議\tf@x\t2009/01/04_00:00:00\t10\t2\t2\t2"});
  Write("受信/箱/02@x9.txt", {"Message-ID:<2@x>", "References:<1@x>", "-------------------", "b"});
  Write("受信/箱/03@x9.txt", {"Message-ID:<3@x>", "-------------------", "c"});
  Write("受信/箱/04@x9.txt", {"Message-ID:<4@x>", "References:<1@x> <2@x>", "-------------------", "d"});
  const std::string expected = "別件\th@x\t2009/01/03_00:00:00\n\n会議\tf@x\t2009/01/01_00:00:00\n"
                               "  Re: 会議\tg@x\t2009/01/02_00:00:00\n    Re: Re: 会議\tf@x\t2009/01/04_00:00:00\n";
  Outcome o = RunCli(root.path(), "threads --account 箱");
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, expected);
  // The same with the references read from the index.
  ASSERT_EQ(RunCli(root.path(), "index rebuild").status, 0);
  EXPECT_EQ(RunCli(root.path(), "threads --account 箱 --folder 受信/箱").out, expected);
}

// A reply from a mailer that writes In-Reply-To alone joins its parent's conversation, whatever
// its subject says.
TEST_F(CliSearch, AReplyNamingItsParentOnlyInInReplyToJoinsTheConversation) {
  const auto write_mail = [&](const std::string& name, const std::string& head) {
    WriteFileAtomic(root.path() / name, "From: f@x\r\nDate: Thu, 01 Jan 2009 09:00:00 +0900\r\n" + head + "\r\n\r\nbody\r\n");
  };
  write_mail("p.eml", "Message-ID: <p@x>\r\nSubject: plan");
  write_mail("r.eml", "Message-ID: <r@x>\r\nSubject: answer\r\nIn-Reply-To: <p@x> (plan)");
  ASSERT_EQ(RunCli(root.path(), "open " + (root.path() / "p.eml").string() + " " + (root.path() / "r.eml").string()).status, 0);
  const std::string out = RunCli(root.path(), "threads --account 箱").out;
  const size_t parent = out.find("plan\tf@x\t");
  ASSERT_NE(parent, std::string::npos) << out;
  EXPECT_EQ(out.compare(out.find('\n', parent) + 1, 9, "  answer\t"), 0) << out;
}

}  // namespace
}  // namespace plumex

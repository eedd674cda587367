// Store maintenance: duplicate rows go, message files without a row get one.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "text/code_page.h"
#include "platform/text_file.h"
#include "store/file_key.h"
#include "store/maintenance.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

void Write(const fs::path& file, const std::vector<std::string>& utf8_lines) {
  fs::create_directories(file.parent_path());
  std::vector<std::string> lines;
  for (const auto& l : utf8_lines) lines.push_back(Utf8ToCp932(l));
  WriteLines(file, lines);
}

std::vector<std::string> Read(const fs::path& file) {
  std::vector<std::string> lines, out;
  ReadLines(file, lines);
  for (const auto& l : lines) out.push_back(Cp932ToUtf8(l));
  return out;
}

std::vector<std::string> Message(const std::string& id_line, const std::string& from_line, const std::string& subject) {
  return {"あて名:me@x", id_line, from_line, "件名:" + subject, "日時:2009/09/08_12:34:56", "ﾌｧｲﾙｻｲｽﾞ:123",
          "-------------------", "body"};
}

struct Case {
  const char* name;
  std::vector<std::string> index;                              // rows of MsgID.ini
  std::vector<std::pair<std::string, std::vector<std::string>>> files;  // name, lines
  std::vector<std::string> expected;
  size_t removed, rebuilt;
};

class RepairTest : public ::testing::TestWithParam<Case> {};

TEST_P(RepairTest, Folder) {
  const Case& c = GetParam();
  test::TempDir dir;
  const fs::path folder = dir.path() / "受信" / "A";
  Write(folder / "MsgID.ini", c.index);
  for (const auto& [name, lines] : c.files) Write(folder / name, lines);
  std::vector<FolderRepair> done = RepairFolders(dir.path() / "受信", Utf8ToCp932("受信\\"), nullptr);
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(Cp932ToUtf8(done[0].folder), "受信\\A\\");
  EXPECT_EQ(done[0].duplicates_removed, c.removed);
  EXPECT_EQ(done[0].rows_rebuilt, c.rebuilt);
  EXPECT_THAT(Read(folder / "MsgID.ini"), ElementsAreArray(c.expected));
}

const std::string kRow1 = "<1@x>\ta\tf\t2009/01/01_00:00:00\t10\t2\t2\t2";
const std::string kRow1b = "<1@x>\tb\tf\t2009/01/01_00:00:00\t10\t2\t2\t2";
const std::string kRow2 = "<2@x>\ta\tf\t2009/01/01_00:00:00\t10\t2\t1\t2";
const std::string kRebuilt = "\t件名\tsomeone\t2009/09/08_12:34:56\t123\t2\t1\t2";

INSTANTIATE_TEST_SUITE_P(
    Cases, RepairTest,
    ::testing::Values(
        Case{"SameRowTwice", {kRow1, kRow1, kRow2}, {}, {kRow1, kRow2}, 1, 0},
        Case{"SameIdTheFirstInOrderStays", {kRow1b, kRow2, kRow1}, {}, {kRow1, kRow2}, 1, 0},
        Case{"OrphanGetsItsMessageId",
             {kRow1},
             {{"0orphan@x9.txt", Message("Message-ID:<orphan@x>", "差出人:someone", "件名")}},
             {kRow1, "<orphan@x>" + kRebuilt}, 0, 1},
        // A Message-ID that does not lead to the file, or none: the file key is the id.
        Case{"OrphanNamedOtherwise",
             {},
             {{"0renamed9.txt", Message("Message-ID:<other@x>", "差出人:someone", "件名")},
              {"0noid9.txt", Message("References:", "差出人:someone", "件名")}},
             {"0noid9" + kRebuilt, "0renamed9" + kRebuilt}, 0, 2},
        // A row without an id goes; the message it stood for comes back under its own id.
        Case{"RowWithoutIdIsRebuiltFromItsFile",
             {"\t件名\tsomeone\t2009/09/08_12:34:56\t123\t2\t2\t2"},
             {{"0lost@x9.txt", Message("Message-ID:<lost@x>", "差出人:someone", "件名")}},
             {"<lost@x>" + kRebuilt}, 1, 1},
        // Two ids sharing a plain key: the second's file has a distinct key and a row that
        // leads to it, so it is no orphan and gets no row of its own.
        Case{"DistinctKeyOfARowIsNoOrphan",
             {"<a b@x>" + kRebuilt, "<ab@x>" + kRebuilt},
             {{"0ab@x9.txt", Message("Message-ID:<a b@x>", "差出人:someone", "件名")},
              {DistinctFileKey("<ab@x>") + ".txt", Message("Message-ID:<ab@x>", "差出人:someone", "件名")}},
             {"<a b@x>" + kRebuilt, "<ab@x>" + kRebuilt}, 0, 0},
        Case{"NeverIndexed",
             {kRow1},
             {{"a1@x9.txt", Message("Message-ID:<a1@x>", "差出人:someone", "件名")},
              {"0imported9.txt", Message("Message-ID:<imported>", "From:someone", "件名")},
              {"0nofrom9.txt", Message("Message-ID:<nofrom>", "差出人:", "件名")},
              {"0note.ini", {"x"}}},
             {kRow1}, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Repair, SkipsFoldersWithoutAnIndexAndTouchesNothingElse) {
  test::TempDir dir;
  const fs::path receive = dir.path() / "受信";
  Write(receive / "A/MsgID.ini", {kRow1, kRow1});
  Write(receive / "A/AlreadMsgID.ini", {"<1@x>", "<1@x>"});
  Write(receive / "A/noindex/sub/MsgID.ini", {kRow2, kRow2});
  Write(receive / "A/Attachment/MsgID.ini", {kRow2, kRow2});
  Write(receive / "A/box/MsgID.ini", {kRow2, kRow2});
  Write(dir.path() / "送信/Send.ini", {kRow2, kRow2});
  std::vector<FolderRepair> done = RepairFolders(receive, Utf8ToCp932("受信\\"), nullptr);
  std::vector<std::string> folders;
  for (const auto& r : done) folders.push_back(Cp932ToUtf8(r.folder));
  EXPECT_THAT(folders, ElementsAre("受信\\A\\", "受信\\A\\box\\"));
  EXPECT_THAT(Read(receive / "A/box/MsgID.ini"), ElementsAre(kRow2));
  EXPECT_THAT(Read(receive / "A/noindex/sub/MsgID.ini"), ElementsAre(kRow2, kRow2));
  EXPECT_THAT(Read(receive / "A/Attachment/MsgID.ini"), ElementsAre(kRow2, kRow2));
  EXPECT_THAT(Read(receive / "A/AlreadMsgID.ini"), ElementsAre("<1@x>", "<1@x>"));
  EXPECT_THAT(Read(dir.path() / "送信/Send.ini"), ElementsAre(kRow2, kRow2));

  // A stop before the second folder keeps the first one's repair.
  Write(receive / "A/MsgID.ini", {kRow1, kRow1});
  Write(receive / "A/box/MsgID.ini", {kRow2, kRow2});
  int entries = 0;
  bool completed = true;
  RepairFolders(receive, Utf8ToCp932("受信\\"), [&] { return ++entries < 2; }, &completed);
  EXPECT_FALSE(completed);
  EXPECT_THAT(Read(receive / "A/MsgID.ini"), ElementsAre(kRow1));
  EXPECT_THAT(Read(receive / "A/box/MsgID.ini"), ElementsAre(kRow2, kRow2));
}


// The send tree: repeats go from every Send.ini; a sent copy in "送信" that no index of the tree
// names (a rule subfolder's row counts) gets a row in "送信\Send.ini"; the merge log is no copy.
TEST(Repair, TheSendTreeListsEverySentCopyOnce) {
  test::TempDir dir;
  const fs::path send = dir.path() / "送信";
  const std::string listed = "<l@x>\tlisted\tto@x\t2009/09/08_123456\t10\t2\t2\t2";
  const std::string filed = "<f@x>\tfiled\tto@x\t2009/09/08_123456\t10\t2\t2\t2";
  Write(send / "Send.ini", {listed, listed});
  Write(send / "仕事/Send.ini", {filed});
  for (const char* key : {"0l@x9", "0f@x9"}) Write(send / (std::string(key) + ".txt"), {"Message-ID:x", "-------------------"});
  Write(send / "0lost@x9.txt", {"ReplyTo:me@x", "あて名:bob@x", "Message-ID:<lost@x>", "件名:消えた行", "日時:2009/09/08_123456",
                                "-------------------", "body"});
  Write(send / "差込ログ.txt", {"log"});
  std::vector<FolderRepair> done = RepairSendFolders(send, Utf8ToCp932("送信\\"), nullptr);
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(Cp932ToUtf8(done[0].folder), "送信\\");
  EXPECT_EQ(done[0].duplicates_removed, 1u);
  EXPECT_EQ(done[0].rows_rebuilt, 1u);
  const std::vector<std::string> rows = Read(send / "Send.ini");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], listed);
  // Its recipient, subject and date; its size; no attachment, read, normal priority.
  EXPECT_EQ(rows[1].rfind("<lost@x>\t消えた行\tbob@x\t2009/09/08_123456\t", 0), 0u) << rows[1];
  EXPECT_EQ(rows[1].substr(rows[1].size() - 6), "\t2\t2\t2") << rows[1];
  EXPECT_THAT(Read(send / "仕事/Send.ini"), ElementsAre(filed));
  // Repaired once, nothing is left to do.
  EXPECT_TRUE(RepairSendFolders(send, Utf8ToCp932("送信\\"), nullptr).empty());
}

}  // namespace
}  // namespace plumex

#include "store/folder_index.h"

#include <gtest/gtest.h>

#include "platform/directories.h"
#include "platform/text_file.h"
#include "store/received_id_list.h"
#include "store/tab_line.h"
#include "tests/support/temp_dir.h"

namespace plumex {
namespace {

std::string Row(const std::string& id, const std::string& mark, const std::string& subject = "s") {
  return id + "\t" + subject + "\tfrom\t2009/09/08_12:34:56\t10\t2\t" + mark + "\t2";
}

TEST(SortedLineList, SortsIgnoringCaseAndDropsDuplicates) {
  SortedLineList list({"b", "A", "a", "C"});
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"A", "b", "C"}));
  EXPECT_FALSE(list.Add("B"));
  EXPECT_TRUE(list.Add("aa"));
  EXPECT_FALSE(list.Add("AA"));  // equal to a line added but not yet merged
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"A", "aa", "b", "C"}));
  EXPECT_EQ(list.IndexOf("c"), 3u);
  list.RemoveAt(0);
  EXPECT_EQ(list.Lines().front(), "aa");
}

TEST(SortedLineList, TrailBytesAreNotCaseFolded) {
  // 0x83 0x41 (ア) and 0x83 0x61 (ャ) differ only in a trail byte that looks like A / a.
  SortedLineList list;
  EXPECT_TRUE(list.Add("\x83\x41"));
  EXPECT_TRUE(list.Add("\x83\x61"));
  EXPECT_EQ(list.Size(), 2u);
}

TEST(FolderIndex, OpenCreatesMissingFileAndFindRowTakesTheFirst) {
  test::TempDir dir;
  auto file = dir.path() / "MsgID.ini";
  FolderIndex index = FolderIndex::Open(file);
  EXPECT_TRUE(FileExists(file));
  EXPECT_EQ(index.Size(), 0u);

  index.Add(Row("<b@x>", "1"));
  index.Add(Row("<a@x>", "2", "zzz"));
  index.Add(Row("<a@x>", "1", "aaa"));  // same id, sorts first
  index.Add(Row("<B@X>", "1"));         // differs from <b@x> only in case: ignored
  EXPECT_EQ(index.Size(), 3u);
  EXPECT_EQ(FindRow(index, "<a@x>"), 0u);
  EXPECT_EQ(FieldOf(index.Rows()[0], 1), "aaa");
  EXPECT_FALSE(FindRow(index, "<A@x>"));  // FindRow is exact
  EXPECT_EQ(CountUnread(index), 2);

  index.Save(file);
  FolderIndex again = FolderIndex::Open(file);
  EXPECT_EQ(again.Rows().Lines(), index.Rows().Lines());
}

TEST(FolderIndex, ChangingOneRow) {
  test::TempDir dir;
  auto file = dir.path() / "MsgID.ini";
  FolderIndex index;
  index.Add(Row("<a@x>", "3"));  // marked red: not unread
  index.Add(Row("<b@x>", "1"));
  EXPECT_EQ(CountUnread(index), 1);

  EXPECT_TRUE(ChangeRow(index, "<a@x>", Row("<a@x>", "1"), file));
  EXPECT_EQ(CountUnread(index), 2);
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadLines(file, lines));
  EXPECT_EQ(lines, index.Rows().Lines());

  ASSERT_TRUE(RemoveRecursively(file));
  EXPECT_FALSE(ChangeRow(index, "<missing@x>", Row("<missing@x>", "2"), file));
  EXPECT_FALSE(FileExists(file));  // nothing written
}

TEST(FolderIndex, InvalidRowsStayInTheIndex) {
  test::TempDir dir;
  auto file = dir.path() / "MsgID.ini";
  WriteLines(file, {Row("<a@x>", "1"), "<bad@x>\ts\tf\td\t1\t2\t1"});
  FolderIndex index = FolderIndex::Open(file);
  EXPECT_EQ(index.Size(), 2u);
  index.Save(file);
  std::vector<std::string> lines;
  ReadLines(file, lines);
  EXPECT_EQ(lines.size(), 2u);
}

TEST(ReceivedIdList, CreatesMissingFileWithDirectoryAndIgnoresCase) {
  test::TempDir dir;
  auto file = dir.path() / "acc" / "AlreadMsgID.ini";
  ReceivedIdList ids = ReceivedIdList::Open(file);
  EXPECT_TRUE(FileExists(file));
  EXPECT_TRUE(ids.Add("<Id@X>"));
  EXPECT_TRUE(ids.Contains("<id@x>"));
  EXPECT_FALSE(ids.Add("<ID@x>"));
  ids.Add("<a@x>");
  ids.Save(file);
  ReceivedIdList again = ReceivedIdList::Open(file);
  EXPECT_EQ(again.Ids().Lines(), (std::vector<std::string>{"<a@x>", "<Id@X>"}));
  EXPECT_TRUE(again.Remove("<id@x>"));
  EXPECT_FALSE(again.Contains("<Id@X>"));
}

}  // namespace
}  // namespace plumex

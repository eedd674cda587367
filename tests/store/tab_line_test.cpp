#include "store/tab_line.h"

#include <gtest/gtest.h>

#include "text/sjis_text.h"
#include "store/folder_label.h"
#include "store/index_row.h"

namespace plumex {
namespace {

TEST(TabLine, FieldOf) {
  EXPECT_EQ(FieldOf("a\tb\tc", 0), "a");
  EXPECT_EQ(FieldOf("a\tb\tc", 2), "c");
  EXPECT_EQ(FieldOf("a\tb\tc", 3), "");
  EXPECT_EQ(FieldOf("whole", 0), "whole");
  EXPECT_EQ(FieldOf("a\t\tc", 1), "");
  EXPECT_EQ(SplitTabLine("a\t\t"), (std::vector<std::string>{"a", "", ""}));
  EXPECT_EQ(JoinTabLine({"a", "", "c"}), "a\t\tc");
}

TEST(TabLine, Labels) {
  const std::string name = Sjis("仕事");
  EXPECT_EQ(FolderNameOfLabel(name + "\t(12)"), name);
  EXPECT_EQ(FolderNameOfLabel(name), name);
  EXPECT_EQ(LabelOfFolder(name, 0), name);
  EXPECT_EQ(LabelOfFolder(name, -1), name);
  EXPECT_EQ(LabelOfFolder(name, 12), name + "\t(12)");
}

TEST(IndexRowFormat, RoundTripAndInvalidRows) {
  const std::string line = "<id@x>\tsubj\tfrom\t2009/09/08_12:34:56\t2048\t2\t1\t2";
  auto row = IndexRow::Parse(line);
  ASSERT_TRUE(row);
  EXPECT_EQ(row->size, "2048");
  EXPECT_EQ(row->mark, "1");
  EXPECT_EQ(row->ToLine(), line);
  EXPECT_FALSE(IndexRow::Parse("<id@x>\tsubj\tfrom\t2009/09/08_12:34:56\t2048\t2\t1"));  // seven fields
  auto extended = IndexRow::Parse(line + "\t" + Sjis("受信") + "\\a\\");
  ASSERT_TRUE(extended && extended->extra);
  EXPECT_EQ(extended->ToLine(), line + "\t" + Sjis("受信") + "\\a\\");
  EXPECT_EQ(RowField("a\r\nb\tc"), "ab c");
}

}  // namespace
}  // namespace plumex

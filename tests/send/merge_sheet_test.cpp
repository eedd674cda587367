// The merge sheet: its checks, the grid's block commands and the preview's bounds.
#include <gtest/gtest.h>

#include "text/code_page.h"
#include "send/merge_sheet.h"

namespace plumex {
namespace {

std::string S(const std::string& utf8) { return Utf8ToCp932(utf8); }
std::vector<std::string> S(std::initializer_list<const char*> utf8_rows) {
  std::vector<std::string> rows;
  for (const char* row : utf8_rows) rows.push_back(Utf8ToCp932(row));
  return rows;
}

TEST(MergeSheet, RowChecks) {
  struct Case {
    std::vector<std::string> rows;
    std::optional<size_t> width;
  };
  const Case cases[] = {
      {{"宛先,名前", "a@x,太郎", "b@x,花子"}, 2},
      {{"宛先", "a@x,太郎,様"}, 3},                // the widest row counts
      {{"宛先,名前", "a@x"}, 2},                   // a short row is fine
      {{"宛先,名前", "", "b@x,花子"}, std::nullopt},  // an empty line
      {{"宛先,名前", ",", "b@x,花子"}, std::nullopt},  // cells all empty
      {{"宛先,名前", ",太郎"}, 2},                 // one non-empty cell is enough for the check
  };
  for (const auto& c : cases) EXPECT_EQ(CheckSheetRows(c.rows), c.width) << c.rows.size();
}

TEST(MergeSheet, CopyAndPasteTwoByTwoBlock) {
  SheetGrid grid;
  grid.Assign(S({"宛先,名前,会社", "a@x,太郎,A社", "b@x,花子,B社", ",,", ",,", ",,"}), 3);
  const std::string clip = grid.Copy({1, 0, 2, 1});
  EXPECT_EQ(clip, S("a@x\t太郎\x1b" "b@x\t花子\x1b"));
  grid.Paste({3, 0, 3, 0}, clip);
  EXPECT_EQ(grid.Cell(3, 0), "a@x");
  EXPECT_EQ(grid.Cell(3, 1), S("太郎"));
  EXPECT_EQ(grid.Cell(4, 0), "b@x");
  EXPECT_EQ(grid.Cell(4, 1), S("花子"));
  EXPECT_EQ(grid.Cell(3, 2), "");
  // Pasted at the last row and column: what falls outside is dropped.
  grid.Paste({5, 2, 5, 2}, clip);
  EXPECT_EQ(grid.Cell(5, 2), "a@x");
  EXPECT_EQ(grid.Rows(), 6u);
  // Never into the title row; a single value fills the block.
  grid.Paste({0, 0, 0, 0}, clip);
  EXPECT_EQ(grid.Cell(0, 0), S("宛先"));
  grid.Paste({1, 1, 2, 2}, "x\x1b");
  EXPECT_EQ(grid.Copy({1, 1, 2, 2}), "x\tx\x1bx\tx\x1b");
}

TEST(MergeSheet, ColumnsAndRowsAndChecks) {
  SheetGrid grid;
  EXPECT_TRUE(grid.IsInitial());
  grid.Assign(S({"宛先,名前", "a@x,太郎", "b@x,花子"}), 2);
  grid.InsertColumns(1, 2);
  EXPECT_EQ(grid.Columns(), 4u);
  EXPECT_EQ(grid.Cell(0, 1), "%SS2%");
  EXPECT_EQ(grid.Cell(0, 2), "%SS3%");
  EXPECT_EQ(grid.Cell(1, 3), S("太郎"));
  grid.RemoveColumns(1, 2);
  EXPECT_EQ(*grid.ToSheet(), (std::vector<std::string>{S("宛先,名前"), S("a@x,太郎"), S("b@x,花子")}));
  // A comma typed into a cell must not split it.
  grid.SetCell(1, 1, S("山田,太郎"));
  EXPECT_EQ(grid.Cell(1, 1), S("山田，太郎"));
  EXPECT_EQ(grid.Cell(1, 0), "a@x");
  // "@" as the second byte of a double-byte character is no address.
  grid.SetCell(2, 0, S("ァ"));
  EXPECT_EQ(grid.FirstRowWithoutAddress(), 2u);
  grid.SetCell(0, 1, "");
  EXPECT_FALSE(grid.ToSheet());
  grid.RemoveRows(0, grid.Rows() - 1);
  EXPECT_EQ(grid.Rows(), 1u);
  grid.RemoveColumns(0, grid.Columns() - 1);
  EXPECT_EQ(grid.Columns(), 1u);
  grid.Resize(3, 2);
  EXPECT_EQ(grid.Cell(0, 2), S("項目3"));
}

TEST(MergeSheet, PreviewStaysWithinTheDataRows) {
  MergePreview preview;
  preview.Start("body");
  EXPECT_EQ(preview.Step(1, 3), std::nullopt);
  EXPECT_EQ(preview.Record(), 2);
  EXPECT_EQ(preview.Step(1, 3), S("最後のデータです"));
  EXPECT_EQ(preview.Record(), 2);
  EXPECT_EQ(preview.Step(-1, 3), std::nullopt);
  EXPECT_EQ(preview.Step(-1, 3), S("最初のデータです"));
  EXPECT_EQ(preview.Record(), 1);
}

}  // namespace
}  // namespace plumex

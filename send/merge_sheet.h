// The mail-merge sheet: rows of cells joined with "," (title row first, no quoting), as the
// sheet file holds them and as the sheet window's grid edits them. Rows are kept as their
// joined text, so a sheet of 100,000 rows costs one string per row; cells are cut out only
// when one is read or changed.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumex {

inline constexpr int kSheetDefaultColumnWidth = 90;

// A selected block of cells, inclusive bounds.
struct CellRect {
  size_t top = 0, left = 0, bottom = 0, right = 0;
  size_t Height() const { return bottom - top + 1; }
  size_t Width() const { return right - left + 1; }
};

// The sheet's width: the largest cell count of its rows; nothing when a row's first
// width-so-far cells are all empty (an empty line among them), which the sheet window refuses.
std::optional<size_t> CheckSheetRows(const std::vector<std::string>& rows);

// "%SS" + column number + "%".
std::string Placeholder(size_t column_number);

class SheetGrid {
 public:
  SheetGrid() { Reset(); }

  size_t Rows() const { return rows_.size(); }
  size_t Columns() const { return widths_.size(); }
  // Empty for a cell beyond a short row.
  std::string Cell(size_t row, size_t column) const;
  // A "," typed into a cell would split it into two on saving: it becomes the full-width "，".
  void SetCell(size_t row, size_t column, std::string_view text);
  int ColumnWidth(size_t column) const { return widths_[column]; }
  void SetColumnWidth(size_t column, int width) { widths_[column] = width; }

  // 1 column, 2 rows, all empty.
  void Reset();
  bool IsInitial() const { return Columns() == 1 && Rows() == 2; }
  // Rows read from a sheet file, width as CheckSheetRows gave it.
  void Assign(std::vector<std::string> rows, size_t width);
  // "変更": the new size; every empty title cell becomes "項目" + its column number.
  void Resize(size_t columns, size_t rows);
  // Cuts the grid to its first two rows and empties the second (reopening a message).
  void KeepTitleAndOneEmptyRow();

  // Grid to sheet: one row per grid row, every cell joined with ","; nothing when a title
  // cell is empty.
  std::optional<std::vector<std::string>> ToSheet() const;
  // The first data row (from 1) whose first cell holds no "@"; nothing when all do.
  std::optional<size_t> FirstRowWithoutAddress() const;

  // Clipboard text of a block: per row its cells joined with TAB, then ESC.
  std::string Copy(const CellRect& block) const;
  void Fill(const CellRect& block, std::string_view text);
  // Pastes clipboard text at the block: rows of values when it holds an ESC before its last
  // character (values beyond the grid are dropped), else the text in every cell of the
  // block. Nothing when the block starts in the title row.
  void Paste(const CellRect& block, std::string_view clipboard);
  // Columns inserted before `at` get the default width and "%SS<n>%" titles.
  void InsertColumns(size_t at, size_t count);
  void InsertRows(size_t at, size_t count);
  void AppendColumn();
  void AppendRow();
  // Removing every column (row) leaves one empty column (row).
  void RemoveColumns(size_t first, size_t last);
  void RemoveRows(size_t first, size_t last);

 private:
  std::vector<std::string> CellsOf(size_t row) const;
  void SetCells(size_t row, const std::vector<std::string>& cells);

  std::vector<std::string> rows_;  // cells joined with ","; a row may hold fewer cells
  std::vector<int> widths_;        // one per column
};

// A sheet file's rows (code page 932 lines). Nothing when it cannot be read.
std::optional<std::vector<std::string>> ReadSheetFile(const std::filesystem::path& file);

// The merge preview: the body template shown for one data row at a time.
class MergePreview {
 public:
  void Start(std::string body_template) {
    template_ = std::move(body_template);
    record_ = 1;
  }
  int Record() const { return record_; }
  const std::string& Template() const { return template_; }
  // "次　→" (+1) and "←　前" (-1) over a sheet of `sheet_rows` rows (title included): the
  // text to tell when the step ran off either end ("最後のデータです", "最初のデータです").
  std::optional<std::string> Step(int delta, size_t sheet_rows);
  void Reset() { record_ = 1; }

 private:
  std::string template_;
  int record_ = 1;
};

}  // namespace plumex

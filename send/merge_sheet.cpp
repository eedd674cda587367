#include "send/merge_sheet.h"

#include <algorithm>

#include "text/sjis_search.h"
#include "text/sjis_text.h"
#include "platform/text_file.h"
#include "send/send_texts.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

constexpr char kRowEnd = '\x1B';

std::string JoinCells(const std::vector<std::string>& cells) {
  std::string row;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i) row += ',';
    row += cells[i];
  }
  return row;
}

// A "," would split the cell in two on saving: it becomes the full-width "，".
std::string CellText(std::string_view text) {
  std::string value;
  for (char ch : text) {
    if (ch == ',') value += Sjis(texts::kFullWidthComma);
    else value += ch;
  }
  return value;
}

}  // namespace

std::optional<size_t> CheckSheetRows(const std::vector<std::string>& rows) {
  size_t width = 0;
  for (const std::string& row : rows) {
    width = std::max(width, static_cast<size_t>(std::count(row.begin(), row.end(), ',')) + 1);
    // The width so far covers every cell of this row: it is empty when it holds only commas.
    if (row.find_first_not_of(',') == std::string::npos) return std::nullopt;
  }
  return width;
}

std::string Placeholder(size_t column_number) { return "%SS" + std::to_string(column_number) + "%"; }

std::string SheetGrid::Cell(size_t row, size_t column) const {
  const std::string& text = rows_[row];
  size_t begin = 0;
  for (size_t c = 0; c < column; ++c) {
    const size_t comma = text.find(',', begin);
    if (comma == std::string::npos) return {};
    begin = comma + 1;
  }
  const size_t end = text.find(',', begin);
  return text.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

std::vector<std::string> SheetGrid::CellsOf(size_t row) const {
  std::vector<std::string> cells = SplitAt(rows_[row], ',');
  cells.resize(Columns());
  return cells;
}

void SheetGrid::SetCells(size_t row, const std::vector<std::string>& cells) { rows_[row] = JoinCells(cells); }

void SheetGrid::SetCell(size_t row, size_t column, std::string_view text) {
  std::vector<std::string> cells = CellsOf(row);
  cells[column] = CellText(text);
  SetCells(row, cells);
}

void SheetGrid::Reset() {
  rows_.assign(2, std::string());
  widths_.assign(1, kSheetDefaultColumnWidth);
}

void SheetGrid::Assign(std::vector<std::string> rows, size_t width) {
  rows_ = std::move(rows);
  widths_.assign(std::max<size_t>(width, 1), kSheetDefaultColumnWidth);
  if (rows_.empty()) rows_.emplace_back();
}

void SheetGrid::Resize(size_t columns, size_t rows) {
  const bool narrower = columns < Columns();
  widths_.resize(columns, kSheetDefaultColumnWidth);
  rows_.resize(rows);
  if (narrower)
    for (size_t r = 0; r < rows_.size(); ++r) SetCells(r, CellsOf(r));
  std::vector<std::string> titles = CellsOf(0);
  for (size_t c = 0; c < titles.size(); ++c)
    if (titles[c].empty()) titles[c] = Sjis(texts::kDefaultColumnTitle) + std::to_string(c + 1);
  SetCells(0, titles);
}

void SheetGrid::KeepTitleAndOneEmptyRow() {
  rows_.resize(2);
  rows_[1].clear();
}

std::optional<std::vector<std::string>> SheetGrid::ToSheet() const {
  std::vector<std::string> sheet;
  sheet.reserve(rows_.size());
  for (size_t r = 0; r < rows_.size(); ++r) {
    std::vector<std::string> cells = CellsOf(r);
    if (r == 0 && std::any_of(cells.begin(), cells.end(), [](const std::string& c) { return c.empty(); }))
      return std::nullopt;
    sheet.push_back(JoinCells(cells));
  }
  return sheet;
}

std::optional<size_t> SheetGrid::FirstRowWithoutAddress() const {
  for (size_t r = 1; r < rows_.size(); ++r)
    if (!ContainsSjis(Cell(r, 0), "@")) return r;
  return std::nullopt;
}

std::string SheetGrid::Copy(const CellRect& block) const {
  std::string text;
  for (size_t r = block.top; r <= block.bottom && r < Rows(); ++r) {
    for (size_t c = block.left; c <= block.right && c < Columns(); ++c) {
      if (c > block.left) text += '\t';
      text += Cell(r, c);
    }
    text += kRowEnd;
  }
  return text;
}

void SheetGrid::Fill(const CellRect& block, std::string_view text) {
  const std::string value = CellText(text);
  for (size_t r = block.top; r <= block.bottom && r < Rows(); ++r) {
    std::vector<std::string> cells = CellsOf(r);
    for (size_t c = block.left; c <= block.right && c < Columns(); ++c) cells[c] = value;
    SetCells(r, cells);
  }
}

void SheetGrid::Paste(const CellRect& block, std::string_view clipboard) {
  if (block.top == 0) return;
  const std::string_view head = clipboard.empty() ? clipboard : clipboard.substr(0, clipboard.size() - 1);
  if (head.find(kRowEnd) == std::string_view::npos) {
    std::string_view text = clipboard;
    if (!text.empty() && text.back() == kRowEnd) text.remove_suffix(1);
    Fill(block, text);
    return;
  }
  size_t r = block.top;
  size_t begin = 0;
  while (begin < clipboard.size() && r < Rows()) {
    size_t end = clipboard.find(kRowEnd, begin);
    if (end == std::string_view::npos) end = clipboard.size();
    const std::vector<std::string> values = SplitAt(clipboard.substr(begin, end - begin), '\t');
    for (size_t i = 0; i < values.size() && block.left + i < Columns(); ++i) SetCell(r, block.left + i, values[i]);
    ++r;
    begin = end + 1;
  }
}

void SheetGrid::InsertColumns(size_t at, size_t count) {
  at = std::min(at, Columns());
  widths_.insert(widths_.begin() + static_cast<std::ptrdiff_t>(at), count, kSheetDefaultColumnWidth);
  for (size_t r = 0; r < rows_.size(); ++r) {
    std::vector<std::string> cells = SplitAt(rows_[r], ',');
    cells.resize(Columns() - count);
    cells.insert(cells.begin() + static_cast<std::ptrdiff_t>(at), count, std::string());
    if (r == 0)
      for (size_t c = at; c < at + count; ++c) cells[c] = Placeholder(c + 1);
    SetCells(r, cells);
  }
}

void SheetGrid::InsertRows(size_t at, size_t count) {
  at = std::min(at, Rows());
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), count, std::string());
}

void SheetGrid::AppendColumn() {
  InsertColumns(Columns(), 1);
}

void SheetGrid::AppendRow() { rows_.emplace_back(); }

void SheetGrid::RemoveColumns(size_t first, size_t last) {
  if (first >= Columns()) return;
  last = std::min(last, Columns() - 1);
  const size_t old_columns = Columns();
  for (size_t r = 0; r < rows_.size(); ++r) {
    std::vector<std::string> cells = SplitAt(rows_[r], ',');
    cells.resize(old_columns);
    cells.erase(cells.begin() + static_cast<std::ptrdiff_t>(first), cells.begin() + static_cast<std::ptrdiff_t>(last + 1));
    rows_[r] = JoinCells(cells);
  }
  widths_.erase(widths_.begin() + static_cast<std::ptrdiff_t>(first), widths_.begin() + static_cast<std::ptrdiff_t>(last + 1));
  if (widths_.empty()) {
    widths_.push_back(kSheetDefaultColumnWidth);
    for (auto& row : rows_) row.clear();
  }
}

void SheetGrid::RemoveRows(size_t first, size_t last) {
  if (first >= Rows()) return;
  last = std::min(last, Rows() - 1);
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(first), rows_.begin() + static_cast<std::ptrdiff_t>(last + 1));
  if (rows_.empty()) rows_.emplace_back();
}

std::optional<std::vector<std::string>> ReadSheetFile(const std::filesystem::path& file) {
  std::optional<std::string> bytes = ReadFileBytes(file);
  if (!bytes) return std::nullopt;
  return SplitLines(*bytes);
}

std::optional<std::string> MergePreview::Step(int delta, size_t sheet_rows) {
  record_ += delta;
  if (record_ >= static_cast<int>(sheet_rows)) {
    record_ -= 1;
    return Sjis(texts::kLastRecord);
  }
  if (record_ <= 0) {
    record_ = 1;
    return Sjis(texts::kFirstRecord);
  }
  return std::nullopt;
}

}  // namespace plumex

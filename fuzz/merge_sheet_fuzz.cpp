// The merge sheet: arbitrary lines as a sheet file, a clipboard text pasted into the grid, and
// a row substituted into a template. No crash, and the grid written back reads as a sheet.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/text_file.h"
#include "send/merge_sheet.h"
#include "send/substitute_row.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace plumex;
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> rows = SplitLines(text);
  if (rows.size() > 200) rows.resize(200);  // the grid's cost grows with rows times columns
  for (auto& row : rows)
    if (row.size() > 2000) row.resize(2000);
  SheetGrid grid;
  if (auto width = CheckSheetRows(rows); width && *width <= 200) {
    grid.Assign(rows, *width);
    grid.ToSheet();
    grid.FirstRowWithoutAddress();
  }
  const size_t columns = grid.Columns(), height = grid.Rows();
  if (columns > 0 && height > 1) {
    CellRect block{1, 0, height - 1, columns - 1};
    grid.Paste(block, text.substr(0, 4000));
    grid.Copy(block);
  }
  if (!rows.empty()) SubstituteRow(text.substr(0, 4000), rows.back());
  return 0;
}

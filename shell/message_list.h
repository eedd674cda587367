// The message list (ListView1): one item per index row, in display order, with the columns of
// the list and the selection. Items keep their row text and the field offsets into it, so a
// folder of 100,000 rows costs one string per row.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "port/ui_port.h"
#include "store/index_row.h"

namespace plumex {

// Columns of the list.
enum MessageColumn : int {
  kColPriorityIcon = 0,
  kColAttachIcon = 1,
  kColSubject = 2,
  kColCorrespondent = 3,
  kColDate = 4,
  kColSize = 5,
  kColMsgId = 6,
  kColAttachFlag = 7,
  kColMark = 8,
  kColPriority = 9,
  kColReference = 10,
  kColDir = 11,
  kMessageColumnCount = 12,
};

// A row's place in a related-mail group: the first row shows the group icon, the others the
// member icon.
enum class RowGroup : uint8_t { None, First, Member };

// How a row is drawn by its Mark.
struct RowStyle {
  bool bold = false;
  bool has_colour = false;
  Rgb colour = 0;
};
RowStyle RowStyleOfMark(std::string_view mark);

class MessageList {
 public:
  class Listener {
   public:
    virtual ~Listener() = default;
    virtual void BeginReset() = 0;
    virtual void EndReset() = 0;
    virtual void RowChanged(size_t display_row) = 0;
    virtual void BeginReorder() = 0;
    // new_position_of_old[r] is where the row shown at r before the reorder now stands.
    virtual void EndReorder(const std::vector<uint32_t>& new_position_of_old) = 0;
    // Display rows first..last (inclusive) leave the list.
    virtual void BeginRemoveRows(size_t first, size_t last) = 0;
    virtual void EndRemoveRows() = 0;
  };

  void SetListener(Listener* listener) { listener_ = listener; }

  // Filling: BeginFill empties the list; AddRow appends one index row in stored order and
  // tells whether it was valid (eight fields or more). with_reference puts field 8 in column 10.
  void BeginFill(size_t expected_rows = 0);
  bool AddRow(std::string line, bool with_reference, RowGroup group = RowGroup::None);
  void EndFill();
  void Clear();

  size_t Count() const { return order_.size(); }
  bool IsValid(size_t display_row) const { return ItemAt(display_row).valid; }
  std::string_view Column(size_t display_row, int column) const;
  std::string_view MessageId(size_t display_row) const { return Column(display_row, kColMsgId); }
  std::string_view Mark(size_t display_row) const { return Column(display_row, kColMark); }
  RowGroup Group(size_t display_row) const { return ItemAt(display_row).group; }

  // The eight fields rebuilt from the item's columns, joined by TAB.
  std::string RebuildRow(size_t display_row) const;
  void SetMark(size_t display_row, std::string_view mark);

  // Sorts by the text of a column, byte by byte ignoring the case of ASCII letters; stable.
  void SortByColumn(int column, bool descending);

  // Removes the rows for which leaves(display_row) is true; the other rows keep their order.
  // The listener hears of each run of neighbouring rows once, the last run first.
  void RemoveRows(const std::function<bool(size_t display_row)>& leaves);

  // Selection, as display rows (kept across sorts).
  void SetSelection(const std::vector<size_t>& display_rows);
  std::vector<size_t> Selection() const;

 private:
  static constexpr size_t kMaxFields = IndexRow::kExtra + 1;
  struct Item {
    std::string line;
    std::array<uint32_t, kMaxFields> begin{};
    std::array<uint32_t, kMaxFields> end{};
    bool valid = false;
    bool with_reference = false;
    bool selected = false;
    RowGroup group = RowGroup::None;
  };
  const Item& ItemAt(size_t display_row) const { return items_[order_[display_row]]; }
  static void SetLine(Item& item, std::string line);
  static std::string_view Field(const Item& item, size_t field);
  static std::string_view ColumnOf(const Item& item, int column);

  std::vector<Item> items_;
  std::vector<uint32_t> order_;  // display row -> item
  Listener* listener_ = nullptr;
};

}  // namespace plumex

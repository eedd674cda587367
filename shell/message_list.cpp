#include "shell/message_list.h"

#include <algorithm>

#include "text/ascii_case.h"

namespace plumex {

RowStyle RowStyleOfMark(std::string_view mark) {
  if (mark == "1") return {true, false, 0};
  if (mark == "2") return {false, true, 0x000000};
  if (mark == "3") return {false, true, 0xFF0000};
  if (mark == "4") return {false, true, 0x0000FF};
  if (mark == "5") return {false, true, 0x008000};
  if (mark == "6") return {false, true, 0xFF00FF};
  if (mark == "7") return {false, true, 0x00FFFF};
  return {};
}

void MessageList::SetLine(Item& item, std::string line) {
  item.line = std::move(line);
  const std::string& s = item.line;
  const auto size = static_cast<uint32_t>(s.size());
  size_t start = 0;
  bool more = true;  // a field starts at `start`
  size_t tabs = 0;
  for (size_t f = 0; f < kMaxFields; ++f) {
    if (!more) {
      item.begin[f] = item.end[f] = size;
      continue;
    }
    size_t tab = s.find('\t', start);
    item.begin[f] = static_cast<uint32_t>(start);
    item.end[f] = tab == std::string::npos ? size : static_cast<uint32_t>(tab);
    if (tab == std::string::npos) {
      more = false;
    } else {
      ++tabs;
      start = tab + 1;
    }
  }
  item.valid = tabs + 1 >= kIndexRowFields;
}

std::string_view MessageList::Field(const Item& item, size_t field) {
  return std::string_view(item.line).substr(item.begin[field], item.end[field] - item.begin[field]);
}

std::string_view MessageList::ColumnOf(const Item& item, int column) {
  if (!item.valid) return {};
  switch (column) {
    case kColSubject: return Field(item, IndexRow::kSubject);
    case kColCorrespondent: return Field(item, IndexRow::kCorrespondent);
    case kColDate: return Field(item, IndexRow::kDate);
    case kColSize: return Field(item, IndexRow::kSize);
    case kColMsgId: return Field(item, IndexRow::kMessageId);
    case kColAttachFlag: return Field(item, IndexRow::kAttachFlag);
    case kColMark: return Field(item, IndexRow::kMark);
    case kColPriority: return Field(item, IndexRow::kPriority);
    case kColReference: return item.with_reference ? Field(item, IndexRow::kExtra) : std::string_view();
    default: return {};
  }
}

void MessageList::BeginFill(size_t expected_rows) {
  if (listener_) listener_->BeginReset();
  items_.clear();
  order_.clear();
  items_.reserve(expected_rows);
  order_.reserve(expected_rows);
}

bool MessageList::AddRow(std::string line, bool with_reference, RowGroup group) {
  Item item;
  SetLine(item, std::move(line));
  item.with_reference = with_reference;
  item.group = group;
  bool valid = item.valid;
  order_.push_back(static_cast<uint32_t>(items_.size()));
  items_.push_back(std::move(item));
  return valid;
}

void MessageList::EndFill() {
  if (listener_) listener_->EndReset();
}

void MessageList::Clear() {
  BeginFill();
  EndFill();
}

std::string_view MessageList::Column(size_t display_row, int column) const { return ColumnOf(ItemAt(display_row), column); }

std::string MessageList::RebuildRow(size_t display_row) const {
  static constexpr int kColumns[] = {kColMsgId, kColSubject, kColCorrespondent, kColDate,
                                     kColSize,  kColAttachFlag, kColMark, kColPriority};
  std::string row;
  for (int c : kColumns) {
    if (c != kColMsgId) row += '\t';
    row += Column(display_row, c);
  }
  return row;
}

void MessageList::SetMark(size_t display_row, std::string_view mark) {
  Item& item = items_[order_[display_row]];
  if (!item.valid) return;
  std::string line = item.line.substr(0, item.begin[IndexRow::kMark]);
  line += mark;
  line += item.line.substr(item.end[IndexRow::kMark]);
  SetLine(item, std::move(line));
  if (listener_) listener_->RowChanged(display_row);
}

void MessageList::SortByColumn(int column, bool descending) {
  if (listener_) listener_->BeginReorder();
  std::vector<uint32_t> old_order = order_;
  // Keys folded once (ASCII letters to lower case, trail bytes kept) compare with memcmp in
  // the same order as CompareIgnoringCase; keys without capitals are used as they stand.
  std::vector<std::string_view> keys(items_.size());
  std::string folded;
  std::vector<std::pair<size_t, size_t>> folded_at;  // item, offset into folded
  for (size_t i = 0; i < items_.size(); ++i) {
    std::string_view key = ColumnOf(items_[i], column);
    keys[i] = key;
    bool needs_folding = false;
    for (char c : key)
      if (c >= 'A' && c <= 'Z') {
        needs_folding = true;
        break;
      }
    if (!needs_folding) continue;
    folded_at.emplace_back(i, folded.size());
    AppendFoldedCase(folded, key);
  }
  for (auto [item, offset] : folded_at) keys[item] = std::string_view(folded).substr(offset, keys[item].size());
  if (descending)
    std::stable_sort(order_.begin(), order_.end(), [&](uint32_t a, uint32_t b) { return keys[b] < keys[a]; });
  else
    std::stable_sort(order_.begin(), order_.end(), [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
  if (listener_) {
    std::vector<uint32_t> position_of_item(items_.size());
    for (size_t r = 0; r < order_.size(); ++r) position_of_item[order_[r]] = static_cast<uint32_t>(r);
    std::vector<uint32_t> moved(old_order.size());
    for (size_t r = 0; r < old_order.size(); ++r) moved[r] = position_of_item[old_order[r]];
    listener_->EndReorder(moved);
  }
}

void MessageList::RemoveRows(const std::function<bool(size_t display_row)>& leaves) {
  std::vector<bool> gone(order_.size());
  bool any = false;
  for (size_t r = 0; r < order_.size(); ++r) any |= (gone[r] = leaves(r));
  if (!any) return;
  // Runs from the bottom, so the display rows of the runs still to go stay as they were.
  for (size_t end = order_.size(); end > 0;) {
    if (!gone[end - 1]) {
      --end;
      continue;
    }
    size_t begin = end - 1;
    while (begin > 0 && gone[begin - 1]) --begin;
    if (listener_) listener_->BeginRemoveRows(begin, end - 1);
    order_.erase(order_.begin() + static_cast<std::ptrdiff_t>(begin), order_.begin() + static_cast<std::ptrdiff_t>(end));
    if (listener_) listener_->EndRemoveRows();
    end = begin;
  }
  // The items no row shows any more go; the rest are renumbered in display terms.
  std::vector<Item> kept;
  kept.reserve(order_.size());
  for (uint32_t& item : order_) {
    kept.push_back(std::move(items_[item]));
    item = static_cast<uint32_t>(kept.size() - 1);
  }
  items_ = std::move(kept);
}

void MessageList::SetSelection(const std::vector<size_t>& display_rows) {
  for (auto& item : items_) item.selected = false;
  for (size_t r : display_rows)
    if (r < order_.size()) items_[order_[r]].selected = true;
}

std::vector<size_t> MessageList::Selection() const {
  std::vector<size_t> rows;
  for (size_t r = 0; r < order_.size(); ++r)
    if (items_[order_[r]].selected) rows.push_back(r);
  return rows;
}

}  // namespace plumex

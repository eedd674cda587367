#include "addressbook/record_order.h"

#include <algorithm>
#include <numeric>

#include "platform/ascii_case.h"

namespace plumex {
namespace {

// Positions 0..n-1 sorted by a key per position, ties by position.
template <class Less>
std::vector<size_t> SortedPositions(size_t n, Less less) {
  std::vector<size_t> order(n);
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), less);
  return order;
}

}  // namespace

void SortRecordLines(std::vector<std::string>& lines, const TextCollation& collation) {
  // One key per line, made once: a key costs far more than comparing two.
  std::vector<std::pair<std::string, size_t>> keyed;
  keyed.reserve(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) keyed.emplace_back(collation.SortKey(lines[i]), i);
  std::sort(keyed.begin(), keyed.end(), [&lines](const auto& a, const auto& b) {
    if (int c = a.first.compare(b.first); c != 0) return c < 0;
    return lines[a.second] < lines[b.second];
  });
  std::vector<std::string> sorted;
  sorted.reserve(lines.size());
  for (auto& [key, i] : keyed) sorted.push_back(std::move(lines[i]));
  lines = std::move(sorted);
}

std::vector<size_t> ColumnOrder(const std::vector<AddressRecord>& records, RecordColumn column, bool descending,
                                const TextCollation& name_collation) {
  std::vector<size_t> order;
  if (column == RecordColumn::Name) {
    std::vector<std::string> keys;
    keys.reserve(records.size());
    for (const auto& r : records) keys.push_back(name_collation.SortKey(r.name));
    order = SortedPositions(records.size(), [&keys](size_t a, size_t b) { return keys[a] < keys[b]; });
  } else {
    auto text = [column](const AddressRecord& r) -> const std::string& {
      return column == RecordColumn::Address ? r.address : r.remark;
    };
    order = SortedPositions(records.size(), [&](size_t a, size_t b) {
      return CompareIgnoringCase(text(records[a]), text(records[b])) < 0;
    });
  }
  if (descending) std::reverse(order.begin(), order.end());
  return order;
}

}  // namespace plumex

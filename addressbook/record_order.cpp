#include "addressbook/record_order.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

#include "text/ascii_case.h"
#include "platform/text_file.h"

namespace plumex {
namespace {

// Sort keys of many texts in one buffer, each with its first eight bytes as one number that
// decides most comparisons without a look into the buffer.
class KeyTable {
 public:
  void Add(const TextCollation& collation, std::string_view text) {
    const size_t start = bytes_.size();
    collation.AppendSortKey(bytes_, text);
    uint64_t head = 0;
    for (size_t b = 0; b < 8; ++b)
      head = head << 8 | (start + b < bytes_.size() ? static_cast<unsigned char>(bytes_[start + b]) : 0u);
    keys_.push_back({start, bytes_.size() - start, head});
  }
  // -1, 0, 1 as key i is before, the same as, after key j.
  int Compare(size_t i, size_t j) const {
    if (keys_[i].head != keys_[j].head) return keys_[i].head < keys_[j].head ? -1 : 1;
    const int c = Key(i).compare(Key(j));
    return (c > 0) - (c < 0);
  }

 private:
  std::string_view Key(size_t i) const { return std::string_view(bytes_).substr(keys_[i].start, keys_[i].size); }
  struct Entry {
    size_t start, size;
    uint64_t head;
  };
  std::string bytes_;
  std::vector<Entry> keys_;
};

// Positions 0..n-1 sorted by a key per position, ties by position.
template <class Less>
std::vector<size_t> SortedPositions(size_t n, Less less) {
  std::vector<size_t> order(n);
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), less);
  return order;
}

}  // namespace

BookCollations BookCollations::Japanese() {
  return {MakeJapaneseCollation(CollationStrength::IgnoreCase), MakeJapaneseCollation(CollationStrength::Primary),
          MakeJapaneseCollation(CollationStrength::LetterCase)};
}

std::vector<size_t> OpeningOrder(const std::vector<std::string_view>& lines, const BookCollations& collations) {
  // Whole lines compare by the base letters of all their characters first. A TAB has the
  // lowest such weight there is, so lines whose names differ in their base letters are in the
  // order of their names alone (a name that begins another comes first in both orders). Only
  // lines whose names agree in base letters need the key of the whole line, which costs many
  // times the key of a name.
  KeyTable names;
  for (const auto& line : lines) names.Add(*collations.name_letters, line.substr(0, line.find('\t')));
  std::vector<size_t> order(lines.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const int c = names.Compare(a, b);
    return c != 0 ? c < 0 : a < b;
  });
  for (size_t first = 0; first < order.size();) {
    size_t last = first + 1;
    while (last < order.size() && names.Compare(order[first], order[last]) == 0) ++last;
    if (last - first > 1) {
      KeyTable whole;
      for (size_t k = first; k < last; ++k) whole.Add(*collations.line, lines[order[k]]);
      std::vector<size_t> group(order.begin() + static_cast<std::ptrdiff_t>(first),
                                order.begin() + static_cast<std::ptrdiff_t>(last));
      std::vector<size_t> rank(group.size());
      std::iota(rank.begin(), rank.end(), size_t{0});
      std::sort(rank.begin(), rank.end(), [&](size_t a, size_t b) {
        if (int c = whole.Compare(a, b); c != 0) return c < 0;
        if (int c = lines[group[a]].compare(lines[group[b]]); c != 0) return c < 0;
        return group[a] < group[b];
      });
      for (size_t k = 0; k < rank.size(); ++k) order[first + k] = group[rank[k]];
    }
    first = last;
  }
  return order;
}

std::vector<AddressRecord> SortedRecords(std::string_view file_bytes, const BookCollations& collations) {
  std::vector<std::string_view> lines;
  lines.reserve(file_bytes.size() / 48);
  ForEachLine(file_bytes, [&](std::string_view line, std::string_view) { lines.push_back(line); });
  std::vector<AddressRecord> records;
  records.reserve(lines.size());
  for (size_t i : OpeningOrder(lines, collations)) records.push_back(AddressRecord::Parse(lines[i]));
  return records;
}

std::vector<size_t> ColumnOrder(const std::vector<AddressRecord>& records, RecordColumn column, bool descending,
                                const BookCollations& collations) {
  std::vector<size_t> order;
  if (column == RecordColumn::Name) {
    KeyTable keys;
    for (const auto& r : records) keys.Add(*collations.name_case, r.name);
    order = SortedPositions(records.size(), [&keys](size_t a, size_t b) { return keys.Compare(a, b) < 0; });
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

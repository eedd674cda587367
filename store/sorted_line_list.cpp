#include "store/sorted_line_list.h"

#include <algorithm>
#include <iterator>

namespace plumex {
namespace {

struct LessIgnoringCase {
  bool operator()(const std::string& a, const std::string& b) const { return CompareIgnoringCase(a, b) < 0; }
  bool operator()(const std::string& a, std::string_view b) const { return CompareIgnoringCase(a, b) < 0; }
};

}  // namespace

void SortedLineList::Assign(std::vector<std::string> lines) {
  // Files this list wrote are sorted already: checking costs one pass, sorting far more.
  if (!std::is_sorted(lines.begin(), lines.end(), LessIgnoringCase{}))
    std::stable_sort(lines.begin(), lines.end(), LessIgnoringCase{});
  auto last = std::unique(lines.begin(), lines.end(),
                          [](const std::string& a, const std::string& b) { return EqualIgnoringCase(a, b); });
  lines.erase(last, lines.end());
  head_ = std::move(lines);
  tail_.clear();
  tail_keys_.clear();
}

bool SortedLineList::Add(std::string line) {
  if (std::binary_search(head_.begin(), head_.end(), line, LessIgnoringCase{})) return false;
  if (!tail_keys_.insert(FoldCase(line)).second) return false;
  tail_.push_back(std::move(line));
  return true;
}

void SortedLineList::Merge() const {
  if (tail_.empty()) return;
  std::stable_sort(tail_.begin(), tail_.end(), LessIgnoringCase{});
  size_t middle = head_.size();
  head_.insert(head_.end(), std::make_move_iterator(tail_.begin()), std::make_move_iterator(tail_.end()));
  std::inplace_merge(head_.begin(), head_.begin() + static_cast<std::ptrdiff_t>(middle), head_.end(),
                     LessIgnoringCase{});
  tail_.clear();
  tail_keys_.clear();
}

bool SortedLineList::Contains(std::string_view line) const {
  auto it = std::lower_bound(head_.begin(), head_.end(), line,
                             [](const std::string& a, std::string_view b) { return CompareIgnoringCase(a, b) < 0; });
  if (it != head_.end() && EqualIgnoringCase(*it, line)) return true;
  return !tail_keys_.empty() && tail_keys_.count(FoldCase(line)) > 0;
}

const std::vector<std::string>& SortedLineList::Lines() const {
  Merge();
  return head_;
}

void SortedLineList::RemoveAt(size_t position) {
  Merge();
  if (position < head_.size()) head_.erase(head_.begin() + static_cast<std::ptrdiff_t>(position));
}

void SortedLineList::RemovePositions(std::vector<size_t> positions) {
  if (positions.empty()) return;
  Merge();
  std::sort(positions.begin(), positions.end());
  size_t out = 0, next = 0;
  for (size_t i = 0; i < head_.size(); ++i) {
    while (next < positions.size() && positions[next] < i) ++next;
    if (next < positions.size() && positions[next] == i) continue;
    if (out != i) head_[out] = std::move(head_[i]);
    ++out;
  }
  head_.resize(out);
}

void SortedLineList::Clear() {
  head_.clear();
  tail_.clear();
  tail_keys_.clear();
}

size_t SortedLineList::IndexOf(std::string_view line) const {
  Merge();
  auto it = std::lower_bound(head_.begin(), head_.end(), line,
                             [](const std::string& a, std::string_view b) { return CompareIgnoringCase(a, b) < 0; });
  if (it != head_.end() && EqualIgnoringCase(*it, line)) return static_cast<size_t>(it - head_.begin());
  return npos;
}

}  // namespace plumex

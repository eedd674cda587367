#include "store/sorted_line_list.h"

#include <algorithm>
#include <iterator>

#include "platform/code_page.h"

namespace plumex {
namespace {

inline unsigned char Lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

struct LessIgnoringCase {
  bool operator()(const std::string& a, const std::string& b) const { return CompareIgnoringCase(a, b) < 0; }
  bool operator()(const std::string& a, std::string_view b) const { return CompareIgnoringCase(a, b) < 0; }
};

}  // namespace

int CompareIgnoringCase(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  bool trail = false;  // the previous byte of both texts was the same lead byte
  for (size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(a[i]);
    auto y = static_cast<unsigned char>(b[i]);
    if (!trail) {
      x = Lower(x);
      y = Lower(y);
    }
    if (x != y) return x < y ? -1 : 1;
    trail = !trail && IsCp932LeadByte(x);
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareIgnoringCase(a, b) == 0;
}

std::string SortedLineList::Fold(std::string_view line) {
  std::string folded(line);
  for (size_t i = 0; i < folded.size(); ++i) {
    auto c = static_cast<unsigned char>(folded[i]);
    if (IsCp932LeadByte(c)) {
      ++i;
      continue;
    }
    folded[i] = static_cast<char>(Lower(c));
  }
  return folded;
}

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
  if (!tail_keys_.insert(Fold(line)).second) return false;
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

const std::vector<std::string>& SortedLineList::Lines() const {
  Merge();
  return head_;
}

void SortedLineList::RemoveAt(size_t position) {
  Merge();
  if (position < head_.size()) head_.erase(head_.begin() + static_cast<std::ptrdiff_t>(position));
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

// A sorted list of lines that ignores an added line equal to one already present, lines being
// compared without regard to letter case (CompareIgnoringCase). Folder indexes and the list of
// fetched Message-IDs are kept this way.
//
// Added lines wait in a short unsorted tail and are merged in when the list is next read, so
// adding k lines to a list of n costs O(k log n) plus one O(n + k log k) merge, never O(k * n).
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "text/ascii_case.h"

namespace plumex {

class SortedLineList {
 public:
  SortedLineList() = default;
  explicit SortedLineList(std::vector<std::string> lines) { Assign(std::move(lines)); }

  // Replaces the contents (sorted, duplicates dropped).
  void Assign(std::vector<std::string> lines);
  // False when a line equal to it (ignoring case) is present.
  bool Add(std::string line);
  void RemoveAt(size_t position);
  // Removes the lines at these positions (of Lines(), any order, repeats allowed) in one pass,
  // so taking k lines out of n costs O(n + k log k), not O(k * n).
  void RemovePositions(std::vector<size_t> positions);
  void Clear();

  // The lines in sorted order.
  const std::vector<std::string>& Lines() const;
  size_t Size() const { return head_.size() + tail_.size(); }
  bool Empty() const { return Size() == 0; }
  const std::string& operator[](size_t i) const { return Lines()[i]; }

  // Position of a line equal to `line` ignoring case, or npos.
  size_t IndexOf(std::string_view line) const;
  // Whether such a line is present; never merges, so asking after every Add stays cheap.
  bool Contains(std::string_view line) const;

  static constexpr size_t npos = static_cast<size_t>(-1);

 private:
  void Merge() const;

  mutable std::vector<std::string> head_;  // sorted, unique
  mutable std::vector<std::string> tail_;  // added since the last merge
  mutable std::unordered_set<std::string> tail_keys_;
};

}  // namespace plumex

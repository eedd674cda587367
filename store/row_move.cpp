#include "store/row_move.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "text/ascii_case.h"
#include "platform/directories.h"
#include "platform/text_file.h"
#include "store/file_key.h"
#include "store/message_file_key.h"
#include "store/message_files.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

std::string_view IdOf(std::string_view row) { return row.substr(0, row.find('\t')); }

// Position of the first row of each id in a sorted index, for the rows being moved.
class RowFinder {
 public:
  explicit RowFinder(const std::vector<std::string>& lines) : lines_(lines) {
    first_.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) first_.emplace(IdOf(lines[i]), i);
  }
  // The first row of id not taken yet, or npos.
  size_t Take(std::string_view id) {
    auto it = first_.find(id);
    if (it == first_.end()) return npos;
    for (size_t i = it->second; i < lines_.size(); ++i) {
      if (IdOf(lines_[i]) != id) continue;
      if (taken_.insert(i).second) return i;
    }
    return npos;
  }
  static constexpr size_t npos = static_cast<size_t>(-1);

 private:
  const std::vector<std::string>& lines_;
  std::unordered_map<std::string_view, size_t> first_;
  std::unordered_set<size_t> taken_;
};

struct LessIgnoringCase {
  bool operator()(const std::string& a, const std::string& b) const { return CompareIgnoringCase(a, b) < 0; }
};

}  // namespace

MoveResult MoveRows(const std::vector<std::string>& rows, MoveSource& source, MoveTarget& target,
                    const MoveOptions& options) {
  MoveResult result;
  std::vector<std::string> target_rows;
  if (!ReadLines(target.index_file, target_rows) && !FileExists(target.index_file))
    WriteFileAtomic(target.index_file, "");
  std::unordered_set<std::string> target_ids;
  if (options.check_duplicates) {
    target_ids.reserve(target_rows.size() + rows.size());
    for (const auto& r : target_rows) target_ids.emplace(IdOf(r));
  }
  const size_t kept_rows = target_rows.size();

  const bool takes_rows = options.files != FileAction::Copy && source.index;
  std::optional<RowFinder> finder;
  if (takes_rows) finder.emplace(source.index->Lines());
  std::vector<size_t> leaving;

  for (const std::string& row : rows) {
    const std::string id(IdOf(row));
    if (options.check_duplicates && target_ids.count(id)) {
      result.duplicates.push_back(row);
      continue;
    }
    // Each folder may keep the message under a key of its own (another message already held
    // the plain one): the files are found, and placed, by the id they belong to.
    const std::string from_key = FileKeyInFolder(source.dir, id);
    const std::string to_key = FileKeyInFolder(target.dir, id);
    std::error_code error;
    if (options.files == FileAction::Move) error = MoveMessageFiles(source.dir, from_key, target.dir, to_key);
    else if (options.files == FileAction::Copy) error = CopyMessageFiles(source.dir, from_key, target.dir, to_key);
    if (error) {
      result.failed.push_back({row, error});
      continue;
    }
    target_rows.push_back(row);
    if (options.check_duplicates) target_ids.insert(id);
    if (takes_rows) {
      size_t at = finder->Take(id);
      if (at != RowFinder::npos) leaving.push_back(at);
    }
    result.moved_ids.push_back(id);
  }

  if (target_rows.size() != kept_rows) {
    // Sorted like every index the folder on screen writes; a row dropped twice stays twice.
    auto middle = target_rows.begin() + static_cast<std::ptrdiff_t>(kept_rows);
    std::stable_sort(middle, target_rows.end(), LessIgnoringCase{});
    if (!std::is_sorted(target_rows.begin(), middle, LessIgnoringCase{}))
      std::stable_sort(target_rows.begin(), middle, LessIgnoringCase{});
    std::inplace_merge(target_rows.begin(), middle, target_rows.end(), LessIgnoringCase{});
    WriteLines(target.index_file, target_rows);
    result.target_changed = true;
  }
  if (takes_rows && !leaving.empty()) {
    source.index->RemovePositions(std::move(leaving));
    WriteLines(source.index_file, source.index->Lines());
    result.source_changed = true;
  }
  if (!options.same_account && !result.moved_ids.empty()) {
    if (target.ids) {
      for (const auto& id : result.moved_ids) target.ids->Add(id);
      target.ids->Save(target.ids_file);
    }
    if (source.ids) {
      source.ids->RemoveAll(result.moved_ids);
      source.ids->Save(source.ids_file);
    }
  }
  return result;
}

}  // namespace plumex

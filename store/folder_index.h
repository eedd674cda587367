// FolderIndex: the index file of a folder ("MsgID.ini", "Send.ini" or "temp.ini") held in
// memory as a sorted list of rows, and the row helpers shared by every command.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>
#include <string_view>

#include "store/sorted_line_list.h"

namespace plumex {

class FolderIndex {
 public:
  FolderIndex() = default;

  // Loads the index file; a missing file is created empty (its directory must exist).
  // Throws FileWriteError when the empty file cannot be created.
  static FolderIndex Open(const std::filesystem::path& file);
  // Loads the file when it exists; an empty list otherwise (nothing is written).
  static FolderIndex LoadIfExists(const std::filesystem::path& file);

  void Save(const std::filesystem::path& file) const;

  SortedLineList& Rows() { return rows_; }
  const SortedLineList& Rows() const { return rows_; }
  bool Add(std::string row) { return rows_.Add(std::move(row)); }
  size_t Size() const { return rows_.Size(); }

 private:
  SortedLineList rows_;
};

// Position of the first row (in sorted order) whose MessageId equals id exactly, or nothing.
std::optional<size_t> FindRow(const SortedLineList& rows, std::string_view id);
inline std::optional<size_t> FindRow(const FolderIndex& index, std::string_view id) {
  return FindRow(index.Rows(), id);
}

// Rows whose Mark is exactly "1" (unread).
long long CountUnread(const SortedLineList& rows);
inline long long CountUnread(const FolderIndex& index) { return CountUnread(index.Rows()); }
// The same for an index file, read without building its rows (the folder tree counts every
// folder at start); a missing file is created empty, as FolderIndex::Open does.
long long CountUnreadInIndexFile(const std::filesystem::path& file);

// Changing one row: finds the row of id, replaces it by new_row and writes the whole index to
// file. A row that is not found is left alone and nothing is written; returns whether it was.
bool ChangeRow(FolderIndex& index, std::string_view id, std::string new_row, const std::filesystem::path& file);

// Adds rows to the index file as it is on disk now, so that what others wrote there since it
// was read (a mark, a delete) stays; a row whose id the file already has is left alone.
void AddRowsToIndexOnDisk(const std::filesystem::path& file, const std::vector<std::string>& rows);

}  // namespace plumex

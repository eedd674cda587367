#include "store/folder_index.h"

#include <vector>

#include "platform/directories.h"
#include "platform/text_file.h"
#include "store/index_row.h"
#include "store/tab_line.h"

namespace plumex {

FolderIndex FolderIndex::Open(const std::filesystem::path& file) {
  FolderIndex index;
  std::vector<std::string> lines;
  if (ReadLines(file, lines)) {
    index.rows_.Assign(std::move(lines));
  } else if (!FileExists(file)) {
    WriteFileAtomic(file, "");
  }
  return index;
}

FolderIndex FolderIndex::LoadIfExists(const std::filesystem::path& file) {
  FolderIndex index;
  std::vector<std::string> lines;
  if (ReadLines(file, lines)) index.rows_.Assign(std::move(lines));
  return index;
}

void FolderIndex::Save(const std::filesystem::path& file) const { WriteLines(file, rows_.Lines()); }

std::optional<size_t> FindRow(const SortedLineList& rows, std::string_view id) {
  const auto& lines = rows.Lines();
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    size_t tab = line.find('\t');
    if (line.substr(0, tab) == id) return i;
  }
  return std::nullopt;
}

long long CountUnread(const SortedLineList& rows) {
  long long n = 0;
  for (const auto& line : rows.Lines())
    if (FieldView(line, IndexRow::kMark) == kMarkUnread) ++n;
  return n;
}

long long CountUnreadInIndexFile(const std::filesystem::path& file) {
  const auto bytes = ReadFileBytes(file);
  if (!bytes) {
    if (!FileExists(file)) WriteFileAtomic(file, "");
    return 0;
  }
  long long n = 0;
  // Counted in place: no row is copied.
  ForEachLine(*bytes, [&](std::string_view line, std::string_view) {
    if (FieldView(line, IndexRow::kMark) == kMarkUnread) ++n;
  });
  return n;
}

bool ChangeRow(FolderIndex& index, std::string_view id, std::string new_row, const std::filesystem::path& file) {
  auto position = FindRow(index, id);
  if (!position) return false;
  index.Rows().RemoveAt(*position);
  index.Add(std::move(new_row));
  index.Save(file);
  return true;
}

void AddRowsToIndexOnDisk(const std::filesystem::path& file, const std::vector<std::string>& rows) {
  FolderIndex index = FolderIndex::Open(file);
  bool changed = false;
  for (const std::string& row : rows)
    if (!FindRow(index, FieldOf(row, IndexRow::kMessageId)) && index.Add(row)) changed = true;
  if (changed) index.Save(file);
}

}  // namespace plumex

#include "store/received_id_list.h"

#include <vector>

#include "platform/directories.h"
#include "platform/text_file.h"

namespace plumex {

ReceivedIdList ReceivedIdList::Open(const std::filesystem::path& file) {
  ReceivedIdList list;
  std::vector<std::string> lines;
  if (ReadLines(file, lines)) {
    list.ids_.Assign(std::move(lines));
  } else {
    EnsureDirectory(file.parent_path());
    WriteFileAtomic(file, "");
  }
  return list;
}

bool ReceivedIdList::Remove(std::string_view id) {
  size_t i = ids_.IndexOf(id);
  if (i == SortedLineList::npos) return false;
  ids_.RemoveAt(i);
  return true;
}

void ReceivedIdList::RemoveAll(const std::vector<std::string>& ids) {
  std::vector<size_t> positions;
  positions.reserve(ids.size());
  for (const auto& id : ids) {
    size_t i = ids_.IndexOf(id);
    if (i != SortedLineList::npos) positions.push_back(i);
  }
  ids_.RemovePositions(std::move(positions));
}

void ReceivedIdList::Save(const std::filesystem::path& file) const { WriteLines(file, ids_.Lines()); }

}  // namespace plumex

#include "store/row_delete.h"

#include <string_view>
#include <unordered_set>

#include "platform/directories.h"
#include "platform/text_file.h"
#include "store/file_key.h"
#include "store/message_file_key.h"
#include "store/message_files.h"

namespace plumex {
namespace {

std::string_view IdOf(std::string_view row) { return row.substr(0, row.find('\t')); }

constexpr std::string_view kRefIndexName = "Ref.ini";

}  // namespace

DeleteResult DeleteRows(const std::vector<std::string>& rows, DeletePlace& place) {
  DeleteResult result;
  std::unordered_set<std::string> gone;
  for (const std::string& row : rows) {
    const std::string id(IdOf(row));
    if (gone.count(id)) continue;
    // The key of this id's own file: another message may hold the plain key.
    const std::string key = FileKeyInFolder(place.dir, id);
    if (auto e = TryRemove(MessageFileIn(place.dir, key))) {
      result.failed.push_back({row, e});
      continue;
    }
    if (auto e = TryRemove(OriginalIn(place.dir, key))) result.failed.push_back({row, e});
    else if (auto e = TryRemove(AttachmentsIn(place.dir, key, place.attachments))) result.failed.push_back({row, e});
    gone.insert(id);
    result.deleted_ids.push_back(id);
  }
  if (result.deleted_ids.empty()) return result;

  if (place.index) {
    std::vector<size_t> positions;
    std::unordered_set<std::string_view> removed_once;
    const auto& lines = place.index->Lines();
    for (size_t i = 0; i < lines.size(); ++i) {
      std::string_view id = IdOf(lines[i]);
      if (!gone.count(std::string(id))) continue;
      // The first row of an id goes; in a send folder a second one too.
      if (!place.every_row_of_id && !removed_once.insert(id).second) continue;
      positions.push_back(i);
    }
    place.index->RemovePositions(std::move(positions));
    WriteLines(place.index_file, place.index->Lines());
  }
  if (place.ids) {
    place.ids->RemoveAll(result.deleted_ids);
    place.ids->Save(place.ids_file);
  }
  if (place.ref_lines) {
    const auto ref_file = place.dir / std::string(kRefIndexName);
    std::vector<std::string> ref, kept;
    ReadLines(ref_file, ref);
    for (auto& line : ref)
      if (!gone.count(std::string(IdOf(line)))) kept.push_back(std::move(line));
    WriteLines(ref_file, kept);
  }
  return result;
}

}  // namespace plumex

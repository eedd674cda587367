// ReceivedIdList: "AlreadMsgID.ini" of an account, the Message-IDs already fetched for it,
// sorted and compared without regard to letter case.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "store/sorted_line_list.h"

namespace plumex {

class ReceivedIdList {
 public:
  // Loads the file; when it is missing, creates its directory and writes an empty file.
  static ReceivedIdList Open(const std::filesystem::path& file);

  bool Contains(std::string_view id) const { return ids_.Contains(id); }
  bool Add(std::string id) { return ids_.Add(std::move(id)); }
  bool Remove(std::string_view id);
  // Removes many ids in one pass over the list.
  void RemoveAll(const std::vector<std::string>& ids);
  void Save(const std::filesystem::path& file) const;

  const SortedLineList& Ids() const { return ids_; }
  void Clear() { ids_.Clear(); }

 private:
  SortedLineList ids_;
};

}  // namespace plumex

// Store maintenance: the receive folders' indexes lose rows that repeat a MessageId and gain a
// row for every message file no row names. Usable without a window.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace plumex {

struct FolderRepair {
  std::string folder;  // store path, relative to the mail root, with a trailing "\"
  size_t duplicates_removed = 0;  // rows dropped (repeats and rows without an id)
  size_t rows_rebuilt = 0;
  long long unread = 0;  // of the repaired index, for the folder's label
};

// Repairs every folder below dir (a native directory; store_path is its store path with a
// trailing "\"), depth first in listing order, skipping "Attachment" directories and every
// folder without "MsgID.ini" together with what lies below it. before_each runs before each
// folder entry and returns false to stop (the folders repaired so far keep their indexes).
// Returns every folder repaired, in order; false in `completed` when stopped.
std::vector<FolderRepair> RepairFolders(const std::filesystem::path& dir, const std::string& store_path,
                                        const std::function<bool()>& before_each, bool* completed = nullptr);

// The send tree ("送信" and its rule subfolders, each with a "Send.ini"): every index loses the
// rows that repeat a MessageId, and every sent copy in "送信" itself (where all copies are
// kept) that no index of the tree names gets a row in "送信\Send.ini". Returns the folders
// whose index changed, "送信" first when it did.
std::vector<FolderRepair> RepairSendFolders(const std::filesystem::path& send_dir, const std::string& store_path,
                                            const std::function<bool()>& before_each, bool* completed = nullptr);

// The rows of one folder's index after repair; exposed for the tests of the rules.
struct RepairedIndex {
  std::vector<std::string> rows;
  size_t duplicates_removed = 0;
  size_t rows_rebuilt = 0;
};
RepairedIndex RepairIndex(const std::filesystem::path& folder, std::vector<std::string> rows);

}  // namespace plumex

// The conversations of one folder: its index rows with the references of their messages,
// read from the full-text index where it is (one query) and from the message files otherwise.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "port/ui_port.h"
#include "search/threads.h"

namespace plumex {

struct FolderThreads {
  std::vector<ThreadMessage> messages;  // one per row, in the order of the rows
  std::vector<ThreadLine> lines;
};

// rows: the folder's index rows (eight fields). folder: its store path, trailing "\".
FolderThreads ThreadFolder(const std::filesystem::path& mail_root, const std::string& folder,
                           const std::vector<std::string>& rows, UiPort& ui, bool newest_first = false);

}  // namespace plumex

// The extraction walk of "メールの抽出": every message file (".txt") under a folder whose
// lines hold the key, ignoring the case of ASCII letters, one result row per file.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "port/ui_port.h"
#include "search/walk_pacer.h"

namespace plumex {

// A result row: the eight fields of an index row (MessageId, Subject, Correspondent, Date,
// Size from the file's pseudo-header; AttachFlag, Mark and Priority empty), then TAB and the
// store path of the directory holding the file, with a trailing "\".
struct ExtractionResult {
  std::vector<std::string> rows;
  size_t files_tested = 0;
  bool stopped = false;
};

// Whether a message file whose text holds the key holds it as typed too: for a key with
// characters code page 932 lacks (there a substitute), asked of the message's original.
using ExtractionConfirm = std::function<bool(const std::filesystem::path& message_file)>;

// Walks mail_root + folder (a store path with a trailing "\"). The "Attachment" directories
// are left out: an attached text file is no message. A file that cannot be read is skipped.
// Pending window messages run (and the progress shows files tested of files found) at least
// every `pump_interval`; the walk ends at once when stop_requested is set.
ExtractionResult ExtractMessages(const std::filesystem::path& mail_root, const std::string& folder,
                                 const std::string& key, UiPort& ui, const bool& stop_requested,
                                 std::chrono::milliseconds pump_interval = kPumpInterval,
                                 const ExtractionConfirm& confirm = nullptr);

// The result row of one message file (its lines), found in store folder `folder`.
std::string ExtractionRow(std::string_view file_text, const std::string& folder);

}  // namespace plumex

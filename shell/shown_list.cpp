// The message list's subjects and senders as sent.
#include "platform/store_path.h"
#include "shell/main_shell.h"
#include "shell/shown_text.h"

namespace plumex {

std::optional<std::string> MainShell::ShownColumn(size_t display_row, int column) {
  if ((column != kColSubject && column != kColCorrespondent) || display_row >= list_.Count() ||
      !list_.IsValid(display_row))
    return std::nullopt;
  if (!MayHaveSubstitute(list_.Column(display_row, column))) return std::nullopt;
  const std::string dir = MessageDirOf(display_row);
  const std::string id(list_.MessageId(display_row));
  const std::string cache_key = dir + '\t' + id;
  auto it = shown_columns_.find(cache_key);
  if (it == shown_columns_.end()) {
    // Only rows on screen are asked for; the cache is bounded all the same.
    if (shown_columns_.size() >= 4096) shown_columns_.clear();
    std::pair<std::string, std::string> texts =
        ShownSubjectAndSender(Native(dir), list_.RebuildRow(display_row));
    it = shown_columns_.emplace(cache_key, std::move(texts)).first;
  }
  return column == kColSubject ? it->second.first : it->second.second;
}

}  // namespace plumex

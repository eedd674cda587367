#include "shell/sender_trust_column.h"

#include <fstream>
#include <vector>

#include "shell/main_shell.h"
#include "store/message_file_key.h"
#include "store/stored_message.h"

namespace plumex {
namespace {

constexpr size_t kMaxHeaderLines = 64;
constexpr size_t kMaxCachedFiles = 20000;

}  // namespace

std::optional<SenderTrust> ReadStoredTrust(const std::filesystem::path& message_file) {
  std::ifstream in(message_file, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::string> lines;
  std::string line;
  while (lines.size() < kMaxHeaderLines && std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == kStoredMessageSeparator) break;
    lines.push_back(std::move(line));
  }
  return StoredTrust(lines);
}

std::optional<SenderTrust> SenderTrustColumn::TrustOf(size_t display_row) {
  MessageList& list = shell_.List();
  if (display_row >= list.Count() || !list.IsValid(display_row)) return std::nullopt;
  const std::string dir = shell_.MessageDirOf(display_row);
  const std::string id(list.MessageId(display_row));
  const std::string cache_key = dir + '\t' + id;
  if (auto it = cache_.find(cache_key); it != cache_.end()) return it->second;
  const std::string key = FileKeyInFolder(shell_.Native(dir), id);
  const auto trust = ReadStoredTrust(shell_.Native(dir + key + ".txt"));
  if (cache_.size() >= kMaxCachedFiles) cache_.clear();
  cache_.emplace(cache_key, trust);
  return trust;
}

}  // namespace plumex

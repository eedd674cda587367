#include "store/message_file_key.h"

#include <fstream>

#include "platform/store_path.h"
#include "store/file_key.h"
#include "store/stored_message.h"

namespace plumex {
namespace {

constexpr int kHeaderLinesRead = 64;

// The "Message-ID:" pseudo-header of a message file, read from its first lines only (a message
// file may be large); nothing when there is no file or no such line.
std::optional<std::string> StoredMessageId(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string line;
  for (int i = 0; i < kHeaderLinesRead && std::getline(in, line); ++i) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == kStoredMessageSeparator) break;
    if (line.starts_with("Message-ID:")) return line.substr(11);
  }
  return std::nullopt;
}

}  // namespace

std::string FileKeyInFolder(const std::filesystem::path& folder, std::string_view id) {
  const std::string key = MakeFileKey(id);
  // An id already in key form (drafts, rows rebuilt by maintenance) names its file directly.
  if (key == id) return key;
  const auto stored = StoredMessageId(folder / NativeName(key + ".txt"));
  if (!stored) {
    // A message filed before keys were made by character is found under its old key.
    const std::string legacy = LegacyFileKey(id);
    if (legacy != key && StoredMessageId(folder / NativeName(legacy + ".txt")) == std::optional<std::string>(id))
      return legacy;
    return key;
  }
  if (stored->empty() || *stored == id) return key;
  return DistinctFileKey(id);
}

}  // namespace plumex

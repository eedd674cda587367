#include "store/stored_message.h"

#include "platform/text_file.h"

namespace plumex {
namespace {

std::string_view WithoutColon(std::string_view key) {
  if (!key.empty() && key.back() == ':') key.remove_suffix(1);
  return key;
}

}  // namespace

std::optional<std::string> StoredMessage::Value(std::string_view key) const {
  key = WithoutColon(key);
  for (const auto& line : header_lines) {
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    if (std::string_view(line).substr(0, colon) == key) return line.substr(colon + 1);
  }
  return std::nullopt;
}

std::vector<std::string> StoredMessage::ToLines() const {
  std::vector<std::string> lines;
  lines.reserve(header_lines.size() + 1 + body_lines.size());
  lines.insert(lines.end(), header_lines.begin(), header_lines.end());
  lines.emplace_back(kStoredMessageSeparator);
  lines.insert(lines.end(), body_lines.begin(), body_lines.end());
  return lines;
}

StoredMessage ParseStoredMessage(std::vector<std::string> lines) {
  StoredMessage message;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != kStoredMessageSeparator) continue;
    message.header_lines.assign(std::make_move_iterator(lines.begin()),
                                std::make_move_iterator(lines.begin() + static_cast<std::ptrdiff_t>(i)));
    message.body_lines.assign(std::make_move_iterator(lines.begin() + static_cast<std::ptrdiff_t>(i) + 1),
                              std::make_move_iterator(lines.end()));
    return message;
  }
  message.body_lines = std::move(lines);
  return message;
}

std::optional<StoredMessage> ReadStoredMessage(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  if (!ReadLines(file, lines)) return std::nullopt;
  return ParseStoredMessage(std::move(lines));
}

void WriteStoredMessage(const std::filesystem::path& file, const StoredMessage& message) {
  WriteLines(file, message.ToLines());
}

std::string PseudoHeaderLine(std::string_view key, std::string_view value) {
  return std::string(WithoutColon(key)) + ":" + std::string(value);
}

}  // namespace plumex

// StoredMessage: one message file: pseudo-header lines "key:value", a line of 19 hyphens,
// then the body lines.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumex {

inline constexpr std::string_view kStoredMessageSeparator = "-------------------";
// A pseudo-header line of a received message for each saved part that has a Content-ID:
// "Content-ID:" + the id as sent ("<...>") + TAB + the part's file name in the message's
// attachment directory. The HTML view shows "cid:" pictures from these files.
inline constexpr std::string_view kContentIdKey = "Content-ID";

struct StoredMessage {
  std::vector<std::string> header_lines;  // without the separator
  std::vector<std::string> body_lines;

  // Value of the first pseudo-header whose key (the text before the first ":") equals key;
  // key may be given with or without its colon. Nothing when no line has that key.
  std::optional<std::string> Value(std::string_view key) const;
  std::string ValueOr(std::string_view key) const { return Value(key).value_or(std::string()); }

  // Lines as written: the header lines, the separator, the body lines.
  std::vector<std::string> ToLines() const;
};

// Splits the lines of a message file at the first line equal to the separator. A file without
// a separator has no pseudo-header: all of it is body.
StoredMessage ParseStoredMessage(std::vector<std::string> lines);

// Reads a message file; nothing when it cannot be read.
std::optional<StoredMessage> ReadStoredMessage(const std::filesystem::path& file);
void WriteStoredMessage(const std::filesystem::path& file, const StoredMessage& message);

// "key" + ":" + value, the colon added when key has none.
std::string PseudoHeaderLine(std::string_view key, std::string_view value);

}  // namespace plumex

// A filed message's texts as sent: decoded from its original (the bytes kept beside the
// message file) to UTF-8 by the same rules filing decodes them to code page 932, for showing
// every character the code page 932 text had to replace.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace plumex {

class ParsedMessage;

struct OriginalText {
  // The values of the message file's "あて名", "CCList", "差出人" and "件名" (UTF-8).
  std::string to, cc, from, subject;
  // The body as the message file holds it (runs of blank lines shortened), lines ending
  // CR LF; empty when only the header was read.
  std::string body;
  // Each attachment's file name in the store (code page 932) and its name as sent (UTF-8).
  std::vector<std::pair<std::string, std::string>> attachments;
  // The text of each text attachment (".txt", ".csv") as sent (UTF-8), by stored name.
  std::vector<std::pair<std::string, std::string>> attachment_texts;

  // The name as sent of the attachment stored under `stored_name`; "" when none matches.
  std::string AttachmentShownName(const std::string& stored_name) const;
};

// Decodes a parsed original; with_body false leaves body and attachments empty.
OriginalText DecodeOriginal(const ParsedMessage& message, bool with_body);

// Reads and decodes the original at `file`; nothing when there is none or it cannot be read.
// Without the body only the header block is read, however big the message.
std::optional<OriginalText> ReadOriginalText(const std::filesystem::path& file, bool with_body);

}  // namespace plumex

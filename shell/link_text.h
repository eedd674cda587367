// Links in a message body: the stretches to colour, and the link under the pointer. Both work
// on the body as the viewer holds it (UTF-16, one position per character, "\n" between lines).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumex {

inline constexpr size_t kMaxLinkChars = 256;

struct TextRange {
  size_t start = 0;
  size_t length = 0;
  bool operator==(const TextRange&) const = default;
};

// Every "http://" (not "https://") from its first character to the end of its line, the line
// break included; on the last line to the end of the text.
std::vector<TextRange> LinkColourRanges(std::u16string_view text);

// Digits, ASCII letters and # $ % & + - . / : = ? _ ~
bool IsLinkChar(char16_t c);

// The link whose run of link characters holds the character at position, scanning back to
// where "http://" or "https://" begins; nothing when there is none.
std::optional<std::u16string> FindLinkAt(std::u16string_view text, size_t position);

}  // namespace plumex

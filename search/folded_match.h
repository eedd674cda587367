// The text test of the subject search and the extraction: a key stands in a text when it is
// there once the ASCII letters of both are folded to one case, starting on a character
// boundary, so a two-byte character is never matched from its trail byte and its trail byte
// is never read as a letter.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

class FoldedKey {
 public:
  explicit FoldedKey(std::string_view cp932_key);

  bool Empty() const { return folded_.empty(); }
  // text is one line or many (CR and LF end a line and a character alike); the key is found
  // within one line only. scratch is reused between calls to spare an allocation per file.
  bool FoundIn(std::string_view text, std::string& scratch) const;
  bool FoundIn(std::string_view text) const {
    std::string scratch;
    return FoundIn(text, scratch);
  }

 private:
  std::string folded_;        // letters folded where they are letters, trail bytes kept
  std::string every_folded_;  // every byte in a..z folded, trail bytes too: the fast filter
  bool spans_lines_ = false;  // a key holding a line end stands in no line
};

}  // namespace plumex

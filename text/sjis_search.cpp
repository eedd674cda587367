#include "text/sjis_search.h"

#include "text/code_page.h"

namespace plumex {

size_t FindSjis(std::string_view text, std::string_view needle, size_t from) {
  if (needle.empty() || needle.size() > text.size()) return std::string_view::npos;
  size_t i = 0;
  // Walk character by character so a match never starts on a trail byte.
  while (i < from && i < text.size()) i += IsCp932LeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
  while (i + needle.size() <= text.size()) {
    if (text.compare(i, needle.size(), needle) == 0) return i;
    i += IsCp932LeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
  }
  return std::string_view::npos;
}

}  // namespace plumex

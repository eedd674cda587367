// Searching code page 932 text byte for byte without matching inside a two-byte character.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

// Position of the first occurrence of needle in text that starts on a character boundary,
// or npos. Case-sensitive. An empty needle is found nowhere.
size_t FindSjis(std::string_view text, std::string_view needle, size_t from = 0);

inline bool ContainsSjis(std::string_view text, std::string_view needle) {
  return FindSjis(text, needle) != std::string_view::npos;
}

}  // namespace plumex

// Letter case of ASCII letters, the only case mail names and the store's keys have. Two kinds
// of helper: byte-wise ones for protocol text (header names, charsets, capability words, file
// extensions), and ones for code page 932 text that never touch a trail byte, so that a
// two-byte character such as "ア" (0x83 0x41) is never read as an "A".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text/code_page.h"

namespace plumex {

constexpr char ToAsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr char ToAsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Every byte on its own.
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);

// Whether text holds prefix at byte position `at` (false past the end), ignoring ASCII case.
bool StartsWithIgnoringCase(std::string_view text, size_t at, std::string_view prefix);
// The first byte position from `from` where needle stands ignoring ASCII case, or npos; an
// empty needle is found nowhere. Meant for ASCII needles, in text of any encoding.
size_t FindIgnoringCase(std::string_view text, std::string_view needle, size_t from = 0);
inline bool ContainsIgnoringCase(std::string_view text, std::string_view needle) {
  return FindIgnoringCase(text, needle) != std::string_view::npos;
}

// Code page 932 text with its ASCII capitals made small, trail bytes kept, appended to out.
void AppendFoldedCase(std::string& out, std::string_view cp932);
inline std::string FoldCase(std::string_view cp932) {
  std::string out;
  AppendFoldedCase(out, cp932);
  return out;
}

// Compares code page 932 text ignoring the case of ASCII letters (never of a trail byte), in
// the byte order of the folded texts. Inline: sorting a folder index calls it n log n times.
inline int CompareIgnoringCase(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  bool trail = false;  // the previous byte of both texts was the same lead byte
  for (size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(a[i]);
    auto y = static_cast<unsigned char>(b[i]);
    if (!trail) {
      x = static_cast<unsigned char>(ToAsciiLower(static_cast<char>(x)));
      y = static_cast<unsigned char>(ToAsciiLower(static_cast<char>(y)));
    }
    if (x != y) return x < y ? -1 : 1;
    trail = !trail && IsCp932LeadByte(x);
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

inline bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareIgnoringCase(a, b) == 0;
}

}  // namespace plumex

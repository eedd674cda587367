#include "search/folded_match.h"

#include <cstring>

#include "text/code_page.h"

namespace plumex {
namespace {

bool IsLineEnd(unsigned char b) { return b == '\n' || b == '\r'; }

// Upper-cases the one-byte ASCII letters of text into out; trail bytes stay as they are. A
// lead byte before a line end (a broken character) leaves the line end a line end.
void FoldInto(std::string_view text, std::string& out) {
  out.resize(text.size());
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  auto* to = reinterpret_cast<unsigned char*>(out.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    unsigned char b = in[i];
    if (b < 0x80) {
      to[i] = static_cast<unsigned char>(b >= 'a' && b <= 'z' ? b - 0x20 : b);
      ++i;
    } else if (IsCp932LeadByte(b) && i + 1 < n && !IsLineEnd(in[i + 1])) {
      to[i] = b;
      to[i + 1] = in[i + 1];
      i += 2;
    } else {
      to[i] = b;
      ++i;
    }
  }
}

// Every byte in a..z made a capital, whatever it stands for: a loop the compiler turns into
// vector instructions. Two texts equal once folded character by character are equal this way
// too, so a search of the texts folded this way misses no match (and any hit is checked).
void FoldEveryByte(std::string_view text, std::string& out) {
  out.resize(text.size());
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  auto* to = reinterpret_cast<unsigned char*>(out.data());
  for (size_t i = 0, n = text.size(); i < n; ++i) {
    unsigned char b = in[i];
    to[i] = static_cast<unsigned char>(b - 'a' < 26u ? b - 0x20 : b);
  }
}

// Whether position `at` of text starts a character: walked from the start of its line.
bool StartsCharacter(std::string_view text, size_t at) {
  size_t i = at;
  while (i > 0 && !IsLineEnd(static_cast<unsigned char>(text[i - 1]))) --i;
  while (i < at) {
    auto b = static_cast<unsigned char>(text[i]);
    i += IsCp932LeadByte(b) && i + 1 < text.size() && !IsLineEnd(static_cast<unsigned char>(text[i + 1])) ? 2 : 1;
  }
  return i == at;
}

}  // namespace

FoldedKey::FoldedKey(std::string_view cp932_key) {
  FoldInto(cp932_key, folded_);
  FoldEveryByte(cp932_key, every_folded_);
  spans_lines_ = folded_.find_first_of("\r\n") != std::string::npos;
}

bool FoldedKey::FoundIn(std::string_view text, std::string& scratch) const {
  if (folded_.empty() || spans_lines_ || text.size() < folded_.size()) return false;
  FoldEveryByte(text, scratch);
  const char* begin = scratch.data();
  const char* end = begin + scratch.size();
  const char* from = begin;
  std::string candidate;
  while (from < end) {
    const void* hit = memmem(from, static_cast<size_t>(end - from), every_folded_.data(), every_folded_.size());
    if (!hit) return false;
    size_t at = static_cast<size_t>(static_cast<const char*>(hit) - begin);
    // The hit counts when it starts a character and its characters fold to the key.
    if (StartsCharacter(text, at)) {
      FoldInto(text.substr(at, folded_.size()), candidate);
      if (candidate == folded_) return true;
    }
    from = begin + at + 1;
  }
  return false;
}

}  // namespace plumex

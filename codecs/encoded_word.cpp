#include "codecs/encoded_word.h"

namespace plumex {
namespace {

unsigned char FoldCase(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 0x20) : c; }

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool IsWordByte(unsigned char c) { return c > 0x20 && c < 0x7F && c != '?'; }

}  // namespace

bool StartsWithIgnoringCase(std::string_view text, std::size_t pos, std::string_view prefix) {
  if (pos > text.size() || text.size() - pos < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (FoldCase(static_cast<unsigned char>(text[pos + i])) != FoldCase(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

bool ContainsIgnoringCase(std::string_view text, std::string_view needle) {
  if (needle.size() > text.size()) return false;
  for (std::size_t i = 0; i + needle.size() <= text.size(); ++i)
    if (StartsWithIgnoringCase(text, i, needle)) return true;
  return false;
}

std::string ReplaceAllIgnoringCase(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (!from.empty() && StartsWithIgnoringCase(text, i, from)) {
      out += to;
      i += from.size();
    } else {
      out += text[i++];
    }
  }
  return out;
}

std::size_t EncodedWordLength(std::string_view text, std::size_t pos) {
  const std::size_t n = text.size();
  if (pos + 1 >= n || text[pos] != '=' || text[pos + 1] != '?') return 0;
  std::size_t i = pos + 2;
  const std::size_t charset_start = i;
  while (i < n && IsWordByte(static_cast<unsigned char>(text[i]))) ++i;
  if (i == charset_start || i + 2 >= n || text[i] != '?') return 0;
  const unsigned char encoding = FoldCase(static_cast<unsigned char>(text[i + 1]));
  if ((encoding != 'B' && encoding != 'Q') || text[i + 2] != '?') return 0;
  i += 3;
  while (i < n && IsWordByte(static_cast<unsigned char>(text[i]))) ++i;
  if (i + 1 >= n || text[i] != '?' || text[i + 1] != '=') return 0;
  return i + 2 - pos;
}

std::size_t SkipLinearWhiteSpace(std::string_view text, std::size_t pos) {
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\r' || text[pos] == '\n')) ++pos;
  return pos;
}

std::string DecodeQuotedPrintable(std::string_view text, bool underscore_is_space) {
  std::string out;
  out.reserve(text.size());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    const char c = text[i];
    if (c == '=') {
      const int hi = i + 1 < n ? HexValue(static_cast<unsigned char>(text[i + 1])) : -1;
      const int lo = i + 2 < n ? HexValue(static_cast<unsigned char>(text[i + 2])) : -1;
      if (hi >= 0 && lo >= 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 3;
        continue;
      }
      if (i + 1 < n && text[i + 1] == '\n') {
        i += 2;
        continue;
      }
      if (i + 2 < n && text[i + 1] == '\r' && text[i + 2] == '\n') {
        i += 3;
        continue;
      }
    }
    out += underscore_is_space && c == '_' ? ' ' : c;
    ++i;
  }
  return out;
}

}  // namespace plumex

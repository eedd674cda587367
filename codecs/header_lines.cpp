#include "codecs/header_lines.h"

#include <algorithm>

#include "platform/code_page.h"

namespace plumex {
namespace {

constexpr std::size_t kLinesLooked = 50;

unsigned char FoldCase(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 0x20) : c; }

// Does `key` stand at `pos` of `line`? ASCII letters match in either case; the two bytes of a
// double-byte character of the key match only exactly.
bool KeyAt(std::string_view line, std::size_t pos, std::string_view key) {
  if (line.size() - pos < key.size()) return false;
  std::size_t j = 0;
  while (j < key.size()) {
    const auto k = static_cast<unsigned char>(key[j]);
    const auto c = static_cast<unsigned char>(line[pos + j]);
    if (IsCp932LeadByte(k) && j + 1 < key.size()) {
      if (c != k || line[pos + j + 1] != key[j + 1]) return false;
      j += 2;
    } else {
      if (FoldCase(c) != FoldCase(k)) return false;
      ++j;
    }
  }
  return true;
}

// Position of the first match at a character boundary, or npos.
std::size_t FindKey(std::string_view line, std::string_view key) {
  std::size_t pos = 0;
  while (pos < line.size()) {
    if (KeyAt(line, pos, key)) return pos;
    pos += IsCp932LeadByte(static_cast<unsigned char>(line[pos])) && pos + 1 < line.size() ? 2 : 1;
  }
  return std::string_view::npos;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

bool IsContinuation(const std::string& line) { return !line.empty() && (line[0] == '\t' || line[0] == ' '); }

}  // namespace

std::string FindHeaderValue(std::string_view key, const std::vector<std::string>& lines, bool at_line_start,
                            std::size_t& index) {
  const std::size_t end = std::min(kLinesLooked, lines.size());
  if (index >= end) return {};
  for (std::size_t i = index; i < end; ++i) {
    const std::string& line = lines[i];
    if (key.empty()) {
      if (!line.empty()) continue;
      index = i + 1;
      return {};
    }
    const std::size_t m = at_line_start ? (KeyAt(line, 0, key) ? 0 : std::string::npos) : FindKey(line, key);
    if (m == std::string::npos) continue;
    const std::size_t cut = m + key.size() + 1;
    std::string value = cut < line.size() ? line.substr(cut) : std::string();
    index = i + 1;
    if (value.empty() || value.back() != ';') {
      while (index < end && IsContinuation(lines[index])) {
        value += Trim(std::string_view(lines[index]).substr(1));
        ++index;
      }
    }
    return value;
  }
  index = end;
  return {};
}

}  // namespace plumex

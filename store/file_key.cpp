#include "store/file_key.h"

#include <cstdint>
#include <cstdio>

#include "platform/code_page.h"

namespace plumex {
namespace {

constexpr size_t kKeptBytes = 180;

std::string Sanitise(std::string_view id) {
  std::string out;
  out.reserve(id.size());
  for (char c : id) {
    switch (c) {
      case ' ': break;
      case '"': break;
      case '<': out += '0'; break;
      case '>': out += '9'; break;
      case '\\': out += '8'; break;
      case '/': out += '7'; break;
      case '|': out += '6'; break;
      case '*': out += '5'; break;
      case ':': out += '_'; break;
      case '?': out += '-'; break;
      default: out += c;
    }
  }
  if (out == ".") return "_";
  if (out == "..") return "__";
  return out;
}

std::string HashHex(std::string_view text) {
  uint64_t h = 14695981039346656037ull;  // FNV-1a
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ull;
  }
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
  return buf;
}

// The longest prefix of at most `limit` bytes that does not end inside a two-byte character.
size_t CharBoundary(std::string_view text, size_t limit) {
  size_t i = 0;
  while (i < text.size()) {
    size_t len = IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    if (i + len > limit) break;
    i += len;
  }
  return i;
}

std::string Shorten(const std::string& key, std::string_view keep_suffix) {
  size_t room = kKeptBytes > keep_suffix.size() ? kKeptBytes - keep_suffix.size() : 0;
  std::string stem = key.substr(0, key.size() - keep_suffix.size());
  return stem.substr(0, CharBoundary(stem, room)) + "~" + HashHex(key) + std::string(keep_suffix);
}

}  // namespace

std::string MakeFileKey(std::string_view id) {
  std::string key = Sanitise(id);
  if (key.size() <= kMaxFileKeyBytes) return key;
  return Shorten(key, "");
}

std::string MakeAttachmentFileName(std::string_view name) {
  std::string key = Sanitise(name);
  if (key.size() <= kMaxFileKeyBytes) return key;
  std::string_view extension;
  size_t dot = key.rfind('.');
  if (dot != std::string::npos && dot > 0 && key.size() - dot <= 16) extension = std::string_view(key).substr(dot);
  return Shorten(key, extension);
}

}  // namespace plumex

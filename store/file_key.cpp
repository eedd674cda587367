#include "store/file_key.h"

#include <cstdint>
#include <cstdio>

#include "platform/code_page.h"
#include "platform/store_path.h"

namespace plumex {
namespace {

// A shortened name keeps this much of its native form: with "~", the hash and an extension
// it stays well below kMaxFileKeyBytes.
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

// What the name takes in the file system: a CP932 byte may become up to three UTF-8 bytes.
size_t NativeBytes(std::string_view cp932) { return NativeName(cp932).size(); }

// The longest prefix, whole characters only, whose native form fits in `limit` bytes.
size_t NativePrefix(std::string_view text, size_t limit) {
  size_t i = 0;
  size_t native = 0;
  while (i < text.size()) {
    size_t len = IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    native += NativeBytes(text.substr(i, len));
    if (native > limit) break;
    i += len;
  }
  return i;
}

std::string Shorten(const std::string& key, std::string_view keep_suffix) {
  const size_t suffix = NativeBytes(keep_suffix);
  size_t room = kKeptBytes > suffix ? kKeptBytes - suffix : 0;
  std::string stem = key.substr(0, key.size() - keep_suffix.size());
  return stem.substr(0, NativePrefix(stem, room)) + "~" + HashHex(key) + std::string(keep_suffix);
}

}  // namespace

std::string MakeFileKey(std::string_view id) {
  std::string key = Sanitise(id);
  if (NativeBytes(key) <= kMaxFileKeyBytes) return key;
  return Shorten(key, "");
}

std::string MakeAttachmentFileName(std::string_view name) {
  std::string key = Sanitise(name);
  if (NativeBytes(key) <= kMaxFileKeyBytes) return key;
  std::string_view extension;
  size_t dot = key.rfind('.');
  if (dot != std::string::npos && dot > 0 && key.size() - dot <= 16) extension = std::string_view(key).substr(dot);
  return Shorten(key, extension);
}

std::string DistinctFileKey(std::string_view id) {
  std::string key = MakeFileKey(id);
  const std::string mark = "~" + HashHex(id).substr(0, 8);
  if (NativeBytes(key) + mark.size() > kMaxFileKeyBytes) key = key.substr(0, NativePrefix(key, kKeptBytes));
  return key + mark;
}

}  // namespace plumex

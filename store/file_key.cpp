#include "store/file_key.h"

#include <cstdint>
#include <cstdio>

#include "text/code_page.h"
#include "platform/store_path.h"

namespace plumex {
namespace {

// A shortened name keeps this much of its native form: with "~", the hash and an extension
// it stays well below kMaxFileKeyBytes.
constexpr size_t kKeptBytes = 180;

char Replacement(char c) {
  switch (c) {
    case '<': return '0';
    case '>': return '9';
    case '\\': return '8';
    case '/': return '7';
    case '|': return '6';
    case '*': return '5';
    case ':': return '_';
    case '?': return '-';
    default: return c;
  }
}

bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Character by character: a double-byte character of code page 932 whose second byte is a backslash
// or "|" (表, ソ, 予, 能, Ⅸ ...) stays whole. A lead byte without a trail byte after it is a
// character of its own, so the byte after it is sanitised like any other.
std::string Sanitise(std::string_view id, bool by_character) {
  std::string out;
  out.reserve(id.size());
  for (size_t i = 0; i < id.size(); ++i) {
    const char c = id[i];
    if (by_character && IsCp932LeadByte(static_cast<unsigned char>(c)) && i + 1 < id.size() &&
        IsTrailByte(static_cast<unsigned char>(id[i + 1]))) {
      out += c;
      out += id[++i];
      continue;
    }
    if (c == ' ' || c == '"') continue;
    out += Replacement(c);
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
  std::string key = Sanitise(id, true);
  if (NativeBytes(key) <= kMaxFileKeyBytes) return key;
  return Shorten(key, "");
}

std::string LegacyFileKey(std::string_view id) {
  std::string key = Sanitise(id, false);
  if (NativeBytes(key) <= kMaxFileKeyBytes) return key;
  return Shorten(key, "");
}

std::string MakeAttachmentFileName(std::string_view name) {
  std::string key = Sanitise(name, true);
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

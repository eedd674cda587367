#include "platform/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <map>
#include <string>
#include <utility>

namespace plumex {
namespace {

// One iconv descriptor per (from, to) pair, opened once; the program is single-threaded.
class IconvCache {
 public:
  ~IconvCache() {
    for (auto& entry : handles_)
      if (entry.second != reinterpret_cast<iconv_t>(-1)) iconv_close(entry.second);
  }
  iconv_t Get(std::string_view from, std::string_view to) {
    auto key = std::make_pair(std::string(from), std::string(to));
    auto it = handles_.find(key);
    if (it == handles_.end()) {
      iconv_t cd = iconv_open(key.second.c_str(), key.first.c_str());
      it = handles_.emplace(std::move(key), cd).first;
    }
    if (it->second != reinterpret_cast<iconv_t>(-1)) iconv(it->second, nullptr, nullptr, nullptr, nullptr);
    return it->second;
  }

 private:
  std::map<std::pair<std::string, std::string>, iconv_t> handles_;
};

IconvCache& Cache() {
  static IconvCache cache;
  return cache;
}

const iconv_t kBad = reinterpret_cast<iconv_t>(-1);

}  // namespace

void AppendUtf8(char32_t cp, std::string& out) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::u32string DecodeUtf8(std::string_view s) {
  std::u32string out;
  DecodeToUnicode("UTF-8", s, out);
  return out;
}

bool DecodeToUnicode(std::string_view charset, std::string_view bytes, std::u32string& out) {
  iconv_t cd = Cache().Get(charset, "UTF-32LE");
  if (cd == kBad) return false;
  // A converter is reused: a shift state (UTF-7, ISO-2022) left by text that ended inside a
  // sequence must not carry over to the next text.
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  out.clear();
  out.reserve(bytes.size());
  char* in = const_cast<char*>(bytes.data());
  size_t in_left = bytes.size();
  char buffer[4096];
  auto flush = [&](char* end) {
    for (char* p = buffer; p + 4 <= end; p += 4) {
      const auto* u = reinterpret_cast<const unsigned char*>(p);
      out += static_cast<char32_t>(u[0] | (u[1] << 8) | (u[2] << 16) | (static_cast<uint32_t>(u[3]) << 24));
    }
  };
  while (true) {
    char* o = buffer;
    size_t o_left = sizeof buffer;
    size_t r = in_left ? iconv(cd, &in, &in_left, &o, &o_left) : iconv(cd, nullptr, nullptr, &o, &o_left);
    int err = errno;
    flush(o);
    if (r != static_cast<size_t>(-1)) {
      if (in_left == 0) {
        // Flush any shift state, then stop.
        o = buffer;
        o_left = sizeof buffer;
        iconv(cd, nullptr, nullptr, &o, &o_left);
        flush(o);
        return true;
      }
      continue;
    }
    if (err == E2BIG) continue;
    // EILSEQ or EINVAL (truncated sequence at the end): replace one byte and go on.
    out += U'\uFFFD';
    ++in;
    --in_left;
    if (in_left == 0) return true;
  }
}

bool EncodeFromUnicode(std::string_view charset, std::u32string_view text, std::string& out,
                       std::string_view fallback) {
  iconv_t cd = Cache().Get("UTF-32LE", charset);
  if (cd == kBad) return false;
  out.clear();
  out.reserve(text.size() * 2);
  std::string in_bytes;
  in_bytes.reserve(text.size() * 4);
  for (char32_t c : text) {
    auto v = static_cast<uint32_t>(c);
    in_bytes += static_cast<char>(v & 0xFF);
    in_bytes += static_cast<char>((v >> 8) & 0xFF);
    in_bytes += static_cast<char>((v >> 16) & 0xFF);
    in_bytes += static_cast<char>((v >> 24) & 0xFF);
  }
  char* in = in_bytes.data();
  size_t in_left = in_bytes.size();
  char buffer[4096];
  while (true) {
    char* o = buffer;
    size_t o_left = sizeof buffer;
    size_t r = in_left ? iconv(cd, &in, &in_left, &o, &o_left) : 0;
    int err = errno;
    out.append(buffer, o - buffer);
    if (r != static_cast<size_t>(-1)) {
      if (in_left == 0) {
        o = buffer;
        o_left = sizeof buffer;
        iconv(cd, nullptr, nullptr, &o, &o_left);  // return to the initial shift state
        out.append(buffer, o - buffer);
        return true;
      }
      continue;
    }
    if (err == E2BIG) continue;
    // A code point the charset lacks: write the fallback and skip its four bytes.
    out += fallback;
    size_t skip = in_left < 4 ? in_left : 4;
    in += skip;
    in_left -= skip;
    if (in_left == 0) {
      o = buffer;
      o_left = sizeof buffer;
      iconv(cd, nullptr, nullptr, &o, &o_left);
      out.append(buffer, o - buffer);
      return true;
    }
  }
}

bool ConvertCharset(std::string_view from, std::string_view to, std::string_view bytes, std::string& out,
                    std::string_view fallback) {
  std::u32string text;
  if (!DecodeToUnicode(from, bytes, text)) return false;
  return EncodeFromUnicode(to, text, out, fallback);
}

std::string Cp932ToUtf8(std::string_view cp932) {
  std::u32string text;
  DecodeToUnicode("CP932", cp932, text);
  std::string out;
  out.reserve(text.size() * 3);
  for (char32_t c : text) AppendUtf8(c, out);
  return out;
}

std::string Utf8ToCp932(std::string_view utf8) {
  std::u32string text;
  DecodeToUnicode("UTF-8", utf8, text);
  std::string out;
  EncodeFromUnicode("CP932", text, out, "?");
  return out;
}

}  // namespace plumex

#include "protocol/flat_json.h"

#include <cctype>
#include <cstdlib>

#include "text/code_page.h"

namespace plumex {
namespace {

struct Reader {
  std::string_view s;
  size_t i = 0;
  int depth = 0;

  void Blank() {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n')) ++i;
  }
  bool Eat(char c) {
    Blank();
    if (i < s.size() && s[i] == c) {
      ++i;
      return true;
    }
    return false;
  }
  bool Hex4(unsigned& v) {
    if (s.size() - i < 4) return false;
    v = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = s[i++];
      v <<= 4;
      if (c >= '0' && c <= '9') v |= c - '0';
      else if (c >= 'a' && c <= 'f') v |= c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') v |= c - 'A' + 10;
      else return false;
    }
    return true;
  }
  std::optional<std::string> String() {
    if (!Eat('"')) return std::nullopt;
    std::string out;
    while (i < s.size()) {
      const char c = s[i++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (i >= s.size()) return std::nullopt;
      const char e = s[i++];
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          unsigned cp = 0;
          if (!Hex4(cp)) return std::nullopt;
          if (cp >= 0xD800 && cp < 0xDC00 && s.substr(i, 2) == "\\u") {
            i += 2;
            unsigned low = 0;
            if (!Hex4(low) || low < 0xDC00 || low > 0xDFFF) return std::nullopt;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          }
          AppendUtf8(static_cast<char32_t>(cp), out);  // a lone surrogate becomes U+FFFD
          break;
        }
        default: return std::nullopt;
      }
    }
    return std::nullopt;
  }
  // A value as text; objects and arrays are read over and give "".
  std::optional<std::string> Value() {
    Blank();
    if (i >= s.size()) return std::nullopt;
    if (s[i] == '"') return String();
    if (s[i] == '{' || s[i] == '[') {
      if (++depth > 64) return std::nullopt;
      const char close = s[i] == '{' ? '}' : ']';
      ++i;
      if (Eat(close)) {
        --depth;
        return std::string();
      }
      for (;;) {
        if (close == '}') {
          if (!String() || !Eat(':')) return std::nullopt;
        }
        if (!Value()) return std::nullopt;
        if (Eat(close)) break;
        if (!Eat(',')) return std::nullopt;
      }
      --depth;
      return std::string();
    }
    const size_t start = i;
    while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '-' || s[i] == '+' || s[i] == '.'))
      ++i;
    if (i == start) return std::nullopt;
    return std::string(s.substr(start, i - start));
  }
};

}  // namespace

std::optional<std::map<std::string, std::string>> ParseFlatJsonObject(std::string_view text) {
  Reader r{text};
  std::map<std::string, std::string> members;
  if (!r.Eat('{')) return std::nullopt;
  if (!r.Eat('}')) {
    for (;;) {
      auto key = r.String();
      if (!key || !r.Eat(':')) return std::nullopt;
      auto value = r.Value();
      if (!value) return std::nullopt;
      members[*key] = std::move(*value);
      if (r.Eat('}')) break;
      if (!r.Eat(',')) return std::nullopt;
    }
  }
  r.Blank();
  if (r.i != text.size()) return std::nullopt;
  return members;
}

}  // namespace plumex

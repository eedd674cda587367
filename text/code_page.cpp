#include "text/code_page.h"
#include "text/carried_text.h"

#include <iconv.h>

#include <algorithm>
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

namespace {

// Characters code page 932 lacks (emoji, Hangul, most hanzi, accented Latin...) that a person
// typed are carried inside code page 932 text as two pairs of its user-defined rows: a high
// pair (lead bytes F0..F4) and a low pair (F5..F9), each one of 940 values, so that every
// layer keeps them as it keeps any other character. Code points up to U+3FFFF and the
// tags and variation selectors at U+E0000..U+E0FFF are carried.
constexpr unsigned kEscapeValues = 940;  // 5 lead bytes x 188 trail bytes
constexpr char32_t kTagBase = 0xE0000;
constexpr char32_t kCarriedPlanes = 0x40000;

bool IsTrail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

void AppendEscapePair(unsigned value, unsigned char first_lead, std::string& out) {
  const unsigned t = value % 188;
  out += static_cast<char>(first_lead + value / 188);
  out += static_cast<char>(0x40 + t + (t >= 0x3F ? 1 : 0));
}

unsigned EscapePairValue(unsigned char lead, unsigned char trail, unsigned char first_lead) {
  const unsigned t = trail - 0x40 - (trail > 0x7F ? 1 : 0);
  return (lead - first_lead) * 188 + t;
}

bool AppendEscape(char32_t cp, std::string& out) {
  unsigned value;
  if (cp < kCarriedPlanes) value = cp;
  else if (cp >= kTagBase && cp < kTagBase + 0x1000) value = kCarriedPlanes + (cp - kTagBase);
  else return false;
  AppendEscapePair(value / kEscapeValues, 0xF0, out);
  AppendEscapePair(value % kEscapeValues, 0xF5, out);
  return true;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  const auto convert = [](std::string_view run, std::string& out) {
    std::u32string text;
    DecodeToUnicode("CP932", run, text);
    for (char32_t c : text) AppendUtf8(c, out);
  };
  std::string out;
  // Only text with bytes F0..F4 can carry a character.
  if (std::none_of(cp932.begin(), cp932.end(), [](char c) { return (c & 0xF8) == 0xF0 && (c & 0x0F) <= 4; })) {
    convert(cp932, out);
    return out;
  }
  out.reserve(cp932.size() * 3 / 2);
  size_t run = 0, i = 0;
  while (i < cp932.size()) {
    const auto b = static_cast<unsigned char>(cp932[i]);
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    if (!lead || i + 1 >= cp932.size()) {
      ++i;
      continue;
    }
    const auto t = static_cast<unsigned char>(cp932[i + 1]);
    if (b >= 0xF0 && b <= 0xF4 && IsTrail(t) && i + 3 < cp932.size()) {
      const auto b2 = static_cast<unsigned char>(cp932[i + 2]);
      const auto t2 = static_cast<unsigned char>(cp932[i + 3]);
      if (b2 >= 0xF5 && b2 <= 0xF9 && IsTrail(t2)) {
        const unsigned value = EscapePairValue(b, t, 0xF0) * kEscapeValues + EscapePairValue(b2, t2, 0xF5);
        if (value < kCarriedPlanes + 0x1000) {
          convert(cp932.substr(run, i - run), out);
          AppendUtf8(value < kCarriedPlanes ? value : kTagBase + (value - kCarriedPlanes), out);
          i += 4;
          run = i;
          continue;
        }
      }
    }
    i += 2;
  }
  convert(cp932.substr(run), out);
  return out;
}

std::string WithSubstitutes(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size());
  for (size_t i = 0; i < cp932.size();) {
    const auto b = static_cast<unsigned char>(cp932[i]);
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    const size_t length = lead && i + 1 < cp932.size() ? 2 : 1;
    if (length == 2 && b >= 0xF0 && b <= 0xF4 && i + 3 < cp932.size() && IsTrail(static_cast<unsigned char>(cp932[i + 1]))) {
      const auto b2 = static_cast<unsigned char>(cp932[i + 2]);
      if (b2 >= 0xF5 && b2 <= 0xF9 && IsTrail(static_cast<unsigned char>(cp932[i + 3]))) {
        out += '?';
        i += 4;
        continue;
      }
    }
    out.append(cp932.substr(i, length));
    i += length;
  }
  return out;
}

std::string Utf8ToCp932(std::string_view utf8) {
  std::u32string text;
  DecodeToUnicode("UTF-8", utf8, text);
  std::string out;
  // 0xFF never stands in code page 932 text: it marks the characters the code page lacks.
  EncodeFromUnicode("CP932", text, out, "\xFF");
  // The converter drops tags silently: text holding them is taken character by character.
  if (out.find('\xFF') == std::string::npos &&
      std::none_of(text.begin(), text.end(), [](char32_t c) { return c >= kTagBase; }))
    return out;
  out.clear();
  std::string one;
  for (char32_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    EncodeFromUnicode("CP932", std::u32string_view(&c, 1), one, "\xFF");
    if (!one.empty() && one != "\xFF") out += one;
    else if (c == 0xFFFD || !AppendEscape(c, out)) out += '?';  // invalid UTF-8, or beyond what is carried
  }
  return out;
}

std::string UnicodeToCp932FromJisMapping(std::u32string text) {
  for (char32_t& c : text) {
    switch (c) {
      // The JIS mapping of these characters differs from the one code page 932 uses.
      case 0x301C: c = 0xFF5E; break;  // 〜 → ～
      case 0x2016: c = 0x2225; break;  // ‖ → ∥
      case 0x2212: c = 0xFF0D; break;  // − → －
      case 0x00A2: c = 0xFFE0; break;  // ¢ → ￠
      case 0x00A3: c = 0xFFE1; break;  // £ → ￡
      case 0x00AC: c = 0xFFE2; break;  // ¬ → ￢
      case 0x2014: c = 0x2015; break;  // — → ―
      case 0xFEFF: c = 0; break;       // a byte order mark is no character of the text
      default:
        // Private use (carrier pictographs among them), NUL and the replacement character
        // have no place in the store.
        if ((c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000 || c == 0xFFFD) c = U'?';
    }
  }
  std::u32string kept;
  kept.reserve(text.size());
  for (char32_t c : text)
    if (c != 0) kept += c;
  std::string out;
  EncodeFromUnicode("CP932", kept, out, "?");
  return out;
}

std::string Utf8ToCp932FromJisMapping(std::string_view utf8) {
  constexpr size_t kPiece = size_t{1} << 20;
  std::string out;
  out.reserve(utf8.size());  // code page 932 never takes more bytes than UTF-8
  while (!utf8.empty()) {
    // Each piece is cut before the first byte of a character.
    size_t cut = utf8.size();
    if (cut > kPiece) {
      cut = kPiece;
      while (cut > kPiece - 4 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) --cut;
    }
    std::u32string text;
    DecodeToUnicode("UTF-8", utf8.substr(0, cut), text);
    out += UnicodeToCp932FromJisMapping(std::move(text));
    utf8.remove_prefix(cut);
  }
  return out;
}

}  // namespace plumex

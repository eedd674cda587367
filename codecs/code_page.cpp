#include "codecs/code_page.h"

#include "codecs/jconvert.h"
#include "platform/code_page.h"

namespace plumex {
namespace {

// The JIS mapping of these characters differs from the one code page 932 uses.
char32_t ToCp932Form(char32_t c) {
  switch (c) {
    case 0x301C: return 0xFF5E;  // 〜 → ～ (0x8160)
    case 0x2016: return 0x2225;  // ‖ → ∥ (0x8161)
    case 0x2212: return 0xFF0D;  // − → － (0x817C)
    case 0x00A2: return 0xFFE0;  // ¢ → ￠ (0x8191)
    case 0x00A3: return 0xFFE1;  // £ → ￡ (0x8192)
    case 0x00AC: return 0xFFE2;  // ¬ → ￢ (0x81CA)
    case 0x2014: return 0x2015;  // — → ― (0x815C)
    default: return c;
  }
}

std::string Iso2022JpToSjis(std::string_view text) {
  enum class Mode { Ascii, TwoByte, Kana, Unsupported } mode = Mode::Ascii;
  bool shifted = false;  // SO ... SI: half-width katakana
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  auto at = [&](size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0; };
  while (i < text.size()) {
    unsigned char c = at(i);
    if (c == 0x1B) {
      unsigned char a = at(i + 1), b = at(i + 2);
      if (a == '$' && (b == 'B' || b == '@')) {
        mode = Mode::TwoByte;
        i += 3;
      } else if (a == '$' && b == '(') {
        // ESC $ ( D (JIS X 0212) and ESC $ ( Q: characters code page 932 cannot show.
        mode = at(i + 3) == 'B' || at(i + 3) == '@' ? Mode::TwoByte : Mode::Unsupported;
        i += 4;
      } else if (a == '(') {
        mode = b == 'I' ? Mode::Kana : Mode::Ascii;
        i += 3;
      } else {
        out += static_cast<char>(c);
        ++i;
      }
      continue;
    }
    if (c == 0x0E) {
      shifted = true;
      ++i;
      continue;
    }
    if (c == 0x0F) {
      shifted = false;
      ++i;
      continue;
    }
    if (c == '\r' || c == '\n') {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    if ((mode == Mode::TwoByte || mode == Mode::Unsupported) && !shifted) {
      if (i + 1 >= text.size()) break;
      if (mode == Mode::Unsupported) {
        out += '?';
      } else {
        unsigned char s1, s2;
        JisPairToSjis(c, at(i + 1), s1, s2);
        out += static_cast<char>(s1);
        out += static_cast<char>(s2);
      }
      i += 2;
      continue;
    }
    if ((mode == Mode::Kana || shifted) && c >= 0x21 && c <= 0x5F) c = static_cast<unsigned char>(c + 0x80);
    out += static_cast<char>(c);
    ++i;
  }
  return out;
}

}  // namespace

std::string Utf8ToSjis(std::string_view utf8) {
  std::u32string text;
  DecodeToUnicode("UTF-8", utf8, text);
  for (char32_t& c : text) c = ToCp932Form(c);
  std::string out;
  EncodeFromUnicode("CP932", text, out, "?");
  return out;
}

std::string CodePageToSjis(std::string_view bytes, int code_page) {
  size_t zero = bytes.find('\0');
  if (zero != std::string_view::npos) bytes = bytes.substr(0, zero);
  if (code_page == kCodePageUtf8) return Utf8ToSjis(bytes);
  return Iso2022JpToSjis(bytes);
}

}  // namespace plumex

#include "codecs/code_page_to_sjis.h"

#include "codecs/jconvert.h"
#include "platform/code_page.h"

namespace plumex {
namespace {

// Mail from many systems uses the JIS mapping for these; code page 932's own table has the
// character at another code point.
char32_t ToCp932CodePoint(char32_t c) {
  switch (c) {
    case U'\u301C': return U'\uFF5E';  // 〜 -> ～ 0x8160
    case U'\u2016': return U'\u2225';  // ‖ -> ∥ 0x8161
    case U'\u2212': return U'\uFF0D';  // − -> － 0x817C
    case U'\u00A2': return U'\uFFE0';  // ¢ -> ￠ 0x8191
    case U'\u00A3': return U'\uFFE1';  // £ -> ￡ 0x8192
    case U'\u00AC': return U'\uFFE2';  // ¬ -> ￢ 0x81CA
    case U'\u2014': return U'\u2015';  // — -> ― 0x815C
    default: return c;
  }
}

std::string UnicodeToSjis(std::u32string& text) {
  for (char32_t& c : text) c = ToCp932CodePoint(c);
  std::string out;
  EncodeFromUnicode("CP932", text, out, "?");
  return out;
}

// One JIS X 0212 character, through the platform's table; "?" where code page 932 lacks it.
void AppendJisX0212(unsigned char j1, unsigned char j2, std::string& out) {
  const char euc[3] = {static_cast<char>(0x8F), static_cast<char>(j1 | 0x80), static_cast<char>(j2 | 0x80)};
  std::u32string text;
  if (!DecodeToUnicode("EUC-JP-MS", std::string_view(euc, 3), text) || text.size() != 1 || text[0] == U'\uFFFD') {
    out += '?';
    return;
  }
  out += UnicodeToSjis(text);
}

std::string Iso2022JpToSjis(std::string_view text) {
  enum class Mode { kOneByte, kKana, kJisX0208, kJisX0212 } mode = Mode::kOneByte;
  bool shifted_out = false;  // SO ... SI: half-width katakana
  std::string out;
  out.reserve(text.size());
  const std::size_t n = text.size();
  auto at = [&](std::size_t i) -> unsigned char { return i < n ? static_cast<unsigned char>(text[i]) : 0; };
  std::size_t i = 0;
  while (i < n) {
    const unsigned char c = at(i);
    if (c == 0x1B) {
      const unsigned char d = at(i + 1), e = at(i + 2);
      std::size_t length = 0;
      if (d == '$' && (e == 'B' || e == '@')) {
        mode = Mode::kJisX0208, length = 3;
      } else if (d == '$' && e == '(') {
        const unsigned char f = at(i + 3);
        if (f == 'D') mode = Mode::kJisX0212, length = 4;
        else if (f == 'B' || f == '@' || f == 'Q' || f == 'O') mode = Mode::kJisX0208, length = 4;
      } else if (d == '(' && (e == 'B' || e == 'J' || e == 'H')) {
        mode = Mode::kOneByte, length = 3;
      } else if (d == '(' && e == 'I') {
        mode = Mode::kKana, length = 3;
      } else if (d == '&' && e == '@') {
        length = 3;  // announces the 1990 revision; ESC $ B follows
      }
      if (length > 0) {
        i += length;
        continue;
      }
      // An escape we do not know stays in the text.
    } else if (c == 0x0E || c == 0x0F) {
      shifted_out = c == 0x0E;
      ++i;
      continue;
    }
    const bool kana = shifted_out || mode == Mode::kKana;
    if (kana && c >= 0x21 && c <= 0x5F) {
      out += static_cast<char>(c | 0x80);
      ++i;
    } else if (!kana && (mode == Mode::kJisX0208 || mode == Mode::kJisX0212) && c >= 0x21 && c <= 0x7E) {
      const unsigned char c2 = at(i + 1);
      if (c2 >= 0x21 && c2 <= 0x7E) {
        if (mode == Mode::kJisX0208) {
          const BytePair pair = JisPairToSjis(c, c2);
          out += static_cast<char>(pair.first);
          out += static_cast<char>(pair.second);
        } else {
          AppendJisX0212(c, c2, out);
        }
        i += 2;
      } else {
        out += '?';  // half a character
        ++i;
      }
    } else {
      out += static_cast<char>(c);
      ++i;
    }
  }
  return out;
}

}  // namespace

std::string Utf8ToSjis(std::string_view utf8) {
  std::u32string text;
  DecodeToUnicode("UTF-8", utf8, text);
  return UnicodeToSjis(text);
}

std::string CodePageToSjis(std::string_view bytes, int code_page) {
  bytes = bytes.substr(0, bytes.find('\0'));
  switch (code_page) {
    case 50220:
    case 50221:
    case 50222:
      return Iso2022JpToSjis(bytes);
    case 932:
      return std::string(bytes);
    case 65001:
      return Utf8ToSjis(bytes);
    default:
      break;
  }
  const std::string charset = code_page == 20932 || code_page == 51932 ? "EUC-JP-MS" : "CP" + std::to_string(code_page);
  std::u32string text;
  if (!DecodeToUnicode(charset, bytes, text)) return std::string(bytes);
  return UnicodeToSjis(text);
}

}  // namespace plumex

#include "codecs/cp932_check.h"

#include <array>
#include <bitset>

#include "text/code_page.h"

namespace plumex {
namespace {

bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Which pairs code page 932 defines, asked of the platform's converter once: a pair is a
// character when it decodes to one code point outside the private use area.
const std::bitset<0x10000>& DefinedPairs() {
  static const std::bitset<0x10000> defined = [] {
    std::bitset<0x10000> bits;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsCp932LeadByte(static_cast<unsigned char>(lead)) || (lead >= 0xF0 && lead <= 0xF9)) continue;
      for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
        if (!IsTrailByte(static_cast<unsigned char>(trail))) continue;
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        std::u32string text;
        if (!DecodeToUnicode("CP932", std::string_view(pair, 2), text) || text.size() != 1) continue;
        const char32_t c = text[0];
        if (c == 0xFFFD || (c >= 0xE000 && c <= 0xF8FF)) continue;
        bits.set(lead << 8 | trail);
      }
    }
    return bits;
  }();
  return defined;
}

}  // namespace

bool IsCp932Pair(unsigned char lead, unsigned char trail) { return DefinedPairs().test(lead << 8 | trail); }

void KeepOnlyCp932Characters(std::string& text) {
  // In place: what is written never overtakes what is read, so a huge body needs no second
  // copy; bytes are only moved once something was replaced before them.
  const auto& defined = DefinedPairs();
  char* const data = text.data();
  const size_t n = text.size();
  size_t out = 0;
  size_t i = 0;
  auto put = [&](char c) {
    if (out != i) data[out] = c;
    ++out;
  };
  while (i < n) {
    const auto c = static_cast<unsigned char>(data[i]);
    if (c >= 0x01 && c <= 0x7F) {  // ASCII without NUL
      put(static_cast<char>(c));
      ++i;
      continue;
    }
    if (IsCp932LeadByte(c)) {
      const unsigned char t = i + 1 < n ? static_cast<unsigned char>(data[i + 1]) : 0;
      if (IsTrailByte(t)) {
        // A pair that is no character is one unknown character; a lead byte followed by a
        // byte that cannot trail it stands alone, and the next byte is read on its own.
        if (defined.test(c << 8 | t)) {
          put(static_cast<char>(c));
          ++i;
          put(static_cast<char>(t));
          ++i;
        } else {
          data[out++] = '?';
          i += 2;
        }
      } else {
        data[out++] = '?';
        ++i;
      }
      continue;
    }
    // Other single bytes: half-width katakana are kept; NUL, 0x80, 0xA0 and 0xFD..0xFF
    // start nothing.
    if (c >= 0xA1 && c <= 0xDF) put(static_cast<char>(c));
    else data[out++] = '?';
    ++i;
  }
  text.resize(out);
}

std::string OnlyCp932Characters(std::string_view text) {
  std::string out(text);
  KeepOnlyCp932Characters(out);
  return out;
}

}  // namespace plumex

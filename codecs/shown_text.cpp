#include "codecs/shown_text.h"

#include "codecs/carrier_pictographs.h"
#include "codecs/cp932_check.h"
#include "text/code_page.h"

namespace plumex {
namespace {

bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

void AppendPictograph(const char32_t* emoji, std::string& out) {
  for (; *emoji; ++emoji) AppendUtf8(*emoji, out);
}

}  // namespace

std::string SjisToShownUtf8(std::string_view sjis) {
  std::string out;
  out.reserve(sjis.size() + sjis.size() / 2);
  size_t run = 0;  // start of the characters not yet converted
  size_t i = 0;
  auto flush = [&](size_t end) {
    if (end > run) out += Cp932ToUtf8(sjis.substr(run, end - run));
  };
  auto replace = [&](size_t length, const char32_t* emoji) {
    flush(i);
    if (emoji) AppendPictograph(emoji, out);
    else out += '?';
    i += length;
    run = i;
  };
  while (i < sjis.size()) {
    const auto c = static_cast<unsigned char>(sjis[i]);
    if (c >= 0x01 && c <= 0x7F) {
      ++i;
    } else if (IsCp932LeadByte(c)) {
      const unsigned char t = i + 1 < sjis.size() ? static_cast<unsigned char>(sjis[i + 1]) : 0;
      if (!IsTrailByte(t)) replace(1, nullptr);
      else if (IsCp932Pair(c, t)) i += 2;
      else replace(2, CarrierPictograph(c << 8 | t));
    } else if (c >= 0xA1 && c <= 0xDF) {
      ++i;
    } else {
      replace(1, nullptr);
    }
  }
  flush(i);
  return out;
}

std::string CodePointsToShownUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    if (c == 0 || c == 0xFEFF) continue;
    if (const unsigned code = CarrierPictographCodeOfPrivateUse(c)) {
      if (const char32_t* emoji = CarrierPictograph(code)) AppendPictograph(emoji, out);
      else out += '?';
    } else if ((c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000 || c == 0xFFFD) {
      out += '?';
    } else {
      AppendUtf8(c, out);
    }
  }
  return out;
}

}  // namespace plumex

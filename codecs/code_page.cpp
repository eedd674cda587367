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
  return JisToSjis(bytes, JisReading::CodePage50220);
}

}  // namespace plumex

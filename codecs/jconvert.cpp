#include "codecs/jconvert.h"

#include <algorithm>
#include <array>

namespace plumex {
namespace {

constexpr unsigned char kEsc = 0x1B;
constexpr std::string_view kEnterTwoByte = "\x1b$B";
constexpr std::string_view kLeaveTwoByte = "\x1b(J";

// Full-width JIS codes of the half-width katakana 0xA1 to 0xDF, indexed by the byte with its
// top bit cleared, minus 0x21.
constexpr std::array<std::uint16_t, 63> kZenkaku = {
    0x2123, 0x2156, 0x2157, 0x2122, 0x2126, 0x2572, 0x2521, 0x2523,  // ｡｢｣､･ｦｧｨ
    0x2525, 0x2527, 0x2529, 0x2563, 0x2565, 0x2567, 0x2543, 0x213C,  // ｩｪｫｬｭｮｯｰ
    0x2522, 0x2524, 0x2526, 0x2528, 0x252A, 0x252B, 0x252D, 0x252F,  // ｱｲｳｴｵｶｷｸ
    0x2531, 0x2533, 0x2535, 0x2537, 0x2539, 0x253B, 0x253D, 0x253F,  // ｹｺｻｼｽｾｿﾀ
    0x2541, 0x2544, 0x2546, 0x2548, 0x254A, 0x254B, 0x254C, 0x254D,  // ﾁﾂﾃﾄﾅﾆﾇﾈ
    0x254E, 0x254F, 0x2552, 0x2555, 0x2558, 0x255B, 0x255E, 0x255F,  // ﾉﾊﾋﾌﾍﾎﾏﾐ
    0x2560, 0x2561, 0x2562, 0x2564, 0x2566, 0x2568, 0x2569, 0x256A,  // ﾑﾒﾓﾔﾕﾖﾗﾘ
    0x256B, 0x256C, 0x256D, 0x256F, 0x2573, 0x212B, 0x212C,          // ﾙﾚﾛﾜﾝﾞﾟ
};

// Stands in for a half-width katakana prefix that is not followed by one (JIS "〓").
constexpr std::uint16_t kGeta = 0x222E;

bool IsHankaku(unsigned char c) { return c >= 0xA1 && c <= 0xDF; }

void AppendCode(std::uint16_t code, std::string& out) {
  out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

void AppendPair(BytePair pair, std::string& out) {
  out += static_cast<char>(pair.first);
  out += static_cast<char>(pair.second);
}

// The walk shared by SjisToJis and EucToJis.
std::string ToJis(std::string_view text, bool euc) {
  std::string out;
  out.reserve(text.size() + text.size() / 4 + 8);
  bool two_byte = false;
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c <= 0x7F) {
      if (two_byte) {
        out += kLeaveTwoByte;
        two_byte = false;
      }
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    const bool kana = euc ? c == 0x8E : IsHankaku(c);
    // A lead byte (or kana prefix) with nothing after it is not a character: drop it.
    if ((euc || !kana) && i + 1 >= n) break;
    if (!two_byte) {
      out += kEnterTwoByte;
      two_byte = true;
    }
    if (kana) {
      AppendCode(HankakuToZenkaku(text, i, euc), out);
    } else {
      const auto c2 = static_cast<unsigned char>(text[i + 1]);
      if (euc)
        AppendPair({static_cast<unsigned char>(c & 0x7F), static_cast<unsigned char>(c2 & 0x7F)}, out);
      else
        AppendPair(SjisPairToJis(c, c2), out);
      i += 2;
    }
  }
  if (two_byte) out += kLeaveTwoByte;
  return out;
}

}  // namespace

JapaneseCode DetectCode(std::string_view text) {
  const std::size_t n = text.size();
  auto at = [&](std::size_t i) -> unsigned char { return i < n ? static_cast<unsigned char>(text[i]) : 0; };

  // The last byte is left out: a text may end in a stray control byte.
  const std::size_t pre = n == 0 ? 0 : std::min<std::size_t>(8192, n - 1);
  for (std::size_t i = 0; i < pre; ++i) {
    const unsigned char c = at(i);
    if (c < 0x08 || c == 0xFF) return CodeNonText;
  }

  JapaneseCode result = CodeAscii;
  std::size_t p = 0;
  while ((result == CodeAscii || result == CodeEucOrSjis) && p + 1 < n) {
    const unsigned char c = at(p);
    if (c == kEsc) {
      ++p;
      if (at(p) == '$') {
        ++p;
        const unsigned char d = at(p);
        if (d == 'B') result = CodeJis;
        else if (d == '@') result = CodeJisOld;
      }
    } else if (c < 0x08 || c == 0xFF) {
      result = CodeNonText;
    } else if (c <= 0x80 || c == 0xA0) {
      // decides nothing
    } else if (c <= 0x8D || (c >= 0x8F && c <= 0x9F)) {
      result = CodeSjis;
    } else if (c == 0x8E) {
      const unsigned char d = at(++p);
      if ((d >= 0x40 && d <= 0x7E) || (d >= 0x80 && d <= 0xA0) || (d >= 0xE0 && d <= 0xFC)) result = CodeSjis;
      else if (IsHankaku(d)) result = CodeEucOrSjis;
    } else if (c <= 0xDF) {
      const unsigned char d = at(++p);
      if (d >= 0xF0 && d <= 0xFE) {
        result = CodeEuc;
      } else if (IsHankaku(d)) {
        result = CodeEucOrSjis;
      } else if (d >= 0xE0 && d <= 0xEF) {
        result = CodeEucOrSjis;
        while (result == CodeEucOrSjis) {
          ++p;
          if (p >= n) break;
          const unsigned char e = at(p);
          if (e < 0x40) break;
          if ((e >= 0x81 && e <= 0x8D) || (e >= 0x8F && e <= 0x9C)) result = CodeSjis;
          else if (e == 0xFD || e == 0xFE) result = CodeEuc;
        }
      } else if (d <= 0x9F) {
        result = CodeSjis;
      }
    } else if (c <= 0xEF) {
      const unsigned char d = at(++p);
      if ((d >= 0x40 && d <= 0x7E) || (d >= 0x80 && d <= 0xA0)) result = CodeSjis;
      else if (d == 0xFD || d == 0xFE) result = CodeEuc;
      else if (d >= 0xA1 && d <= 0xFC) result = CodeEucOrSjis;
    } else {
      result = CodeEuc;  // 0xF0 to 0xFE
    }
    ++p;
  }
  return result;
}

std::string ConvertCode(std::string_view text, int target) {
  const JapaneseCode code = DetectCode(text);
  if (code == CodeAscii || code == CodeNonText || code == CodeEucOrSjis || code == target)
    return std::string(text);
  const bool jis = code == CodeJis || code == CodeJisOld;
  if (target == CodeSjis) {
    if (jis) return JisToSjis(text);
    if (code == CodeEuc) return EucToSjis(text);
  } else if (target == CodeJis) {
    if (code == CodeEuc) return EucToJis(text);
    if (code == CodeSjis) return SjisToJis(text);
  }
  return std::string(text);
}

std::string JisToSjis(std::string_view text) {
  enum class Mode { kOneByte, kTwoByte, kKana } mode = Mode::kOneByte;
  std::string out;
  out.reserve(text.size());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == kEsc) {
      const unsigned char d = i + 1 < n ? static_cast<unsigned char>(text[i + 1]) : 0;
      if (d == '$') mode = Mode::kTwoByte;
      else if (d == '(') mode = i + 2 < n && text[i + 2] == 'I' ? Mode::kKana : Mode::kOneByte;
      i += 3;
      continue;
    }
    if (mode == Mode::kTwoByte) {
      if (i + 1 >= n) break;  // half a code at the end
      AppendPair(JisPairToSjis(c, static_cast<unsigned char>(text[i + 1])), out);
      i += 2;
      continue;
    }
    out += static_cast<char>(mode == Mode::kKana && c >= 0x21 && c <= 0x5F ? c | 0x80 : c);
    ++i;
  }
  return out;
}

std::string EucToSjis(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x81 && c <= 0xFE) {
      if (i + 1 >= n) break;  // lead byte or kana prefix without its second byte
      const auto c2 = static_cast<unsigned char>(text[i + 1]);
      if (c == 0x8E)
        out += static_cast<char>(c2);
      else
        AppendPair(JisPairToSjis(c & 0x7F, c2 & 0x7F), out);
      i += 2;
      continue;
    }
    out += static_cast<char>(c);
    ++i;
  }
  return out;
}

std::string SjisToJis(std::string_view text) { return ToJis(text, false); }

std::string EucToJis(std::string_view text) { return ToJis(text, true); }

BytePair JisPairToSjis(unsigned char j1, unsigned char j2) {
  const auto s1 = static_cast<unsigned char>((static_cast<unsigned char>(j1 + 1) >> 1) + (j1 < 0x5F ? 0x70 : 0xB0));
  unsigned char s2;
  if (j1 & 1)
    s2 = static_cast<unsigned char>(j2 + (j2 <= 0x5F ? 0x1F : 0x20));
  else
    s2 = static_cast<unsigned char>(j2 + 0x7E);
  return {s1, s2};
}

BytePair SjisPairToJis(unsigned char s1, unsigned char s2) {
  auto j1 = static_cast<unsigned char>(2 * (s1 - (s1 < 0xA0 ? 0x70 : 0xB0)));
  unsigned char j2;
  if (s2 < 0x9F) {
    --j1;
    j2 = static_cast<unsigned char>(s2 - (s2 > 0x7F ? 0x20 : 0x1F));
  } else {
    j2 = static_cast<unsigned char>(s2 - 0x7E);
  }
  return {j1, j2};
}

std::uint16_t HankakuToZenkaku(std::string_view text, std::size_t& pos, bool euc) {
  const std::size_t n = text.size();
  auto at = [&](std::size_t i) -> unsigned char { return i < n ? static_cast<unsigned char>(text[i]) : 0; };
  const std::size_t kana_at = euc ? pos + 1 : pos;
  const unsigned char kana = at(kana_at);
  if (!IsHankaku(kana)) {
    ++pos;  // not a kana after all: consume one byte so the caller moves on
    return kGeta;
  }
  const unsigned k = kana & 0x7F;
  std::uint16_t code = kZenkaku[k - 0x21];
  pos = kana_at + 1;

  // The mark that may follow: the next byte, or in EUC-JP the next 0x8E pair.
  unsigned char mark = 0;
  std::size_t after_mark = pos;
  if (!euc) {
    mark = at(pos);
    after_mark = pos + 1;
  } else if (at(pos) == 0x8E) {
    mark = at(pos + 1);
    after_mark = pos + 2;
  }
  if (k == 0x33 && mark == 0xDE) {
    code = 0x2574;  // ｳﾞ
  } else if (k >= 0x36 && k <= 0x44 && mark == 0xDE) {
    code += 1;
  } else if (k >= 0x4A && k <= 0x4E && (mark == 0xDE || mark == 0xDF)) {
    code += mark == 0xDE ? 1 : 2;
  } else {
    return code;
  }
  pos = std::min(after_mark, n);
  return code;
}

}  // namespace plumex

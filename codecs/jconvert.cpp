#include "codecs/jconvert.h"

#include "text/base64.h"
#include "text/code_page.h"

namespace plumex {
namespace {

constexpr unsigned char kEsc = 0x1B;

inline unsigned char At(std::string_view s, size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0; }

// Full-width JIS X 0208 codes of the half-width katakana 0xA1..0xDF, indexed by byte - 0xA1.
constexpr uint16_t kKanaTable[63] = {
    0x2123, 0x2156, 0x2157, 0x2122, 0x2126, 0x2572, 0x2521, 0x2523, 0x2525, 0x2527, 0x2529, 0x2563, 0x2565,
    0x2567, 0x2543, 0x213C, 0x2522, 0x2524, 0x2526, 0x2528, 0x252A, 0x252B, 0x252D, 0x252F, 0x2531, 0x2533,
    0x2535, 0x2537, 0x2539, 0x253B, 0x253D, 0x253F, 0x2541, 0x2544, 0x2546, 0x2548, 0x254A, 0x254B, 0x254C,
    0x254D, 0x254E, 0x254F, 0x2552, 0x2555, 0x2558, 0x255B, 0x255E, 0x255F, 0x2560, 0x2561, 0x2562, 0x2564,
    0x2566, 0x2568, 0x2569, 0x256A, 0x256B, 0x256C, 0x256D, 0x256F, 0x2573, 0x212B, 0x212C};

constexpr uint16_t kGeta = 0x222E;  // 〓, for a byte that is no katakana

void AppendJisCode(uint16_t code, std::string& out) {
  out += static_cast<char>(code >> 8);
  out += static_cast<char>(code & 0xFF);
}

void AppendSjisPair(unsigned char j1, unsigned char j2, std::string& out) {
  unsigned char s1, s2;
  JisPairToSjis(j1, j2, s1, s2);
  out += static_cast<char>(s1);
  out += static_cast<char>(s2);
}

// A JIS X 0212 character: its code page 932 form (the IBM extension kanji among them), else "?".
void AppendSupplementaryKanji(unsigned char j1, unsigned char j2, std::string& out) {
  const char euc[3] = {'\x8F', static_cast<char>(j1 | 0x80), static_cast<char>(j2 | 0x80)};
  std::u32string text;
  std::string sjis;
  if (DecodeToUnicode("EUC-JP-MS", std::string_view(euc, 3), text) && text.size() == 1 && text[0] != 0xFFFD &&
      !(text[0] >= 0xE000 && text[0] <= 0xF8FF) && EncodeFromUnicode("CP932", text, sjis, "?"))
    out += sjis;
  else
    out += '?';
}

// What an escape sequence selects: JIS X 0201 Roman (or ASCII), JIS X 0208, half-width
// katakana, or a character set code page 932 cannot show.
enum class JisSet { OneByte, TwoByte, Kana, Supplementary, Unsupported };

struct JisEscape {
  size_t length = 0;  // 0: not an escape sequence in this reading
  JisSet set = JisSet::OneByte;
};

// The escape sequence at text[i] (an ESC) as `reading` takes it.
JisEscape ReadEscape(std::string_view text, size_t i, JisReading reading, JisSet current) {
  const unsigned char a = At(text, i + 1), b = At(text, i + 2);
  switch (reading) {
    case JisReading::Text:
      // ESC $ ( D switches to JIS X 0212 (some senders write © with it): four bytes, so the
      // character after it and the return to ASCII are read in step.
      if (a == '$' && b == '(') {
        const unsigned char d = At(text, i + 3);
        return {4, d == 'B' || d == '@' ? JisSet::TwoByte : JisSet::Supplementary};
      }
      if (a == '$') return {3, JisSet::TwoByte};
      if (a == '(') return {3, b == 'I' ? JisSet::Kana : JisSet::OneByte};
      return {3, current};
    case JisReading::HeaderWord:
      if (a == '$' && (b == 'B' || b == '@')) return {3, JisSet::TwoByte};
      if (a == '$' && b == '(' && At(text, i + 3) == 'D') return {4, JisSet::Supplementary};
      if (a == '(' && (b == 'B' || b == 'J')) return {3, JisSet::OneByte};
      if (a == '(' && b == 'I') return {3, JisSet::Kana};
      return {};
    case JisReading::CodePage50220:
      if (a == '$' && (b == 'B' || b == '@')) return {3, JisSet::TwoByte};
      if (a == '$' && b == '(') {
        const unsigned char d = At(text, i + 3);  // ESC $ ( D (JIS X 0212) and ESC $ ( Q
        if (d == 'B' || d == '@') return {4, JisSet::TwoByte};
        return {4, d == 'D' ? JisSet::Supplementary : JisSet::Unsupported};
      }
      if (a == '(') return {3, b == 'I' ? JisSet::Kana : JisSet::OneByte};
      return {};
  }
  return {};
}

const std::string kToTwoByte = "\x1B$B";
const std::string kToOneByte = "\x1B(J";

// The walk shared by SjisToJis and EucToJis.
std::string ToJis(std::string_view text, bool euc) {
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  bool two_byte = false;
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = At(text, i);
    if (c > 0x7F) {
      if (!two_byte) {
        out += kToTwoByte;
        two_byte = true;
      }
      if (!euc && c >= 0xA1 && c <= 0xDF) {
        AppendJisCode(HankakuToZenkaku(text, i, false), out);
      } else if (euc && c == 0x8E) {
        AppendJisCode(HankakuToZenkaku(text, i, true), out);
      } else if (i + 1 < text.size()) {
        unsigned char c2 = At(text, i + 1);
        if (euc) {
          out += static_cast<char>(c & 0x7F);
          out += static_cast<char>(c2 & 0x7F);
        } else {
          unsigned char j1, j2;
          SjisPairToJis(c, c2, j1, j2);
          out += static_cast<char>(j1);
          out += static_cast<char>(j2);
        }
        i += 2;
      } else {
        ++i;  // a lead byte at the very end: no character
      }
      continue;
    }
    if (two_byte) {
      out += kToOneByte;
      two_byte = false;
    }
    out += static_cast<char>(c);
    ++i;
  }
  if (two_byte) out += kToOneByte;
  return out;
}

}  // namespace

int DetectCode(std::string_view text) {
  const size_t length = text.size();
  const size_t prescan = length == 0 ? 0 : std::min<size_t>(8192, length - 1);
  for (size_t i = 0; i < prescan; ++i) {
    unsigned char c = At(text, i);
    if (c < 0x08 || c == 0xFF) return CodeNonText;
  }
  int result = CodeAscii;
  size_t p = 0;
  while ((result == CodeAscii || result == CodeEucOrSjis) && p + 1 < length) {
    unsigned char c = At(text, p);
    if (c == kEsc) {
      ++p;
      if (At(text, p) == '$') {
        ++p;
        unsigned char d = At(text, p);
        if (d == 'B') result = CodeJis;
        else if (d == '@') result = CodeJisOld;
      }
    } else if (c < 0x08 || c == 0xFF) {
      result = CodeNonText;
    } else if (c <= 0x80) {
      // decides nothing
    } else if ((c >= 0x81 && c <= 0x8D) || (c >= 0x8F && c <= 0x9F)) {
      result = CodeSjis;
    } else if (c == 0x8E) {
      ++p;
      unsigned char d = At(text, p);
      if ((d >= 0x40 && d <= 0x7E) || (d >= 0x80 && d <= 0xA0) || (d >= 0xE0 && d <= 0xFC)) result = CodeSjis;
      else if (d >= 0xA1 && d <= 0xDF) result = CodeEucOrSjis;
    } else if (c >= 0xA1 && c <= 0xDF) {
      ++p;
      unsigned char d = At(text, p);
      if (d >= 0xF0 && d <= 0xFE) {
        result = CodeEuc;
      } else if (d >= 0xA1 && d <= 0xDF) {
        result = CodeEucOrSjis;
      } else if (d >= 0xE0 && d <= 0xEF) {
        result = CodeEucOrSjis;
        while (result == CodeEucOrSjis) {
          ++p;
          if (p >= length) break;
          unsigned char e = At(text, p);
          if (e < 0x40) break;
          if ((e >= 0x81 && e <= 0x8D) || (e >= 0x8F && e <= 0x9C)) result = CodeSjis;
          else if (e == 0xFD || e == 0xFE) result = CodeEuc;
        }
      } else if (d <= 0x9F) {
        result = CodeSjis;
      }
    } else if (c >= 0xE0 && c <= 0xEF) {
      ++p;
      unsigned char d = At(text, p);
      if ((d >= 0x40 && d <= 0x7E) || (d >= 0x80 && d <= 0xA0)) result = CodeSjis;
      else if (d == 0xFD || d == 0xFE) result = CodeEuc;
      else if (d >= 0xA1 && d <= 0xFC) result = CodeEucOrSjis;
    } else if (c >= 0xF0 && c <= 0xFE) {
      result = CodeEuc;
    }
    ++p;
  }
  return result;
}

std::string ConvertCode(std::string_view text, int target) {
  const int code = DetectCode(text);
  if (code == CodeAscii || code == CodeNonText || code == CodeEucOrSjis || code == target)
    return std::string(text);
  if (target == CodeSjis) {
    if (code == CodeJis || code == CodeJisOld) return JisToSjis(text);
    if (code == CodeEuc) return EucToSjis(text);
  } else if (target == CodeJis) {
    if (code == CodeJisOld) return std::string(text);
    if (code == CodeEuc) return EucToJis(text);
    if (code == CodeSjis) return SjisToJis(text);
  }
  return std::string(text);
}

void JisPairToSjis(unsigned char j1, unsigned char j2, unsigned char& s1, unsigned char& s2) {
  s1 = static_cast<unsigned char>(((j1 + 1) >> 1) + (j1 < 0x5F ? 0x70 : 0xB0));
  if (j1 & 1) s2 = static_cast<unsigned char>(j2 + (j2 <= 0x5F ? 0x1F : 0x20));
  else s2 = static_cast<unsigned char>(j2 + 0x7E);
}

void SjisPairToJis(unsigned char s1, unsigned char s2, unsigned char& j1, unsigned char& j2) {
  j1 = static_cast<unsigned char>(2 * (s1 - (s1 < 0xA0 ? 0x70 : 0xB0)));
  if (s2 < 0x9F) {
    j1 = static_cast<unsigned char>(j1 - 1);
    j2 = static_cast<unsigned char>(s2 - (s2 > 0x7F ? 0x20 : 0x1F));
  } else {
    j2 = static_cast<unsigned char>(s2 - 0x7E);
  }
}

uint16_t HankakuToZenkaku(std::string_view text, size_t& pos, bool euc) {
  unsigned char kana;
  if (euc) {
    kana = At(text, pos + 1);
    pos = std::min(text.size(), pos + 2);
  } else {
    kana = At(text, pos);
    pos += 1;
  }
  if (kana < 0xA1 || kana > 0xDF) return kGeta;
  const unsigned k = kana & 0x7F;
  uint16_t code = kKanaTable[kana - 0xA1];
  // The mark that may follow: the next byte, or in EUC-JP the next 0x8E pair.
  unsigned char mark = 0;
  size_t mark_length = 0;
  if (euc) {
    if (At(text, pos) == 0x8E && pos + 1 < text.size()) {
      mark = At(text, pos + 1);
      mark_length = 2;
    }
  } else if (pos < text.size()) {
    mark = At(text, pos);
    mark_length = 1;
  }
  if (k == 0x33 && mark == 0xDE) {
    pos += mark_length;
    return 0x2574;
  }
  if (k >= 0x36 && k <= 0x44 && mark == 0xDE) {
    pos += mark_length;
    return static_cast<uint16_t>(code + 1);
  }
  if (k >= 0x4A && k <= 0x4E && (mark == 0xDE || mark == 0xDF)) {
    pos += mark_length;
    return static_cast<uint16_t>(code + (mark == 0xDE ? 1 : 2));
  }
  return code;
}

namespace {

// The walk itself, one instance per reading so that the text conversion pays for none of the
// others' tests.
template <JisReading reading>
std::string WalkJis(std::string_view text) {
  constexpr bool code_page = reading == JisReading::CodePage50220;
  JisSet set = JisSet::OneByte;
  bool shifted = false;  // SO ... SI: half-width katakana
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = At(text, i);
    if (c == kEsc) {
      const JisEscape escape = ReadEscape(text, i, reading, set);
      if (escape.length) {
        set = escape.set;
        i += escape.length;
        continue;
      }
      if constexpr (code_page) {
        out += static_cast<char>(c);
        ++i;
        continue;
      }
    }
    if constexpr (code_page) {
      if (c == 0x0E || c == 0x0F) {
        shifted = c == 0x0E;
        ++i;
        continue;
      }
      if (c == '\r' || c == '\n') {
        out += static_cast<char>(c);
        ++i;
        continue;
      }
    }
    // Only code page 50220 has SO / SI and sets it cannot show.
    const bool two_byte =
        code_page ? (set == JisSet::TwoByte || set == JisSet::Supplementary || set == JisSet::Unsupported) && !shifted
                  : set == JisSet::TwoByte || set == JisSet::Supplementary;
    if (two_byte) {
      if (i + 1 >= text.size()) break;  // half a character at the end
      if (code_page && set == JisSet::Unsupported)
        out += '?';
      else if (set == JisSet::Supplementary)
        AppendSupplementaryKanji(c, At(text, i + 1), out);
      else if (reading != JisReading::HeaderWord || (c >= 0x21 && c <= 0x7E))
        AppendSjisPair(c, At(text, i + 1), out);
      i += 2;
      continue;
    }
    // Half-width katakana of JIS X 0201 (ESC ( I) are the Shift_JIS bytes 0xA1..0xDF.
    const bool kana = code_page ? set == JisSet::Kana || shifted : set == JisSet::Kana;
    if (kana && c >= 0x21 && c <= 0x5F) c = static_cast<unsigned char>(c + 0x80);
    out += static_cast<char>(c);
    ++i;
  }
  return out;
}

}  // namespace

std::string JisToSjis(std::string_view text, JisReading reading) {
  switch (reading) {
    case JisReading::HeaderWord: return WalkJis<JisReading::HeaderWord>(text);
    case JisReading::CodePage50220: return WalkJis<JisReading::CodePage50220>(text);
    case JisReading::Text: break;
  }
  return WalkJis<JisReading::Text>(text);
}

std::string EucToSjis(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = At(text, i);
    if (c == 0x8E) {
      if (i + 1 < text.size()) out += text[i + 1];
      i += 2;
    } else if (c >= 0x81 && c <= 0xFE) {
      if (i + 1 >= text.size()) break;
      AppendSjisPair(c & 0x7F, At(text, i + 1) & 0x7F, out);
      i += 2;
    } else {
      out += static_cast<char>(c);
      ++i;
    }
  }
  return out;
}

std::string SjisToJis(std::string_view text) { return ToJis(text, false); }
std::string EucToJis(std::string_view text) { return ToJis(text, true); }

std::string EncodeHeaderB(std::string_view value) {
  std::string out;
  size_t i = 0;
  // Half-width katakana join the runs of double-byte characters: ISO-2022-JP has no form for
  // them, so SjisToJis writes them full width, as in the body, rather than as raw 8-bit bytes.
  auto starts_run = [&](size_t k) {
    const unsigned char c = At(value, k);
    return (IsCp932LeadByte(c) && k + 1 < value.size()) || (c >= 0xA1 && c <= 0xDF);
  };
  while (i < value.size()) {
    size_t start = i;
    if (starts_run(i)) {
      // Spaces between two runs go inside the word: a reader drops white space that stands
      // between two encoded words.
      for (;;) {
        while (i < value.size() && starts_run(i)) i += IsCp932LeadByte(At(value, i)) ? 2 : 1;
        size_t blanks = i;
        while (blanks < value.size() && value[blanks] == ' ') ++blanks;
        if (blanks == i || blanks >= value.size() || !starts_run(blanks)) break;
        i = blanks;
      }
      out += "=?ISO-2022-JP?B?" + Base64Encode(SjisToJis(value.substr(start, i - start))) + "?=";
    } else {
      while (i < value.size() && !starts_run(i)) ++i;
      out += value.substr(start, i - start);
    }
  }
  return out;
}

}  // namespace plumex

#include "codecs/charset.h"

#include <iconv.h>

#include <cstdint>
#include <cstring>
#include <map>

#include "codecs/jconvert.h"
#include "codecs/shown_text.h"
#include "text/ascii_case.h"
#include "text/code_page.h"

namespace plumex {
namespace {

struct Alias {
  const char* name;
  CharsetKind kind;
  const char* iconv_name;
};

// Labels read as something other than their own iconv name. ISO-8859-1 is read as
// Windows-1252, as every reader does, since senders label the one as the other; Korean,
// Chinese and Big5 labels are read as the superset that real senders write.
constexpr Alias kAliases[] = {
    {"US-ASCII", CharsetKind::Ascii, ""},        {"ASCII", CharsetKind::Ascii, ""},
    {"ANSI_X3.4-1968", CharsetKind::Ascii, ""},  {"CSASCII", CharsetKind::Ascii, ""},
    {"US", CharsetKind::Ascii, ""},              {"ISO646-US", CharsetKind::Ascii, ""},
    {"UTF-8", CharsetKind::Utf8, ""},            {"UTF8", CharsetKind::Utf8, ""},
    {"X-UTF-8", CharsetKind::Utf8, ""},          {"UNICODE-1-1-UTF-8", CharsetKind::Utf8, ""},
    {"X-UNICODE20UTF8", CharsetKind::Utf8, ""},  {"CSUTF8", CharsetKind::Utf8, ""},
    {"CSISO2022JP", CharsetKind::Iso2022Jp, ""}, {"CSISO2022JP2", CharsetKind::Iso2022Jp, ""},
    {"CP50220", CharsetKind::Iso2022Jp, ""},     {"CP50221", CharsetKind::Iso2022Jp, ""},
    {"CP50222", CharsetKind::Iso2022Jp, ""},     {"JIS", CharsetKind::Iso2022Jp, ""},
    {"SHIFT_JIS", CharsetKind::ShiftJis, ""},    {"SHIFT-JIS", CharsetKind::ShiftJis, ""},
    {"SJIS", CharsetKind::ShiftJis, ""},         {"X-SJIS", CharsetKind::ShiftJis, ""},
    {"MS_KANJI", CharsetKind::ShiftJis, ""},     {"CSSHIFTJIS", CharsetKind::ShiftJis, ""},
    {"CP932", CharsetKind::ShiftJis, ""},        {"MS932", CharsetKind::ShiftJis, ""},
    {"X-MS-CP932", CharsetKind::ShiftJis, ""},   {"WINDOWS-31J", CharsetKind::ShiftJis, ""},
    {"CSWINDOWS31J", CharsetKind::ShiftJis, ""}, {"IBM-943", CharsetKind::ShiftJis, ""},
    {"SHIFT_JIS-2004", CharsetKind::ShiftJis, ""}, {"SHIFT_JISX0213", CharsetKind::ShiftJis, ""},
    {"EUC-JP", CharsetKind::EucJp, ""},          {"EUCJP", CharsetKind::EucJp, ""},
    {"X-EUC-JP", CharsetKind::EucJp, ""},        {"X-EUC", CharsetKind::EucJp, ""},
    {"EUC", CharsetKind::EucJp, ""},             {"CSEUCPKDFMTJAPANESE", CharsetKind::EucJp, ""},
    {"EUC-JP-MS", CharsetKind::EucJp, ""},       {"EUCJP-MS", CharsetKind::EucJp, ""},
    {"EUCJP-WIN", CharsetKind::EucJp, ""},       {"CP51932", CharsetKind::EucJp, ""},
    {"EUC-JIS-2004", CharsetKind::EucJp, ""},    {"EUC-JISX0213", CharsetKind::EucJp, ""},
    {"ISO-8859-1", CharsetKind::Other, "WINDOWS-1252"}, {"ISO8859-1", CharsetKind::Other, "WINDOWS-1252"},
    {"ISO_8859-1", CharsetKind::Other, "WINDOWS-1252"}, {"LATIN1", CharsetKind::Other, "WINDOWS-1252"},
    {"KS_C_5601-1987", CharsetKind::Other, "CP949"}, {"KS_C_5601-1989", CharsetKind::Other, "CP949"},
    {"KSC5601", CharsetKind::Other, "CP949"},     {"KSC_5601", CharsetKind::Other, "CP949"},
    {"EUC-KR", CharsetKind::Other, "CP949"},      {"EUCKR", CharsetKind::Other, "CP949"},
    {"CSEUCKR", CharsetKind::Other, "CP949"},     {"X-WINDOWS-949", CharsetKind::Other, "CP949"},
    {"UHC", CharsetKind::Other, "CP949"},         {"KOREAN", CharsetKind::Other, "CP949"},
    {"GB2312", CharsetKind::Other, "GB18030"},    {"CSGB2312", CharsetKind::Other, "GB18030"},
    {"EUC-CN", CharsetKind::Other, "GB18030"},    {"X-EUC-CN", CharsetKind::Other, "GB18030"},
    {"GBK", CharsetKind::Other, "GB18030"},       {"CP936", CharsetKind::Other, "GB18030"},
    {"X-GBK", CharsetKind::Other, "GB18030"},     {"GB_2312-80", CharsetKind::Other, "GB18030"},
    {"CHINESE", CharsetKind::Other, "GB18030"},
    {"BIG5", CharsetKind::Other, "BIG5-HKSCS"},   {"BIG-5", CharsetKind::Other, "BIG5-HKSCS"},
    {"X-X-BIG5", CharsetKind::Other, "BIG5-HKSCS"}, {"CSBIG5", CharsetKind::Other, "BIG5-HKSCS"},
    {"CN-BIG5", CharsetKind::Other, "BIG5-HKSCS"},
    {"UNICODE-1-1-UTF-7", CharsetKind::Other, "UTF-7"}, {"CSUNICODE11UTF7", CharsetKind::Other, "UTF-7"},
    {"X-UNKNOWN", CharsetKind::Unknown, ""},      {"UNKNOWN-8BIT", CharsetKind::Unknown, ""},
    {"DEFAULT", CharsetKind::Unknown, ""},        {"DEFAULT_CHARSET", CharsetKind::Unknown, ""},
    {"X-USER-DEFINED", CharsetKind::Unknown, ""}, {"8BIT", CharsetKind::Unknown, ""},
};

// Whether iconv can read the charset. The answers are kept for a bounded number of names, so
// a stream of invented labels neither grows memory nor opens converters without end.
bool IconvKnows(const std::string& name) {
  static std::map<std::string, bool> known;
  if (auto it = known.find(name); it != known.end()) return it->second;
  iconv_t cd = iconv_open("UTF-32LE", name.c_str());
  const bool ok = cd != reinterpret_cast<iconv_t>(-1);
  if (ok) iconv_close(cd);
  if (known.size() < 512) known.emplace(name, ok);
  return ok;
}

// Names handed to iconv are plain charset names: no "//" option suffixes, no paths.
bool IsPlainName(std::string_view name) {
  if (name.empty() || name.size() > 40) return false;
  for (char c : name)
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ':'))
      return false;
  return true;
}

bool HasEightBit(std::string_view bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

bool HasJisEscape(std::string_view bytes) {
  return bytes.find("\x1B$B") != std::string_view::npos || bytes.find("\x1B$@") != std::string_view::npos;
}

// ISO-2022-JP in any of its variants, by our own reader: escapes a header word does not know
// are read as code page 50220 reads them.
std::string JisBytesToSjis(std::string_view bytes) {
  std::string result = JisToSjis(bytes, JisReading::HeaderWord);
  if (result.find('\x1B') != std::string::npos) result = JisToSjis(bytes, JisReading::CodePage50220);
  return result;
}

// UTF-16 and UTF-32 without a stated byte order: the byte order mark says it, else big-endian
// (RFC 2781). Read here rather than by iconv, whose converters are reused from message to
// message and look for the mark only in their first conversion.
std::string WithByteOrder(const std::string& name, std::string_view& bytes) {
  auto starts = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
  if (name == "UTF-16" || name == "UCS-2" || name == "UNICODE") {
    if (starts("\xFF\xFE")) return bytes.remove_prefix(2), "UTF-16LE";
    if (starts("\xFE\xFF")) bytes.remove_prefix(2);
    return "UTF-16BE";
  }
  if (name == "UTF-32" || name == "UCS-4") {
    if (starts(std::string_view("\xFF\xFE\0\0", 4))) return bytes.remove_prefix(4), "UTF-32LE";
    if (starts(std::string_view("\0\0\xFE\xFF", 4))) bytes.remove_prefix(4);
    return "UTF-32BE";
  }
  return name;
}

// EUC-JP as code page 51932 and eucJP-ms write it (Windows and PHP systems among them): the
// two-byte rows map to code page 932 by arithmetic, so the NEC special characters of row 13
// (①, ㈱, №) and the NEC-selected IBM extensions of rows 89 to 92 (髙, 﨑, ⅰ) come through;
// three-byte JIS X 0212 characters (the IBM extensions of eucJP-ms among them) go through
// the converter; a byte that starts no character becomes "?".
std::string EucJpToSjis(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  auto at = [&](size_t i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0; };
  auto is_euc = [](unsigned char b) { return b >= 0xA1 && b <= 0xFE; };
  size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char c = at(i);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
    } else if (c == 0x8E && at(i + 1) >= 0xA1 && at(i + 1) <= 0xDF) {
      out += static_cast<char>(at(i + 1));
      i += 2;
    } else if (c == 0x8F && is_euc(at(i + 1)) && is_euc(at(i + 2))) {
      std::u32string text;
      if (DecodeToUnicode("EUC-JP-MS", bytes.substr(i, 3), text) && text.size() == 1)
        out += UnicodeToCp932FromJisMapping(text);
      else out += '?';
      i += 3;
    } else if (is_euc(c) && is_euc(at(i + 1))) {
      unsigned char s1, s2;
      JisPairToSjis(c & 0x7F, at(i + 1) & 0x7F, s1, s2);
      if (c >= 0xF9 && c <= 0xFC) {
        // The NEC-selected form of an IBM extension: stored in the form code page 932 gives
        // the character everywhere else, so a search for it finds it.
        const char pair[2] = {static_cast<char>(s1), static_cast<char>(s2)};
        std::u32string text;
        if (DecodeToUnicode("CP932", std::string_view(pair, 2), text)) out += UnicodeToCp932FromJisMapping(text);
        else out += '?';
      } else {
        out += static_cast<char>(s1);
        out += static_cast<char>(s2);
      }
      i += 2;
    } else {
      out += '?';
      ++i;
    }
  }
  return out;
}

std::string IconvToSjis(const std::string& label_name, std::string_view bytes) {
  const std::string name = WithByteOrder(label_name, bytes);
  std::u32string text;
  if (!DecodeToUnicode(name, bytes, text)) return UnlabelledToSjis(bytes);
  return UnicodeToCp932FromJisMapping(std::move(text));
}

std::string Utf8BytesToUtf8(std::string_view bytes) {
  std::u32string text;
  DecodeToUnicode("UTF-8", bytes, text);
  return CodePointsToShownUtf8(text);
}

std::string IconvToUtf8(const std::string& label_name, std::string_view bytes) {
  const std::string name = WithByteOrder(label_name, bytes);
  std::u32string text;
  if (!DecodeToUnicode(name, bytes, text)) return UnlabelledToUtf8(bytes);
  return CodePointsToShownUtf8(text);
}

bool IsWide(const CharsetLabel& label) {
  return label.kind == CharsetKind::Other &&
         (label.iconv_name.rfind("UTF-16", 0) == 0 || label.iconv_name.rfind("UTF-32", 0) == 0 ||
          label.iconv_name.rfind("UCS-", 0) == 0 || label.iconv_name == "UTF-7");
}

}  // namespace

CharsetLabel ReadCharsetLabel(std::string_view label) {
  std::string name;
  for (char c : label) {
    if (c == '*') break;  // RFC 2231 language: "UTF-8*ja"
    if (c != '"' && c != '\'' && c != ' ' && c != '\t' && c != '\r' && c != '\n') name += ToAsciiUpper(c);
  }
  if (name.empty()) return {CharsetKind::None, {}};
  for (const Alias& a : kAliases)
    if (name == a.name) return {a.kind, a.iconv_name};
  if (name.rfind("ISO-2022-JP", 0) == 0 || name.rfind("ISO2022JP", 0) == 0) return {CharsetKind::Iso2022Jp, {}};
  if (IsPlainName(name)) {
    if (IconvKnows(name)) return {CharsetKind::Other, name};
    // "x-" names of charsets iconv knows without the prefix.
    if (name.rfind("X-", 0) == 0 && IconvKnows(name.substr(2))) return {CharsetKind::Other, name.substr(2)};
    // A suffix that says how the text is laid out, not how it is coded: "iso-8859-8-i" (logical
    // order), "iso-8859-6-e" (explicit direction) are their base charset.
    if (name.size() > 2 && (name.ends_with("-I") || name.ends_with("-E")))
      return ReadCharsetLabel(std::string_view(name).substr(0, name.size() - 2));
  }
  return {CharsetKind::Unknown, {}};
}

bool IsUtf8WithNonAscii(std::string_view s) {
  bool non_ascii = false;
  size_t i = 0;
  while (i < s.size()) {
    // ASCII eight bytes at a time: most of a Japanese 7-bit body.
    for (uint64_t word; i + 8 <= s.size(); i += 8) {
      std::memcpy(&word, s.data() + i, 8);
      if (word & 0x8080808080808080ULL) break;
    }
    if (i >= s.size()) break;
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    non_ascii = true;
    size_t length;
    char32_t min;
    if (c >= 0xC2 && c <= 0xDF) length = 2, min = 0x80;
    else if (c >= 0xE0 && c <= 0xEF) length = 3, min = 0x800;
    else if (c >= 0xF0 && c <= 0xF4) length = 4, min = 0x10000;
    else return false;
    if (i + length > s.size()) return false;
    char32_t cp = c & (0x3F >> (length - 1));
    for (size_t k = 1; k < length; ++k) {
      const auto t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = cp << 6 | (t & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += length;
  }
  return non_ascii;
}

std::string UnlabelledToSjis(std::string_view bytes) {
  if (IsUtf8WithNonAscii(bytes)) return Utf8ToCp932FromJisMapping(bytes);
  if (bytes.find('\x1B') != std::string_view::npos) return JisBytesToSjis(bytes);
  return ConvertCode(bytes, CodeSjis);
}

std::string CharsetToSjis(std::string_view label, std::string_view bytes) {
  return CharsetToSjis(ReadCharsetLabel(label), bytes);
}

std::string CharsetToSjis(const CharsetLabel& label, std::string_view bytes) {
  const bool wide = IsWide(label);
  // Escapes of ISO-2022-JP under another label: the label is wrong.
  if (label.kind != CharsetKind::Iso2022Jp && !wide && HasJisEscape(bytes)) return JisBytesToSjis(bytes);
  switch (label.kind) {
    case CharsetKind::None:
    case CharsetKind::Unknown:
      return UnlabelledToSjis(bytes);
    case CharsetKind::Ascii:
      return HasEightBit(bytes) ? UnlabelledToSjis(bytes) : std::string(bytes);
    case CharsetKind::Utf8:
      return Utf8ToCp932FromJisMapping(bytes);
    case CharsetKind::Iso2022Jp:
      if (bytes.find('\x1B') != std::string_view::npos || !HasEightBit(bytes)) return JisBytesToSjis(bytes);
      return UnlabelledToSjis(bytes);  // 8-bit text under an ISO-2022-JP label
    case CharsetKind::ShiftJis:
      return IsUtf8WithNonAscii(bytes) ? Utf8ToCp932FromJisMapping(bytes) : std::string(bytes);
    case CharsetKind::EucJp:
      if (IsUtf8WithNonAscii(bytes)) return Utf8ToCp932FromJisMapping(bytes);
      return EucJpToSjis(bytes);
    case CharsetKind::Other:
      return IconvToSjis(label.iconv_name, bytes);
  }
  return std::string(bytes);
}

}  // namespace plumex

namespace plumex {

// Each case reads the bytes as CharsetToSjis does; only the last step differs: Japanese codes
// go through Shift_JIS (which holds all they can say), the rest straight to UTF-8.
std::string UnlabelledToUtf8(std::string_view bytes) {
  if (IsUtf8WithNonAscii(bytes)) return Utf8BytesToUtf8(bytes);
  return SjisToShownUtf8(UnlabelledToSjis(bytes));
}

std::string CharsetToUtf8(std::string_view label, std::string_view bytes) {
  return CharsetToUtf8(ReadCharsetLabel(label), bytes);
}

std::string CharsetToUtf8(const CharsetLabel& label, std::string_view bytes) {
  if (label.kind != CharsetKind::Iso2022Jp && !IsWide(label) && HasJisEscape(bytes))
    return SjisToShownUtf8(JisBytesToSjis(bytes));
  switch (label.kind) {
    case CharsetKind::None:
    case CharsetKind::Unknown:
      return UnlabelledToUtf8(bytes);
    case CharsetKind::Ascii:
      return HasEightBit(bytes) ? UnlabelledToUtf8(bytes) : std::string(bytes);
    case CharsetKind::Utf8:
      return Utf8BytesToUtf8(bytes);
    case CharsetKind::Iso2022Jp:
      if (bytes.find('\x1B') != std::string_view::npos || !HasEightBit(bytes)) return SjisToShownUtf8(JisBytesToSjis(bytes));
      return UnlabelledToUtf8(bytes);
    case CharsetKind::ShiftJis:
      return IsUtf8WithNonAscii(bytes) ? Utf8BytesToUtf8(bytes) : SjisToShownUtf8(bytes);
    case CharsetKind::EucJp:
      if (IsUtf8WithNonAscii(bytes)) return Utf8BytesToUtf8(bytes);
      return IconvToUtf8("EUC-JP-MS", bytes);
    case CharsetKind::Other:
      return IconvToUtf8(label.iconv_name, bytes);
  }
  return std::string(bytes);
}

}  // namespace plumex

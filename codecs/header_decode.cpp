#include "codecs/header_decode.h"

#include "codecs/base64.h"
#include "codecs/code_page_to_sjis.h"
#include "codecs/encoded_word.h"
#include "codecs/jconvert.h"

namespace plumex {
namespace {

constexpr char kEsc = '\x1b';

struct WordKind {
  std::string_view marker;
  bool close_only_in_word;                      // "?=" outside a word is plain text
  std::string (*decode_payload)(std::string_view);  // one word's text to its bytes
  std::string (*convert)(std::string_view);         // the joined bytes to Shift_JIS
};

// One pass over the value. The bytes of adjacent words of this kind (nothing but white space
// between them) are joined before conversion, so a character or a JIS mode split across two
// words survives. Encoded words of other kinds are copied whole, so their "?=" is not taken
// for a stray one.
std::string ScanWords(std::string_view s, const WordKind& kind) {
  std::string out, payload, pending;
  out.reserve(s.size());
  bool open = false;
  auto flush = [&] {
    if (!pending.empty()) {
      out += kind.convert(pending);
      pending.clear();
    }
  };
  const std::size_t n = s.size();
  std::size_t i = 0;
  while (i < n) {
    if (StartsWithIgnoringCase(s, i, kind.marker)) {
      open = true;
      i += kind.marker.size();
      continue;
    }
    if (s.compare(i, 2, "?=") == 0 && (open || !kind.close_only_in_word)) {
      const bool closed_word = open;
      if (open) {
        pending += kind.decode_payload(payload);
        payload.clear();
        open = false;
      }
      i += 2;
      const std::size_t next = SkipLinearWhiteSpace(s, i);
      if (closed_word && StartsWithIgnoringCase(s, next, kind.marker)) i = next;
      continue;
    }
    if (open) {
      payload += s[i++];
      continue;
    }
    flush();
    if (const std::size_t word = EncodedWordLength(s, i)) {
      out.append(s, i, word);
      i += word;
      continue;
    }
    out += s[i++];
  }
  flush();  // an unclosed word is dropped with its text
  return out;
}

std::string QDecode(std::string_view text) { return DecodeQuotedPrintable(text, true); }
std::string AsIs(std::string_view bytes) { return std::string(bytes); }

std::string IsoBytesToSjis(std::string_view bytes) {
  std::string sjis = HeaderJisToSjis(bytes);
  if (sjis.find(kEsc) != std::string::npos) return CodePageToSjis(bytes, 50220);
  return sjis;
}

// White space between two encoded words is not part of the text (RFC 2047).
std::string DropSpaceBetweenWords(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    out += s[i];
    if (s[i] == '=' && i > 0 && s[i - 1] == '?') {
      const std::size_t next = SkipLinearWhiteSpace(s, i + 1);
      if (next > i + 1 && s.compare(next, 2, "=?") == 0) {
        i = next;
        continue;
      }
    }
    ++i;
  }
  return out;
}

// Folds and line breaks become one space, tabs become spaces (a stored value is one line of a
// TAB-separated index), the ends are trimmed.
std::string NormalizeWhiteSpace(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    if (s[i] == '\r' || s[i] == '\n') {
      std::size_t next = i;
      while (next < s.size() && (s[next] == '\r' || s[next] == '\n')) ++next;
      if (next < s.size() && s[next] != ' ' && s[next] != '\t') out += ' ';
      i = next;
      continue;
    }
    out += s[i] == '\t' ? ' ' : s[i];
    ++i;
  }
  const std::size_t first = out.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

std::string DeleteAll(std::string_view s, std::string_view what) {
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    if (s.compare(i, what.size(), what) == 0) {
      i += what.size();
    } else {
      out += s[i++];
    }
  }
  return out;
}

}  // namespace

std::string DecodeIsoB(std::string_view value) {
  return ScanWords(value, {"=?ISO-2022-JP?B?", false, Base64Decode, IsoBytesToSjis});
}

std::string DecodeUtf8B(std::string_view value) {
  return ScanWords(value, {"=?UTF-8?B?", false, Base64Decode, Utf8ToSjis});
}

std::string DecodeUtf8Q(std::string_view value) { return ScanWords(value, {"=?UTF-8?Q?", false, QDecode, Utf8ToSjis}); }

std::string DecodeAsciiQ(std::string_view value) { return ScanWords(value, {"=?US-ASCII?Q?", true, QDecode, AsIs}); }

std::string DecodeIsoQ(std::string_view value) {
  constexpr std::string_view kMarker = "=?ISO-2022-JP?Q?";
  std::string out, text;
  out.reserve(value.size());
  bool in_word = false;
  const std::size_t n = value.size();
  std::size_t i = 0;
  while (i < n) {
    if (StartsWithIgnoringCase(value, i, kMarker)) {
      in_word = true;
      i += kMarker.size();
      continue;
    }
    if (value.compare(i, 2, "?=") == 0) {
      in_word = false;
      i += 2;
      const std::size_t next = SkipLinearWhiteSpace(value, i);
      if (StartsWithIgnoringCase(value, next, kMarker)) i = next;
      continue;
    }
    if (!in_word) {
      if (const std::size_t word = EncodedWordLength(value, i)) {
        out += DecodeQuotedPrintable(text, false);
        text.clear();
        out.append(value, i, word);
        i += word;
        continue;
      }
    }
    text += in_word && value[i] == '_' ? ' ' : value[i];
    ++i;
  }
  out += DecodeQuotedPrintable(text, false);
  return HeaderJisToSjis(out);
}

std::string HeaderJisToSjis(std::string_view text) {
  enum class Mode { kOneByte, kTwoByte, kKana } mode = Mode::kOneByte;
  std::string out;
  out.reserve(text.size());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    if (text[i] == kEsc && i + 2 < n) {
      const char d = text[i + 1], e = text[i + 2];
      bool known = true;
      if (d == '$' && e == 'B') mode = Mode::kTwoByte;
      else if (d == '(' && (e == 'B' || e == 'J')) mode = Mode::kOneByte;
      else if (d == '(' && e == 'I') mode = Mode::kKana;
      else known = false;
      if (known) {
        i += 3;
        continue;
      }
    }
    const auto c = static_cast<unsigned char>(text[i]);
    if (mode == Mode::kTwoByte) {
      if (i + 1 >= n) break;  // half a character at the end gives nothing
      if (c >= 0x21 && c <= 0x7E) {
        const BytePair pair = JisPairToSjis(c, static_cast<unsigned char>(text[i + 1]));
        out += static_cast<char>(pair.first);
        out += static_cast<char>(pair.second);
      }
      i += 2;
      continue;
    }
    out += static_cast<char>(mode == Mode::kKana && c >= 0x21 && c <= 0x5F ? c | 0x80 : c);
    ++i;
  }
  return out;
}

std::string DecodeHeader(std::string_view raw, std::string_view message_charset) {
  // 1. Two words written back to back.
  std::string s = ReplaceAllIgnoringCase(raw, "?==?ISO-2022-JP", "?= =?ISO-2022-JP");
  s = DropSpaceBetweenWords(s);

  // 2. Relabel Shift_JIS words (their bytes pass the JIS decoders unchanged), or pre-decode.
  if (ContainsIgnoringCase(s, "=?US-ASCII?Q?")) s = DecodeAsciiQ(s);
  else if (ContainsIgnoringCase(s, "shift_jis")) s = ReplaceAllIgnoringCase(s, "shift_jis", "ISO-2022-JP");
  else if (ContainsIgnoringCase(s, "shift-jis")) s = ReplaceAllIgnoringCase(s, "shift-jis", "ISO-2022-JP");
  else if (ContainsIgnoringCase(s, "?cp932?")) s = ReplaceAllIgnoringCase(s, "cp932", "ISO-2022-JP");

  // Text that a word decoder has already brought to Shift_JIS is not converted again.
  bool words_decoded = false;
  if (ContainsIgnoringCase(s, "=?ISO-2022-JP?B?")) {  // 3
    s = DecodeIsoB(s);
    words_decoded = true;
  }
  if (ContainsIgnoringCase(s, "?ISO-2022-JP?Q")) {  // 4
    s = DecodeIsoQ(s);
    words_decoded = true;
  }
  if (ContainsIgnoringCase(s, "?GB2312?B?")) {  // 5: decoded, not converted
    s = ReplaceAllIgnoringCase(s, "=?GB2312?B?", "=?iso-2022-jp?B?");
    s = DecodeIsoB(s);
  }
  if (message_charset == "EUC" && !words_decoded) s = EucToSjis(s);  // 6
  if (ContainsIgnoringCase(s, "=?UTF-8?B?")) {  // 7
    s = DecodeUtf8B(s);
    words_decoded = true;
  } else if (ContainsIgnoringCase(s, "=?UTF-8?Q?")) {
    s = DecodeUtf8Q(s);
    words_decoded = true;
  }

  // 8. Final conversion of what is left.
  if (s.find("=1B") != std::string::npos) s = DecodeIsoQ(s);
  else if (s.find(kEsc) != std::string::npos) s = HeaderJisToSjis(s);
  else if (!words_decoded) s = ConvertCode(s, CodeSjis);

  s = DeleteAll(s, "\x1b$@");      // 9
  s = NormalizeWhiteSpace(s);      // 10
  s = DeleteAll(s, "\x1b(J");      // 11
  return DeleteAll(s, "\x1b(B");
}

}  // namespace plumex

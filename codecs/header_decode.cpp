#include "codecs/header_decode.h"

#include "codecs/code_page.h"
#include "codecs/jconvert.h"
#include "platform/ascii_case.h"
#include "platform/base64.h"
#include "platform/code_page.h"

namespace plumex {
namespace {

// Stands where white space separated two adjacent encoded words: the scanners join the words
// across it, and it never reaches the result.
constexpr char kJoin = '\x01';
constexpr unsigned char kEsc = 0x1B;

std::string ReplaceAllIgnoringCase(std::string_view s, std::string_view from, std::string_view to) {
  std::string out;
  size_t i = 0;
  while (i < s.size()) {
    if (StartsWithIgnoringCase(s, i, from)) {
      out += to;
      i += from.size();
    } else {
      out += s[i++];
    }
  }
  return out;
}

std::string RemoveAll(std::string_view s, std::string_view what) {
  std::string out;
  size_t i = 0;
  while (i < s.size()) {
    if (s.substr(i, what.size()) == what) i += what.size();
    else out += s[i++];
  }
  return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Length of the encoded word "=?charset?X?text?=" at i, or 0.
size_t EncodedWordLength(std::string_view s, size_t i) {
  if (s.substr(i, 2) != "=?") return 0;
  // Every part ends at the next "?", so no scan runs past the word: linear over a header.
  size_t q1 = i + 2;
  while (q1 < s.size() && s[q1] != '?' && !IsBlank(s[q1])) ++q1;
  if (q1 >= s.size() || s[q1] != '?' || q1 == i + 2) return 0;
  if (q1 + 2 >= s.size() || s[q1 + 2] != '?') return 0;
  char encoding = ToAsciiUpper(s[q1 + 1]);
  if (encoding != 'B' && encoding != 'Q') return 0;
  size_t end = q1 + 3;
  while (end < s.size() && s[end] != '?' && !IsBlank(s[end])) ++end;
  if (end + 1 >= s.size() || s[end] != '?' || s[end + 1] != '=') return 0;
  return end + 2 - i;
}

// Replaces the white space (or nothing) between two adjacent encoded words by kJoin.
std::string MarkAdjacentWords(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    if (size_t length = EncodedWordLength(s, i)) {
      out.append(s.substr(i, length));
      i += length;
      size_t blank_end = i;
      while (blank_end < s.size() && IsBlank(s[blank_end])) ++blank_end;
      if (EncodedWordLength(s, blank_end)) {
        out += kJoin;
        i = blank_end;
      }
      continue;
    }
    out += s[i++];
  }
  return out;
}

// The scan shared by the word decoders: marker opens a word, "?=" closes it, the byte after a
// closing "?=" is copied before the next marker test. A "?=" outside a word is plain text:
// it may close a word of another charset that a later scanner decodes.
// Each finished word is decoded to bytes by decode_word; the bytes of words that stand
// together are joined and converted once by convert.
template <typename DecodeWord, typename Convert>
std::string ScanWords(std::string_view s, std::string_view marker, DecodeWord decode_word, Convert convert) {
  std::string out;
  std::string word;     // text of the open word
  std::string pending;  // decoded bytes of the words since the last plain byte
  bool in_word = false;
  auto flush = [&] {
    if (!pending.empty()) out += convert(pending);
    pending.clear();
  };
  size_t p = 0;
  while (p < s.size()) {
    if (StartsWithIgnoringCase(s, p, marker)) {
      in_word = true;
      p += marker.size();
      continue;
    }
    if (s.substr(p, 2) == "?=" && in_word) {
      pending += decode_word(word);
      in_word = false;
      word.clear();
      p += 2;
      if (p >= s.size()) break;
    }
    char c = s[p];
    if (in_word) {
      word += c;
    } else if (c != kJoin) {
      flush();
      out += c;
    } else if (p + 1 >= s.size() || !StartsWithIgnoringCase(s, p + 1, marker)) {
      out += c;  // joins words of another kind: kept for their scanner
    }
    ++p;
  }
  flush();  // a word still open at the end is dropped with its text
  return out;
}

std::string IsoBytesToSjis(const std::string& bytes) {
  std::string result = JisToSjis(bytes, JisReading::HeaderWord);
  if (result.find(static_cast<char>(kEsc)) != std::string::npos)
    result = CodePageToSjis(bytes, kCodePageIso2022Jp);
  return result;
}

bool IsHex(char c) { return (c >= '0' && c <= '9') || (ToAsciiUpper(c) >= 'A' && ToAsciiUpper(c) <= 'F'); }
int HexValue(char c) { return c <= '9' ? c - '0' : ToAsciiUpper(c) - 'A' + 10; }

}  // namespace

std::string DecodeQuotedPrintable(std::string_view text, bool underscore_is_space) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '=' && (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n'))) {
      // A soft line break: "=" at the end of a line joins it to the next (RFC 2045).
      if (text[i + 1] == '\r' && i + 2 < text.size() && text[i + 2] == '\n') ++i;
      ++i;
    } else if (c == '=' && i + 2 < text.size() && IsHex(text[i + 1]) && IsHex(text[i + 2])) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else if (c == '_' && underscore_is_space) {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

std::string DecodeIsoB(std::string_view value) {
  return ScanWords(value, "=?ISO-2022-JP?B?", [](const std::string& w) { return Base64Decode(w); },
                   IsoBytesToSjis);
}

std::string DecodeUtf8B(std::string_view value) {
  return ScanWords(value, "=?UTF-8?B?", [](const std::string& w) { return Base64Decode(w); },
                   [](const std::string& bytes) { return Utf8ToSjis(bytes); });
}

std::string DecodeUtf8Q(std::string_view value) {
  return ScanWords(value, "=?UTF-8?Q?",
                   [](const std::string& w) { return DecodeQuotedPrintable(w, true); },
                   [](const std::string& bytes) { return Utf8ToSjis(bytes); });
}

std::string DecodeAsciiQ(std::string_view value) {
  // A broken "=" escape is copied as it stands: one hostile subject never stops a receive run.
  return ScanWords(value, "=?US-ASCII?Q?",
                   [](const std::string& w) { return DecodeQuotedPrintable(w, true); },
                   [](const std::string& bytes) { return bytes; });
}

std::string DecodeIsoQ(std::string_view value) {
  std::string s = RemoveAll(value, std::string(1, kJoin));
  s = ReplaceAllIgnoringCase(s, "=?ISO-2022-JP?Q?", "");
  s = RemoveAll(s, "?=");
  return JisToSjis(DecodeQuotedPrintable(s), JisReading::HeaderWord);
}

std::string DecodeHeader(std::string_view raw, std::string_view message_charset) {
  // Adjacent encoded words: the white space between them goes, and they decode together.
  std::string s = MarkAdjacentWords(raw);
  // US-ASCII words first; Shift_JIS and CP932 words are named ISO-2022-JP so that its B
  // decoder takes them (its JIS reader passes Shift_JIS bytes through unchanged).
  if (ContainsIgnoringCase(s, "=?US-ASCII?Q?")) {
    s = DecodeAsciiQ(s);
  } else if (ContainsIgnoringCase(s, "shift_jis")) {
    s = ReplaceAllIgnoringCase(s, "shift_jis", "ISO-2022-JP");
  } else if (ContainsIgnoringCase(s, "shift-jis")) {
    s = ReplaceAllIgnoringCase(s, "shift-jis", "ISO-2022-JP");
  } else if (ContainsIgnoringCase(s, "?cp932?")) {
    s = ReplaceAllIgnoringCase(s, "cp932", "ISO-2022-JP");
  }
  // Text that a word decoder has made is Shift_JIS already: detecting its code again would
  // take the IBM characters (0xFA..0xFC, such as 髙) for EUC-JP and garble them.
  bool words_decoded = false;
  // ISO-2022-JP words, B and Q, and GB2312 words read as ISO-2022-JP.
  if (ContainsIgnoringCase(s, "=?ISO-2022-JP?B?")) {
    s = DecodeIsoB(s);
    words_decoded = true;
  }
  if (ContainsIgnoringCase(s, "?ISO-2022-JP?Q")) {
    s = DecodeIsoQ(s);
    words_decoded = true;
  }
  if (ContainsIgnoringCase(s, "?GB2312?B?")) {
    s = ReplaceAllIgnoringCase(s, "=?GB2312?B?", "=?iso-2022-jp?B?");
    s = DecodeIsoB(s);
    words_decoded = true;
  }
  // Raw EUC-JP text of a message whose charset says so; decoded words are Shift_JIS already.
  if (message_charset == "EUC" && !words_decoded) s = EucToSjis(s);
  // UTF-8 words, B or Q (one kind per header).
  if (ContainsIgnoringCase(s, "=?UTF-8?B?")) {
    s = DecodeUtf8B(s);
    words_decoded = true;
  } else if (ContainsIgnoringCase(s, "=?UTF-8?Q?")) {
    s = DecodeUtf8Q(s);
    words_decoded = true;
  }
  s = RemoveAll(s, std::string(1, kJoin));
  // What is still encoded: ISO-2022-JP escapes in Q form or raw, else undecoded raw text by
  // its detected code.
  if (s.find("=1B") != std::string::npos) s = DecodeIsoQ(s);
  else if (s.find(static_cast<char>(kEsc)) != std::string::npos) s = JisToSjis(s, JisReading::HeaderWord);
  else if (!words_decoded) s = ConvertCode(s, CodeSjis);
  // Escapes that are left go; spaces stay, line breaks of folding go, tabs become spaces.
  s = RemoveAll(s, "\x1B$@");
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (c == '\t') out += ' ';  // folding white space reads as a space
    else if (c != '\r' && c != '\n') out += c;
  }
  out = RemoveAll(out, "\x1B(J");
  return RemoveAll(out, "\x1B(B");
}

std::string FindHeaderValue(std::string_view key, const std::vector<std::string>& lines, bool at_line_start,
                            size_t& start) {
  const size_t end = std::min<size_t>(lines.size(), 50);
  if (start >= end) return {};
  for (size_t i = start; i < end; ++i) {
    const std::string& line = lines[i];
    if (key.empty()) {
      if (line.empty()) {
        start = i + 1;
        return {};
      }
      continue;
    }
    size_t m = std::string::npos;
    // Character by character, so a match never starts on a trail byte.
    for (size_t p = 0; p + key.size() <= line.size();) {
      if (StartsWithIgnoringCase(line, p, key)) {
        m = p;
        break;
      }
      if (at_line_start) break;
      p += IsCp932LeadByte(static_cast<unsigned char>(line[p])) ? 2 : 1;
    }
    if (m == std::string::npos) continue;
    size_t cut = std::min(line.size(), m + key.size() + 1);
    std::string result = line.substr(cut);
    start = i + 1;
    if (!result.empty() && result.back() == ';') return result;
    for (size_t k = i + 1; k < end; ++k) {
      const std::string& next = lines[k];
      if (next.empty() || (next[0] != '\t' && next[0] != ' ')) break;
      std::string_view rest = std::string_view(next).substr(1);
      while (!rest.empty() && static_cast<unsigned char>(rest.front()) <= ' ') rest.remove_prefix(1);
      while (!rest.empty() && static_cast<unsigned char>(rest.back()) <= ' ') rest.remove_suffix(1);
      result += rest;
      start = k + 1;
    }
    return result;
  }
  start = end;
  return {};
}

}  // namespace plumex

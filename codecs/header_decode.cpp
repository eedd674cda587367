#include "codecs/header_decode.h"

#include "codecs/charset.h"
#include "codecs/cp932_check.h"
#include "codecs/jconvert.h"
#include "codecs/shown_text.h"
#include "text/ascii_case.h"
#include "text/base64.h"
#include "text/code_page.h"

namespace plumex {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsSpace(char c) { return c == ' ' || c == '\t'; }

std::string RemoveAll(std::string_view s, std::string_view what) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    if (s.substr(i, what.size()) == what) i += what.size();
    else out += s[i++];
  }
  return out;
}

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

bool IsHex(char c) { return (c >= '0' && c <= '9') || (ToAsciiUpper(c) >= 'A' && ToAsciiUpper(c) <= 'F'); }
int HexValue(char c) { return c <= '9' ? c - '0' : ToAsciiUpper(c) - 'A' + 10; }

// One encoded word "=?charset?B|Q?text?=" as found in a header value.
struct EncodedWord {
  std::string_view charset;
  char encoding = 'B';
  std::string_view text;
  size_t end = 0;  // just past the closing "?="
};

enum class WordScan { None, Word, OpenAtEnd };

// Reads the encoded word at s[i] ("=?"). Blanks next to its "?" markers are allowed, as some
// mail-filtering appliances write "=? ISO-2022-JP? B? ...?=". Every part ends at the next "?",
// so a header costs linear time however many "=?" it holds. A word whose text runs to the end
// of the value without its closing "?=" is reported so, and dropped by the caller.
WordScan ReadEncodedWord(std::string_view s, size_t i, EncodedWord& word) {
  const size_t n = s.size();
  size_t p = i + 2;
  while (p < n && IsSpace(s[p])) ++p;
  const size_t charset_begin = p;
  while (p < n && s[p] != '?' && !IsBlank(s[p])) ++p;
  if (p == charset_begin) return WordScan::None;
  word.charset = s.substr(charset_begin, p - charset_begin);
  while (p < n && IsSpace(s[p])) ++p;
  if (p >= n || s[p] != '?') return WordScan::None;
  ++p;
  while (p < n && IsSpace(s[p])) ++p;
  if (p >= n) return WordScan::None;
  word.encoding = ToAsciiUpper(s[p]);
  if (word.encoding != 'B' && word.encoding != 'Q') return WordScan::None;
  ++p;
  while (p < n && IsSpace(s[p])) ++p;
  if (p >= n || s[p] != '?') return WordScan::None;
  ++p;
  while (p < n && IsSpace(s[p])) ++p;
  const size_t text_begin = p;
  while (p < n && s[p] != '?') ++p;
  if (p >= n) return WordScan::OpenAtEnd;
  if (p + 1 >= n || s[p + 1] != '=') return WordScan::None;
  word.text = s.substr(text_begin, p - text_begin);
  word.end = p + 2;
  return WordScan::Word;
}

std::string WordBytes(const EncodedWord& word) {
  if (word.encoding == 'B') return Base64DecodeBytes(word.text);
  std::string text;
  for (char c : word.text)
    if (c != '\r' && c != '\n') text += c;
  return DecodeQuotedPrintable(text, true);  // "_" is a space in a Q word of every charset
}

bool SameCharset(const CharsetLabel& a, const CharsetLabel& b) {
  return a.kind == b.kind && a.iconv_name == b.iconv_name;
}

// What header decoding makes its text in: the store's Shift_JIS, or UTF-8 for showing.
enum class Target { Sjis, Utf8 };

std::string InTarget(Target target, const CharsetLabel& label, std::string_view bytes) {
  return target == Target::Sjis ? CharsetToSjis(label, bytes) : CharsetToUtf8(label, bytes);
}

// Raw text between encoded words: Q-encoded JIS escapes ("=1B"), UTF-8, ISO-2022-JP, or, in a
// message whose charset names one, that charset; else what detection makes of it.
std::string PlainText(std::string_view run, std::string_view message_charset, Target target) {
  bool plain = true;
  for (char c : run)
    if (static_cast<unsigned char>(c) >= 0x80 || c == '\x1B') plain = false;
  if (plain && run.find("=1B") == std::string_view::npos) return std::string(run);
  const auto sjis = [&](std::string s) { return target == Target::Sjis ? s : SjisToShownUtf8(s); };
  if (run.find("=1B") != std::string_view::npos) return sjis(DecodeIsoQ(run));
  if (IsUtf8WithNonAscii(run) || run.find('\x1B') != std::string_view::npos)
    return target == Target::Sjis ? UnlabelledToSjis(run) : UnlabelledToUtf8(run);
  const CharsetLabel label = ReadCharsetLabel(message_charset);
  if (label.kind == CharsetKind::EucJp || label.kind == CharsetKind::Other) return InTarget(target, label, run);
  return sjis(ConvertCode(run, CodeSjis));
}

std::string DecodeHeaderTo(std::string_view raw, std::string_view message_charset, Target target);

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

std::string DecodeIsoQ(std::string_view value) {
  std::string s = ReplaceAllIgnoringCase(value, "=?ISO-2022-JP?Q?", "");
  s = RemoveAll(s, "?=");
  return JisToSjis(DecodeQuotedPrintable(s), JisReading::HeaderWord);
}

std::string DecodeHeader(std::string_view raw, std::string_view message_charset) {
  return DecodeHeaderTo(raw, message_charset, Target::Sjis);
}

std::string DecodeHeaderUtf8(std::string_view raw, std::string_view message_charset) {
  return DecodeHeaderTo(raw, message_charset, Target::Utf8);
}

namespace {

std::string DecodeHeaderTo(std::string_view raw, std::string_view message_charset, Target target) {
  std::string out;
  out.reserve(raw.size());
  // Decoded bytes of the encoded words standing together in one charset: converted at once,
  // so a character split between two words (UTF-8 bytes, a JIS two-byte run) stays whole.
  std::string pending;
  CharsetLabel pending_charset;
  auto flush = [&] {
    if (!pending.empty()) out += InTarget(target, pending_charset, pending);
    pending.clear();
  };
  size_t plain_begin = 0;  // start of the raw text not yet taken
  bool after_word = false;
  size_t i = 0;
  while (i < raw.size()) {
    const size_t at = raw.find("=?", i);
    if (at == std::string_view::npos) break;
    EncodedWord word;
    const WordScan scan = ReadEncodedWord(raw, at, word);
    if (scan == WordScan::None) {
      i = at + 1;
      continue;
    }
    std::string_view between = raw.substr(plain_begin, at - plain_begin);
    bool only_blanks = true;
    for (char c : between) only_blanks = only_blanks && IsBlank(c);
    // White space between two encoded words is no part of the text (RFC 2047).
    if (!(after_word && only_blanks)) {
      flush();
      out += PlainText(between, message_charset, target);
    }
    if (scan == WordScan::OpenAtEnd) {
      plain_begin = raw.size();  // a word never closed is dropped with the rest of the value
      after_word = false;
      break;
    }
    const CharsetLabel charset = ReadCharsetLabel(word.charset);
    if (!pending.empty() && !SameCharset(charset, pending_charset)) flush();
    pending_charset = charset;
    pending += WordBytes(word);
    plain_begin = i = word.end;
    after_word = true;
  }
  flush();
  if (plain_begin < raw.size()) out += PlainText(raw.substr(plain_begin), message_charset, target);
  // Escapes that are left go; spaces stay, line breaks of folding go, tabs become spaces, and
  // other control characters (a NUL an encoded word decodes to) go: they are no text to show.
  // No byte below 0x20 is the second byte of a code page 932 character.
  std::string s = RemoveAll(out, "\x1B$@");
  std::string folded;
  folded.reserve(s.size());
  for (char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\t') folded += ' ';  // folding white space reads as a space
    else if ((u >= 0x20 && u != 0x7F) || c == '\x1B') folded += c;
  }
  folded = RemoveAll(folded, "\x1B(J");
  folded = RemoveAll(folded, "\x1B(B");
  if (target == Target::Sjis) KeepOnlyCp932Characters(folded);
  return folded;
}

}  // namespace

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

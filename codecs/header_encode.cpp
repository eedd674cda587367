#include "codecs/header_encode.h"

#include <algorithm>
#include <vector>

#include "codecs/jconvert.h"
#include "text/base64.h"
#include "text/code_page.h"

namespace plumex {

namespace {

bool IsHalfWidthKana(unsigned char c) { return c >= 0xA1 && c <= 0xDF; }

// UTF-8 bytes of a word's text: at most this many, so a word stays within 75 characters.
constexpr size_t kUtf8WordBytes = 45;

// "=?UTF-8?B?...?=" words for UTF-8 text, split between characters, separated by spaces (which
// a reader drops between adjacent words).
std::string Utf8Words(std::string_view utf8) {
  std::string out;
  size_t i = 0;
  while (i < utf8.size()) {
    size_t end = std::min(utf8.size(), i + kUtf8WordBytes);
    while (end < utf8.size() && end > i + 1 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
    if (!out.empty()) out += ' ';
    out += "=?UTF-8?B?" + Base64Encode(utf8.substr(i, end - i)) + "?=";
    i = end;
  }
  return out;
}

}  // namespace

bool FitsJisX0208(std::string_view sjis) {
  for (size_t i = 0; i < sjis.size(); ++i) {
    const auto c = static_cast<unsigned char>(sjis[i]);
    if (!IsCp932LeadByte(c)) continue;
    if (i + 1 >= sjis.size()) return false;
    unsigned char j1, j2;
    SjisPairToJis(c, static_cast<unsigned char>(sjis[i + 1]), j1, j2);
    // Rows 1 to 8 and 16 to 84; row 13 (NEC), rows 89 and up (NEC-selected IBM and IBM
    // extensions) and the user-defined rows are code page 932's own.
    const bool in_rows = (j1 >= 0x21 && j1 <= 0x28) || (j1 >= 0x30 && j1 <= 0x74);
    if (!in_rows || j2 < 0x21 || j2 > 0x7E) return false;
    ++i;
  }
  return true;
}

std::string EncodeHeaderUtf8(std::string_view value) {
  // Whole space-separated tokens are encoded, so that no word touches other text (a reader
  // would not decode "Re:=?UTF-8?...?="), and the spaces between two encoded tokens go inside
  // the words (a reader drops white space that stands between two encoded words).
  auto has_eight_bit = [](std::string_view token) {
    for (char c : token)
      if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
  };
  std::vector<std::string_view> tokens;
  for (size_t i = 0;;) {
    const size_t space = value.find(' ', i);
    tokens.push_back(value.substr(i, space == std::string_view::npos ? std::string_view::npos : space - i));
    if (space == std::string_view::npos) break;
    i = space + 1;
  }
  std::string out;
  for (size_t k = 0; k < tokens.size();) {
    if (k) out += ' ';
    if (!has_eight_bit(tokens[k])) {
      out += tokens[k++];
      continue;
    }
    std::string text(tokens[k++]);
    while (k < tokens.size() && has_eight_bit(tokens[k])) text += " " + std::string(tokens[k++]);
    out += Utf8Words(Cp932ToUtf8(text));
  }
  return out;
}

std::string EncodeHeaderWordUtf8(std::string_view value) {
  for (char c : value)
    if (static_cast<unsigned char>(c) >= 0x80) return Utf8Words(Cp932ToUtf8(value));
  return std::string(value);
}

std::string EncodeHeaderWord(std::string_view value) {
  bool has_lead = false;
  for (size_t i = 0; i < value.size(); ++i) {
    const auto c = static_cast<unsigned char>(value[i]);
    if ((IsCp932LeadByte(c) && i + 1 < value.size()) || IsHalfWidthKana(c)) {
      has_lead = true;
      break;
    }
  }
  if (!has_lead) return std::string(value);
  std::string jis;
  bool two_byte = false;
  for (size_t i = 0; i < value.size(); ++i) {
    auto c = static_cast<unsigned char>(value[i]);
    if (IsHalfWidthKana(c)) {
      // Full width, as in the body: ISO-2022-JP has no half-width katakana.
      if (!two_byte) {
        jis += "\x1B$B";
        two_byte = true;
      }
      const uint16_t code = HankakuToZenkaku(value, i, false);
      jis += static_cast<char>(code >> 8);
      jis += static_cast<char>(code & 0xFF);
      --i;  // the loop steps past what HankakuToZenkaku consumed
    } else if (IsCp932LeadByte(c) && i + 1 < value.size()) {
      if (!two_byte) {
        jis += "\x1B$B";
        two_byte = true;
      }
      unsigned char j1, j2;
      SjisPairToJis(c, static_cast<unsigned char>(value[i + 1]), j1, j2);
      jis += static_cast<char>(j1);
      jis += static_cast<char>(j2);
      ++i;
    } else {
      if (two_byte) {
        jis += "\x1B(B";
        two_byte = false;
      }
      jis += static_cast<char>(c);
    }
  }
  if (two_byte) jis += "\x1B(B";
  return "=?ISO-2022-JP?B?" + Base64Encode(jis) + "?=";
}

}  // namespace plumex

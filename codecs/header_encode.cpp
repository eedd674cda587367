#include "codecs/header_encode.h"

#include "codecs/base64.h"
#include "codecs/jconvert.h"
#include "platform/code_page.h"

namespace plumex {
namespace {

constexpr std::string_view kWordStart = "=?ISO-2022-JP?B?";
constexpr std::string_view kWordEnd = "?=";

bool IsLead(char c) { return IsCp932LeadByte(static_cast<unsigned char>(c)); }

}  // namespace

std::string EncodeHeaderB(std::string_view sjis) {
  std::string out;
  const std::size_t n = sjis.size();
  std::size_t i = 0;
  while (i < n) {
    if (!IsLead(sjis[i])) {
      out += sjis[i++];
      continue;
    }
    const std::size_t start = i;
    while (i + 1 < n && IsLead(sjis[i])) i += 2;
    if (i == start) {  // a lead byte without its trail byte at the end: not a character
      ++i;
      continue;
    }
    out += kWordStart;
    out += Base64Encode(SjisToJis(sjis.substr(start, i - start)));
    out += kWordEnd;
  }
  return out;
}

std::string EncodeHeaderWord(std::string_view sjis) {
  bool has_lead = false;
  for (char c : sjis)
    if (IsLead(c)) has_lead = true;
  if (!has_lead) return std::string(sjis);

  std::string jis;
  bool two_byte = false;
  const std::size_t n = sjis.size();
  std::size_t i = 0;
  while (i < n) {
    const auto s1 = static_cast<unsigned char>(sjis[i]);
    if (IsCp932LeadByte(s1)) {
      if (i + 1 >= n) break;  // lead byte without its trail byte
      const auto s2 = static_cast<unsigned char>(sjis[i + 1]);
      if (!two_byte) {
        jis += "\x1b$B";
        two_byte = true;
      }
      int j1 = 2 * s1 - 96;
      if (s1 < 160) j1 -= 128;
      if (s2 < 159) j1 -= 1;
      const int j2 = s2 <= 126 ? s2 - 31 : s2 <= 158 ? s2 - 32 : s2 - 126;
      jis += static_cast<char>(static_cast<unsigned char>(j1 & 0xFF));
      jis += static_cast<char>(static_cast<unsigned char>(j2 & 0xFF));
      i += 2;
      continue;
    }
    if (two_byte) {
      jis += "\x1b(B";
      two_byte = false;
    }
    jis += static_cast<char>(s1);
    ++i;
  }
  if (two_byte) jis += "\x1b(B";
  return std::string(kWordStart) + Base64Encode(jis) + std::string(kWordEnd);
}

}  // namespace plumex

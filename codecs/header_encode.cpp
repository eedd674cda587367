#include "codecs/header_encode.h"

#include "codecs/jconvert.h"
#include "platform/base64.h"
#include "platform/code_page.h"

namespace plumex {

std::string EncodeHeaderWord(std::string_view value) {
  bool has_lead = false;
  for (size_t i = 0; i < value.size(); ++i) {
    if (IsCp932LeadByte(static_cast<unsigned char>(value[i])) && i + 1 < value.size()) {
      has_lead = true;
      break;
    }
  }
  if (!has_lead) return std::string(value);
  std::string jis;
  bool two_byte = false;
  for (size_t i = 0; i < value.size(); ++i) {
    auto c = static_cast<unsigned char>(value[i]);
    if (IsCp932LeadByte(c) && i + 1 < value.size()) {
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

#include "codecs/code_page.h"

#include "codecs/charset.h"
#include "codecs/jconvert.h"
#include "platform/code_page.h"

namespace plumex {
std::string Utf8ToSjis(std::string_view utf8) {
  std::u32string text;
  DecodeToUnicode("UTF-8", utf8, text);
  return UnicodeToSjis(std::move(text));
}

std::string CodePageToSjis(std::string_view bytes, int code_page) {
  size_t zero = bytes.find('\0');
  if (zero != std::string_view::npos) bytes = bytes.substr(0, zero);
  if (code_page == kCodePageUtf8) return Utf8ToSjis(bytes);
  return JisToSjis(bytes, JisReading::CodePage50220);
}

}  // namespace plumex

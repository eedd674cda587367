#include "codecs/body_text.h"

#include "codecs/code_page_to_sjis.h"
#include "codecs/encoded_word.h"
#include "codecs/header_decode.h"
#include "codecs/jconvert.h"

namespace plumex {
namespace {

bool IsShiftJisName(std::string_view charset) {
  for (std::string_view name : {"SHIFT_JIS", "SHIFT-JIS", "SJIS", "CP932", "WINDOWS-31J", "MS932"})
    if (ContainsIgnoringCase(charset, name)) return true;
  return false;
}

}  // namespace

std::string DecodeBodyText(std::string_view charset, std::string_view text) {
  std::string t(text);
  // Converted text is not detected again: detection would take the IBM kanji of code page 932
  // (0xFA to 0xFC, as in 髙) for EUC-JP and garble the body.
  bool converted = false;
  if (ContainsIgnoringCase(charset, "UTF-8")) {
    t = Utf8ToSjis(t);
    converted = true;
  } else if (ContainsIgnoringCase(charset, "ISO-2022-JP")) {
    t = ConvertCode(t, CodeSjis);
    converted = true;
  } else if (IsShiftJisName(charset)) {
    converted = true;
  }
  if (t.find('\x1b') != std::string::npos) return CodePageToSjis(t, 50220);
  if (t.find("=1B") != std::string::npos) return HeaderJisToSjis(DecodeIsoQ(t));
  if (!converted) return ConvertCode(t, CodeSjis);
  return t;
}

}  // namespace plumex

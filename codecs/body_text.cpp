#include "codecs/body_text.h"

#include "codecs/code_page.h"
#include "codecs/header_decode.h"
#include "codecs/jconvert.h"
#include "platform/ascii_case.h"

namespace plumex {

std::string DecodeBodyText(std::string_view charset, std::string_view text) {
  std::string t(text);
  bool converted = false;
  if (ContainsIgnoringCase(charset, "UTF-8")) {
    // Converted already: a second detection would take IBM characters (髙) for EUC-JP.
    t = Utf8ToSjis(t);
    converted = true;
  } else if (ContainsIgnoringCase(charset, "SHIFT_JIS") || ContainsIgnoringCase(charset, "SHIFT-JIS") ||
             ContainsIgnoringCase(charset, "CP932") || ContainsIgnoringCase(charset, "WINDOWS-31J") ||
             ContainsIgnoringCase(charset, "SJIS")) {
    converted = true;  // the store's own code: nothing to detect
  } else if (ContainsIgnoringCase(charset, "ISO-2022-JP")) {
    t = ConvertCode(t, CodeSjis);
    converted = true;
  }
  if (t.find('\x1B') != std::string::npos) return CodePageToSjis(t, kCodePageIso2022Jp);
  if (t.find("=1B") != std::string::npos) return JisToSjis(DecodeIsoQ(t), JisReading::HeaderWord);
  if (!converted) return ConvertCode(t, CodeSjis);
  return t;
}

}  // namespace plumex

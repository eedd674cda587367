#include "codecs/body_text.h"

#include "codecs/code_page.h"
#include "codecs/header_decode.h"
#include "codecs/jconvert.h"

namespace plumex {
namespace {

bool ContainsUpper(std::string_view charset, std::string_view what) {
  std::string upper(charset);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return upper.find(what) != std::string::npos;
}

}  // namespace

std::string DecodeBodyText(std::string_view charset, std::string_view text) {
  std::string t(text);
  bool converted = false;
  if (ContainsUpper(charset, "UTF-8")) {
    // Converted already: a second detection would take IBM characters (髙) for EUC-JP.
    t = Utf8ToSjis(t);
    converted = true;
  } else if (ContainsUpper(charset, "SHIFT_JIS") || ContainsUpper(charset, "SHIFT-JIS") ||
             ContainsUpper(charset, "CP932") || ContainsUpper(charset, "WINDOWS-31J") ||
             ContainsUpper(charset, "SJIS")) {
    converted = true;  // the store's own code: nothing to detect
  } else if (ContainsUpper(charset, "ISO-2022-JP")) {
    t = ConvertCode(t, CodeSjis);
    converted = true;
  }
  if (t.find('\x1B') != std::string::npos) return CodePageToSjis(t, kCodePageIso2022Jp);
  if (t.find("=1B") != std::string::npos) return HeaderJisToSjis(DecodeIsoQ(t));
  if (!converted) return ConvertCode(t, CodeSjis);
  return t;
}

}  // namespace plumex

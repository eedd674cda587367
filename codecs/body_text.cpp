#include "codecs/body_text.h"

#include "codecs/charset.h"
#include "codecs/cp932_check.h"
#include "codecs/header_decode.h"
#include "codecs/jconvert.h"
#include "codecs/shown_text.h"

namespace plumex {
namespace {

// Text that is JIS in some form: escapes (read as code page 50220 reads them when detection
// leaves any), or JIS escapes in quoted-printable form.
std::string JisBodyToSjis(std::string_view text) {
  std::string t = ConvertCode(text, CodeSjis);
  // Read to the end: a zero byte in a body ends nothing.
  if (t.find('\x1B') != std::string::npos) return JisToSjis(t, JisReading::CodePage50220);
  if (t.find("=1B") != std::string::npos) return JisToSjis(DecodeIsoQ(t), JisReading::HeaderWord);
  return t;
}

}  // namespace

std::string DecodeBodyTextUtf8(std::string_view charset, std::string_view text) {
  const CharsetLabel label = ReadCharsetLabel(charset);
  switch (label.kind) {
    case CharsetKind::None:
    case CharsetKind::Unknown:
    case CharsetKind::Ascii:
    case CharsetKind::Iso2022Jp:
      return IsUtf8WithNonAscii(text) ? CharsetToUtf8("UTF-8", text) : SjisToShownUtf8(JisBodyToSjis(text));
    default:
      return CharsetToUtf8(label, text);
  }
}

std::string DecodeBodyText(std::string_view charset, std::string_view text) {
  const CharsetLabel label = ReadCharsetLabel(charset);
  std::string t;
  switch (label.kind) {
    case CharsetKind::None:
    case CharsetKind::Unknown:
    case CharsetKind::Ascii:
    case CharsetKind::Iso2022Jp:
      // Valid UTF-8 with non-ASCII bytes is UTF-8 whatever these labels say; the rest is JIS
      // or what detection finds.
      t = IsUtf8WithNonAscii(text) ? CharsetToSjis("UTF-8", text) : JisBodyToSjis(text);
      break;
    default:
      t = CharsetToSjis(label, text);
  }
  KeepOnlyCp932Characters(t);
  return t;
}

}  // namespace plumex

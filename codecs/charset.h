// Text in any declared character set (a MIME charset label) to Shift_JIS (code page 932),
// and the detection that stands in when the label is missing, unknown or plainly wrong.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

// The kinds of label the decoders treat apart; every other label names an iconv charset.
enum class CharsetKind {
  None,       // no label
  Ascii,      // US-ASCII and its aliases
  Utf8,
  Iso2022Jp,  // ISO-2022-JP and its variants (-MS, -1, -2, -3, CP50220..50222): our own reader
  ShiftJis,   // Shift_JIS, CP932, Windows-31J and their aliases: the store's own code
  EucJp,
  Other,      // a charset iconv knows (iconv_name)
  Unknown,    // a label nobody knows
};

struct CharsetLabel {
  CharsetKind kind = CharsetKind::None;
  std::string iconv_name;  // for Other: the name to open iconv with
};

// Reads a label as mail writes it: any letter case, quoted, with an RFC 2231 language
// ("UTF-8*ja"), or one of the registry's aliases (x-sjis, MS932, x-euc-jp, csISO2022JP, UTF8,
// ks_c_5601-1987, ...).
CharsetLabel ReadCharsetLabel(std::string_view label);

// True when bytes are valid UTF-8 and hold at least one non-ASCII character.
bool IsUtf8WithNonAscii(std::string_view bytes);

// Text without a usable label to Shift_JIS: valid UTF-8 with non-ASCII bytes is UTF-8;
// otherwise ISO-2022-JP escapes, EUC-JP and Shift_JIS are told apart by DetectCode.
std::string UnlabelledToSjis(std::string_view bytes);

// Bytes in the labelled charset to Shift_JIS; a character code page 932 lacks becomes "?".
// A missing or unknown label, and a Japanese label whose bytes are plainly another code
// (escapes in a non-ISO-2022 label, UTF-8 in an ISO-2022-JP one), fall back to detection.
std::string CharsetToSjis(std::string_view label, std::string_view bytes);
std::string CharsetToSjis(const CharsetLabel& label, std::string_view bytes);

// The same readings to UTF-8, for showing what code page 932 cannot hold: every character the
// bytes stand for (carrier pictographs as emoji; see shown_text.h).
std::string UnlabelledToUtf8(std::string_view bytes);
std::string CharsetToUtf8(std::string_view label, std::string_view bytes);
std::string CharsetToUtf8(const CharsetLabel& label, std::string_view bytes);

}  // namespace plumex

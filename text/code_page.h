// Code page conversion through iconv. The core keeps every text as code page 932 bytes;
// these functions are the only way in and out of other character sets.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

// True for a byte that starts a two-byte character in code page 932.
inline bool IsCp932LeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Code page 932 to UTF-8. A byte sequence that is not valid CP932 becomes U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);

// UTF-8 to code page 932 by the Windows code page 932 table (iconv's CP932), for text a
// person typed or the program writes: a character the table lacks is carried in the
// user-defined rows (see carried_text.h) and comes back whole from Cp932ToUtf8; beyond what
// is carried, and invalid UTF-8, becomes "?".
std::string Utf8ToCp932(std::string_view utf8);

// Code points to code page 932 for text that arrives from elsewhere (mail, other programs),
// by the JIS X 0208 mapping: the code points it gives 〜 ‖ − ¢ £ ¬ — become the code page
// 932 characters that stand for them (～ ∥ － ￠ ￡ ￢ ―) whatever the converter's table
// says, a byte order mark is dropped, and what the table lacks, private use and U+FFFD
// become "?": the store's form, nothing carried.
std::string UnicodeToCp932FromJisMapping(std::u32string text);
// The same from UTF-8, read in pieces so that a huge text is never held as code points at once.
std::string Utf8ToCp932FromJisMapping(std::string_view utf8);

// Decodes `bytes` in `charset` (any name iconv knows) to code points. An invalid byte becomes
// U+FFFD and decoding goes on with the next byte. Returns false when iconv does not know the charset.
bool DecodeToUnicode(std::string_view charset, std::string_view bytes, std::u32string& out);

// Encodes code points in `charset`. A code point the charset lacks is written as `fallback`.
// Returns false when iconv does not know the charset.
bool EncodeFromUnicode(std::string_view charset, std::u32string_view text, std::string& out,
                       std::string_view fallback = "?");

// Whole conversion from one charset to another; false when either charset is unknown.
bool ConvertCharset(std::string_view from, std::string_view to, std::string_view bytes,
                    std::string& out, std::string_view fallback = "?");

// UTF-8 helpers for code points.
void AppendUtf8(char32_t cp, std::string& out);
std::u32string DecodeUtf8(std::string_view utf8);

}  // namespace plumex

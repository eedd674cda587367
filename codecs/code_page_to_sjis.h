// Conversion of text in other code pages to Shift_JIS (code page 932).
#pragma once

#include <string>
#include <string_view>

namespace plumex {

// Converts `bytes` up to the first zero byte from `code_page` to code page 932.
// 50220 (and 50221, 50222): ISO-2022-JP with its Windows variants - ESC $ B, ESC $ @,
// ESC ( B, ESC ( J, ESC ( I and SO/SI half-width katakana, NEC row 13 and the IBM rows, JIS X
// 0212 where code page 932 has the character. Bytes in one-byte mode are copied as they are.
// 932: copied. 65001: as Utf8ToSjis. Others through the platform's converter; a code page it
// does not know gives the bytes unchanged.
std::string CodePageToSjis(std::string_view bytes, int code_page);

// UTF-8 to code page 932. The JIS-table code points that code page 932 writes with other
// characters (U+301C 〜, U+2016 ‖, U+2212 −, U+00A2 ¢, U+00A3 £, U+00AC ¬, U+2014 —) become
// those characters; anything else without a code page 932 form, and malformed UTF-8, gives "?".
std::string Utf8ToSjis(std::string_view utf8);

}  // namespace plumex

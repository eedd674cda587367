// Text for showing, in UTF-8: every character the bytes stand for, where the store's code page
// 932 text has a substitute. What no font could draw (private use, broken bytes) becomes the
// same one "?" the store writes.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

// Shift_JIS (code page 932, with carrier pictographs in its user-defined rows) to UTF-8: a
// pictograph becomes its emoji; a pair that is no character, a lone lead byte, a byte no
// character starts with and a zero byte each become "?", as the store's guard makes them.
std::string SjisToShownUtf8(std::string_view sjis);

// Code points to UTF-8: a carrier's private-use pictograph becomes its emoji, other private
// use and U+FFFD become "?", NUL and the byte order mark go.
std::string CodePointsToShownUtf8(std::u32string_view text);

}  // namespace plumex

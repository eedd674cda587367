// Conversions of whole texts from other character sets into Shift_JIS (code page 932).
#pragma once

#include <string>
#include <string_view>

namespace plumex {

inline constexpr int kCodePageIso2022Jp = 50220;
inline constexpr int kCodePageUtf8 = 65001;

// CodePageToSjis: the bytes up to the first zero byte, from code page 50220 (ISO-2022-JP with
// the escapes of its variants: ESC $ B, ESC $ @, ESC ( B, ESC ( J, ESC ( I, SO / SI, and the
// NEC row 13 characters) or 65001 (UTF-8), to code page 932. A character code page 932 lacks
// becomes "?".
std::string CodePageToSjis(std::string_view bytes, int code_page);

// UTF-8 to code page 932. The JIS forms that many systems write for 〜 ‖ − ¢ £ ¬ — become the
// code page 932 characters that stand for them; other missing characters become "?".
std::string Utf8ToSjis(std::string_view utf8);

}  // namespace plumex

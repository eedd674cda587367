// Encoding of Shift_JIS header values for outgoing mail (ISO-2022-JP encoded words).
#pragma once

#include <string>
#include <string_view>

namespace plumex {

// Each run of double-byte characters becomes its own "=?ISO-2022-JP?B?...?=" word; all other
// bytes (half-width katakana included) stay as they are, with nothing inserted between runs.
std::string EncodeHeaderB(std::string_view sjis);

// The whole value as one "=?ISO-2022-JP?B?...?=" word (ESC $ B ... ESC ( B inside), or the
// value unchanged when it holds no double-byte character.
std::string EncodeHeaderWord(std::string_view sjis);

}  // namespace plumex

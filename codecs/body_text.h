// DecodeBodyText: a message body (or text part) in the named charset to Shift_JIS text that
// holds only code page 932 characters. Any charset iconv knows is honoured; a missing,
// unknown or plainly wrong label falls back to detection (valid UTF-8 first, then JIS,
// EUC-JP and Shift_JIS).
#pragma once

#include <string>
#include <string_view>

namespace plumex {

std::string DecodeBodyText(std::string_view charset, std::string_view text);
// The same decoding to UTF-8, for showing every character the text holds.
std::string DecodeBodyTextUtf8(std::string_view charset, std::string_view text);

}  // namespace plumex

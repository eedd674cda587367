// Bringing a message body or text part to Shift_JIS by its declared charset.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

// UTF-8 and ISO-2022-JP bodies are converted by their charset, a body declared Shift_JIS is
// kept, anything else (no charset included) goes through detection. A body that still holds
// JIS escapes, or quoted-printable JIS ("=1B"), is decoded as such.
std::string DecodeBodyText(std::string_view charset, std::string_view text);

}  // namespace plumex

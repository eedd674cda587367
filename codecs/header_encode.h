// EncodeHeaderWord: the whole Shift_JIS value as one "=?ISO-2022-JP?B?...?=" word (for the
// Message-ID and attachment file names of outgoing mail); a value without a double-byte
// character is returned unchanged.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

std::string EncodeHeaderWord(std::string_view value);

}  // namespace plumex

// EncodeHeaderWord: the whole Shift_JIS value as one "=?ISO-2022-JP?B?...?=" word (for the
// Message-ID and attachment file names of outgoing mail); a value without a double-byte
// character is returned unchanged.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

std::string EncodeHeaderWord(std::string_view value);

// True when every character of the Shift_JIS text is ASCII, a half-width katakana (sent full
// width) or a JIS X 0208 character, so the text can go out as ISO-2022-JP. Characters of code
// page 932's own rows (NEC ① Ⅱ ㈱, the IBM extension kanji 髙 﨑) cannot.
bool FitsJisX0208(std::string_view sjis);

// Header values for a message sent as UTF-8: each run of non-ASCII characters as UTF-8
// "=?UTF-8?B?...?=" words (split so none is longer than 75 characters); ASCII unchanged.
std::string EncodeHeaderUtf8(std::string_view value);
// The whole value as UTF-8 words when it holds a non-ASCII character (file names).
std::string EncodeHeaderWordUtf8(std::string_view value);

}  // namespace plumex

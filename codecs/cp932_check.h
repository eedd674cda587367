// The guard every decoded text passes before it is stored: only characters of code page 932.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

// True when the two bytes are one character of code page 932 (its user-defined rows
// 0xF040..0xF9FC, which stand for pictographs and other private characters, are not).
bool IsCp932Pair(unsigned char lead, unsigned char trail);

// Text that holds only characters of code page 932: a byte pair that is no character, a lone
// lead byte, a byte no character starts with and a zero byte each become "?".
std::string OnlyCp932Characters(std::string_view text);
// The same, in place.
void KeepOnlyCp932Characters(std::string& text);

}  // namespace plumex

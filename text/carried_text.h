// Characters code page 932 lacks (emoji, Hangul, most hanzi, accented Latin...) that a person
// typed travel inside the core's code page 932 text: Utf8ToCp932 carries each as two pairs of
// the code page's user-defined rows (a high pair, lead bytes F0..F4, and a low pair, F5..F9,
// of 940 values each), and Cp932ToUtf8 gives the character back. So what was typed reaches
// drafts, the delayed-send queue, merge and sent mail whole, through every layer, as any other
// character does. Code points up to U+3FFFF and the tags and variation selectors at
// U+E0000..U+E0FFF are carried; others become "?". Text decoded from received mail never
// holds such pairs: the store's guard (OnlyCp932Characters) makes every character it lacks
// one "?".
#pragma once

#include <string>
#include <string_view>

namespace plumex {

// The text as the store keeps received mail: each carried character one "?".
std::string WithSubstitutes(std::string_view cp932);

}  // namespace plumex

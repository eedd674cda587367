// Carrier pictographs (mobile phone mail in Shift_JIS, codes F89F..F9FC) and the Unicode
// emoji that stand for them, so that they are shown as emoji rather than as private-use
// characters no font has.
#pragma once

namespace plumex {

// The emoji (one or a few code points, zero-terminated) of the Shift_JIS code lead << 8 |
// trail; nullptr when there is none.
const char32_t* CarrierPictograph(unsigned code);

// The Shift_JIS code of a pictograph the same carrier writes as a private-use code point in
// Unicode text; 0 for every other code point.
unsigned CarrierPictographCodeOfPrivateUse(char32_t c);

}  // namespace plumex

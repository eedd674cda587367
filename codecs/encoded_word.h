// Small text helpers shared by the header decoders: case-blind search over ASCII letters,
// RFC 2047 encoded-word shape, quoted-printable.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plumex {

// Byte-wise comparison that folds only the ASCII letters (like upper-casing both sides).
bool StartsWithIgnoringCase(std::string_view text, std::size_t pos, std::string_view prefix);
bool ContainsIgnoringCase(std::string_view text, std::string_view needle);
std::string ReplaceAllIgnoringCase(std::string_view text, std::string_view from, std::string_view to);

// Length of the encoded word "=?charset?B|Q?text?=" that starts at `pos`, or 0.
std::size_t EncodedWordLength(std::string_view text, std::size_t pos);

// Skips spaces, tabs, CRs and LFs from `pos`.
std::size_t SkipLinearWhiteSpace(std::string_view text, std::size_t pos);

// Quoted-printable: "=" and two hexadecimal digits (either case) give one byte, "=" at a line
// end is a soft break and vanishes, any other "=" is copied as it stands. With
// `underscore_is_space` (the Q encoding of header words) "_" stands for a space.
std::string DecodeQuotedPrintable(std::string_view text, bool underscore_is_space);

}  // namespace plumex

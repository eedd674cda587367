// Decoding of header values (MIME encoded words and raw Japanese text) to Shift_JIS, and the
// lookup of values in header lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace plumex {

// A raw header value to Shift_JIS text holding only code page 932 characters. Encoded words
// (B or Q, in any charset, in any mix) are decoded; white space between two adjacent words is
// dropped and words of the same charset standing together are decoded as one text; every
// other space stays. Raw text is read as UTF-8 when it is valid UTF-8, else as ISO-2022-JP,
// as the charset of the message (message_charset, when it names EUC-JP or a non-Japanese
// charset), or by detection. A word never closed is dropped with the rest of the value.
std::string DecodeHeader(std::string_view raw, std::string_view message_charset = {});
// The same decoding to UTF-8, for showing every character the value holds.
std::string DecodeHeaderUtf8(std::string_view raw, std::string_view message_charset = {});

// Q-encoded ISO-2022-JP: the words' markers removed, the whole value decoded as
// quoted-printable and read as JIS.
std::string DecodeIsoQ(std::string_view value);

// Quoted-printable: "=" and two hex digits (either case) give one byte; anything else, a
// broken escape included, is copied. With underscore_is_space, "_" gives a space (Q words).
std::string DecodeQuotedPrintable(std::string_view text, bool underscore_is_space = false);

// FindHeaderValue: looks for key (ignoring case, never inside a double-byte character) in the
// first 50 lines from `start`; returns what follows the key and the one character after it,
// with continuation lines appended, and moves `start` past the lines taken. An empty key
// finds the empty line that ends a header. Nothing found: "" and `start` at the end.
std::string FindHeaderValue(std::string_view key, const std::vector<std::string>& lines, bool at_line_start,
                            size_t& start);

}  // namespace plumex

// Decoding of header values (MIME encoded words and raw Japanese text) to Shift_JIS, and the
// lookup of values in header lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace plumex {

// A raw header value to Shift_JIS text. message_charset is the charset of the message the
// value belongs to ("EUC" makes raw text go through EucToSjis). White space between two
// adjacent encoded words is dropped and words of the same charset standing together are
// decoded as one text; every other space stays.
std::string DecodeHeader(std::string_view raw, std::string_view message_charset = {});

// The word scanners and decoders DecodeHeader is made of.
std::string DecodeIsoB(std::string_view value);
std::string DecodeUtf8B(std::string_view value);
std::string DecodeUtf8Q(std::string_view value);
std::string DecodeAsciiQ(std::string_view value);
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

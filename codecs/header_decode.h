// Decoding of raw header values (MIME encoded words, raw JIS / EUC-JP / Shift_JIS) into
// Shift_JIS text for storage and display.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

// The whole chain: encoded words in ISO-2022-JP (B and Q; Shift_JIS and CP932 words are read
// the same way), UTF-8 (B and Q), US-ASCII (Q), raw JIS and EUC-JP. `message_charset` is the
// charset of the message being processed; exactly "EUC" makes raw text EUC-JP. Adjacent encoded
// words of one charset are decoded as one text, the white space between encoded words
// vanishes, every other space is kept; folds, tabs and line breaks become single spaces and the
// value is trimmed. Words in other charsets stay as they are.
std::string DecodeHeader(std::string_view raw, std::string_view message_charset = {});

// Word scanners: decode the words that open with their marker ("=?ISO-2022-JP?B?",
// "=?UTF-8?B?", "=?UTF-8?Q?", "=?US-ASCII?Q?", any case) and copy the rest. A stray "?="
// outside a word is dropped (DecodeAsciiQ keeps it); a word left open at the end is dropped.
std::string DecodeIsoB(std::string_view value);
std::string DecodeUtf8B(std::string_view value);
std::string DecodeUtf8Q(std::string_view value);
std::string DecodeAsciiQ(std::string_view value);

// The whole value at once: "=?ISO-2022-JP?Q?" markers and "?=" removed, quoted-printable
// decoded, then HeaderJisToSjis. Also used on raw "=1B..." text and quoted-printable JIS bodies.
std::string DecodeIsoQ(std::string_view value);

// JIS text to Shift_JIS, knowing ESC $ B, ESC ( B, ESC ( J and ESC ( I (half-width katakana);
// other escapes are left in the text.
std::string HeaderJisToSjis(std::string_view text);

}  // namespace plumex

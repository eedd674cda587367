// jconvert: conversions between the three Japanese encodings of mail (JIS / ISO-2022-JP,
// EUC-JP and Shift_JIS, the store's own), code detection, and the B encoding of header
// values. Every function is pure, never fails and never reads past the end of its input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plumex {

enum JCode : int {
  CodeAscii = 0,      // no evidence
  CodeNonText = 1,    // a control byte below 0x08, or 0xFF
  CodeJis = 2,        // ESC $ B
  CodeJisOld = 3,     // ESC $ @
  CodeEuc = 4,
  CodeSjis = 5,
  CodeEucOrSjis = 6,  // fits both; undecided
};

int DetectCode(std::string_view text);
// Detects the code of text and converts it to target (CodeSjis or CodeJis).
std::string ConvertCode(std::string_view text, int target);

// How ISO-2022-JP text is read. Well-formed text reads alike in every way; they differ only
// in what they make of escapes and bytes that do not belong.
enum class JisReading {
  // Text conversion: every ESC starts three bytes; "$" selects two-byte mode, "(" one-byte
  // mode or, with "I", half-width katakana; any other sequence is dropped.
  Text,
  // Header words: only ESC $ B, ESC $ @, ESC ( B, ESC ( J and ESC ( I switch, another ESC is an
  // ordinary byte (left in the result, where the caller sees another variant); a pair whose
  // first byte is no JIS X 0208 row is dropped.
  HeaderWord,
  // Code page 50220: also ESC $ ( and ESC ( of the variants (a JIS X 0212 character becomes
  // its code page 932 form where it has one, such as an IBM extension kanji, else "?"), SO / SI
  // for half-width katakana, and CR and LF in two-byte mode stand for themselves.
  CodePage50220,
};

// ISO-2022-JP (JIS) text to Shift_JIS; half a character at the end is dropped.
std::string JisToSjis(std::string_view text, JisReading reading = JisReading::Text);
std::string EucToSjis(std::string_view text);
std::string SjisToJis(std::string_view text);
std::string EucToJis(std::string_view text);

// Two JIS X 0208 bytes to two Shift_JIS bytes, and back.
void JisPairToSjis(unsigned char j1, unsigned char j2, unsigned char& s1, unsigned char& s2);
void SjisPairToJis(unsigned char s1, unsigned char s2, unsigned char& j1, unsigned char& j2);

// The full-width JIS code of the half-width katakana at pos (in EUC-JP, at its 0x8E prefix),
// combined with a following voiced or semi-voiced mark where one applies; pos moves past
// what was consumed.
uint16_t HankakuToZenkaku(std::string_view text, size_t& pos, bool euc);

// A Shift_JIS header value with each run of double-byte characters as one
// "=?ISO-2022-JP?B?...?=" word; other bytes unchanged.
std::string EncodeHeaderB(std::string_view value);

}  // namespace plumex

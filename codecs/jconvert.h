// Conversions between the Japanese encodings found in mail: JIS (ISO-2022-JP, 7-bit with
// escapes), EUC-JP and Shift_JIS (code page 932, the system's own encoding), and the guess
// of which one a text is written in. Every function is pure and never fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plumex {

// Detection results and conversion targets share one numbering.
enum JapaneseCode : int {
  CodeAscii = 0,      // only bytes that decide nothing
  CodeNonText = 1,    // a control byte below 0x08, or 0xFF
  CodeJis = 2,        // ESC $ B
  CodeJisOld = 3,     // ESC $ @
  CodeEuc = 4,
  CodeSjis = 5,
  CodeEucOrSjis = 6,  // fits both; undecided
};

struct BytePair {
  unsigned char first;
  unsigned char second;
  bool operator==(const BytePair&) const = default;
};

// The first decisive byte wins; texts of 0 or 1 byte are CodeAscii.
JapaneseCode DetectCode(std::string_view text);

// Brings `text` to `target` (CodeSjis or CodeJis) when detection says it is in another
// Japanese encoding; anything else comes back unchanged.
std::string ConvertCode(std::string_view text, int target);

// JIS to Shift_JIS. Besides the escapes ESC $ x (two-byte mode) and ESC ( x (one-byte mode),
// ESC ( I selects half-width katakana, which come out as Shift_JIS bytes 0xA1 to 0xDF.
std::string JisToSjis(std::string_view text);
std::string EucToSjis(std::string_view text);
// Shift_JIS / EUC-JP to JIS: two-byte runs start with ESC $ B and end with ESC ( J (also
// before every CR and LF); half-width katakana become full-width.
std::string SjisToJis(std::string_view text);
std::string EucToJis(std::string_view text);

BytePair JisPairToSjis(unsigned char j1, unsigned char j2);
BytePair SjisPairToJis(unsigned char s1, unsigned char s2);

// The full-width JIS code of the half-width katakana at `pos` (Shift_JIS byte, or with `euc`
// the 0x8E prefix), combining a following voiced or semi-voiced mark where it belongs.
// `pos` is moved past what was consumed (always at least one byte).
std::uint16_t HankakuToZenkaku(std::string_view text, std::size_t& pos, bool euc = false);

}  // namespace plumex

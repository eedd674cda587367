#include "codecs/carrier_pictographs.h"

#include <cstddef>

namespace plumex {
namespace {

// The pictographs of the most common carrier's Shift_JIS code (its basic set and the faces,
// hearts and marks most mail holds), each with the Unicode emoji that took it over. Codes
// without one stay unmapped.
constexpr const char32_t* kF89F[] = {
    U"\u2600", U"\u2601", U"\u2614", U"\u26C4", U"\u26A1", U"\U0001F300", U"\U0001F301", U"\U0001F302",
    U"\u2648", U"\u2649", U"\u264A", U"\u264B", U"\u264C", U"\u264D", U"\u264E", U"\u264F",
    U"\u2650", U"\u2651", U"\u2652", U"\u2653", U"\U0001F3BD", U"\u26BE", U"\u26F3", U"\U0001F3BE",
    U"\u26BD", U"\U0001F3BF", U"\U0001F3C0", U"\U0001F3C1", U"\U0001F4DF", U"\U0001F683", U"\u24C2", U"\U0001F684",
    U"\U0001F697", U"\U0001F699", U"\U0001F68C", U"\U0001F6A2", U"\u2708", U"\U0001F3E0", U"\U0001F3E2", U"\U0001F3E3",
    U"\U0001F3E5", U"\U0001F3E6", U"\U0001F3E7", U"\U0001F3E8", U"\U0001F3EA", U"\u26FD", U"\U0001F17F", U"\U0001F6A5",
    U"\U0001F6BB", U"\U0001F374", U"\u2615", U"\U0001F378", U"\U0001F37A", U"\U0001F354", U"\U0001F460", U"\u2702",
    U"\U0001F3A4", U"\U0001F3A5", U"\u2197", U"\U0001F3A0", U"\U0001F3A7", U"\U0001F3A8", U"\U0001F3A9", U"\U0001F3AA",
    U"\U0001F3AB", U"\U0001F6AC", U"\U0001F6AD", U"\U0001F4F7", U"\U0001F45C", U"\U0001F4D6", U"\U0001F380", U"\U0001F381",
    U"\U0001F382", U"\u260E", U"\U0001F4F1", U"\U0001F4DD", U"\U0001F4FA", U"\U0001F3AE", U"\U0001F4BF", U"\u2665",
    U"\u2660", U"\u2666", U"\u2663", U"\U0001F440", U"\U0001F442", U"\u270A", U"\u270C", U"\u270B",
    U"\u2198", U"\u2196", U"\U0001F463", U"\U0001F45F", U"\U0001F453", U"\u267F",
};
constexpr const char32_t* kF940[] = {
    U"\U0001F311", U"\U0001F314", U"\U0001F313", U"\U0001F319", U"\U0001F315", U"\U0001F436", U"\U0001F431", U"\u26F5",
    U"\U0001F384", U"\u2199",
};
// F987..F990: the digits 1..9 and 0 as keycaps.
constexpr const char32_t* kF987[] = {
    U"1\uFE0F\u20E3", U"2\uFE0F\u20E3", U"3\uFE0F\u20E3", U"4\uFE0F\u20E3", U"5\uFE0F\u20E3", U"6\uFE0F\u20E3", U"7\uFE0F\u20E3", U"8\uFE0F\u20E3", U"9\uFE0F\u20E3", U"0\uFE0F\u20E3",
};
constexpr const char32_t* kF992[] = {
    U"\u2764", U"\U0001F493", U"\U0001F494", U"\U0001F495", U"\U0001F603", U"\U0001F620", U"\U0001F61E", U"\U0001F616",
    U"\U0001F635", U"\u2934", U"\U0001F3B5", U"\u2668", U"\U0001F4A0", U"\U0001F48B", U"\u2728", U"\U0001F4A1",
    U"\U0001F4A2", U"\U0001F44A", U"\U0001F4A3", U"\U0001F3B6", U"\u2935", U"\U0001F4A4", U"\u2757", U"\u2049",
    U"\u203C", U"\U0001F4A5", U"\U0001F4A6", U"\U0001F613", U"\U0001F4A8", U"\u3030", U"\u27B0",
};

template <std::size_t N>
const char32_t* At(const char32_t* const (&table)[N], unsigned first, unsigned code) {
  return code >= first && code - first < N ? table[code - first] : nullptr;
}

}  // namespace

const char32_t* CarrierPictograph(unsigned code) {
  if (const char32_t* p = At(kF89F, 0xF89F, code)) return p;
  if (const char32_t* p = At(kF940, 0xF940, code)) return p;
  if (const char32_t* p = At(kF987, 0xF987, code)) return p;
  return At(kF992, 0xF992, code);
}

unsigned CarrierPictographCodeOfPrivateUse(char32_t c) {
  // The same carrier's private-use code points run in the order of its Shift_JIS codes.
  if (c >= 0xE63E && c <= 0xE69B) return 0xF89F + (c - 0xE63E);
  if (c >= 0xE69C && c <= 0xE6A5) return 0xF940 + (c - 0xE69C);
  if (c >= 0xE6CE && c <= 0xE6DA) return 0xF972 + (c - 0xE6CE);
  if (c >= 0xE6DB && c <= 0xE757) return 0xF980 + (c - 0xE6DB);
  return 0;
}

}  // namespace plumex

// Local time and the UTC offset.
#pragma once

#include <ctime>
#include <string>

namespace plumex {

struct LocalDateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

std::time_t NowSeconds();
LocalDateTime ToLocal(std::time_t t);
std::time_t FromLocal(const LocalDateTime& t);  // -1 when it names no time

// Minutes east of UTC at time t in the local time zone (Tokyo: +540).
int UtcOffsetMinutes(std::time_t t);

// Zero-padded formatting helpers: "yyyy/mm/dd_hh:nn:ss" and friends are built from these.
std::string Pad2(int v);
std::string Pad4(int v);

}  // namespace plumex

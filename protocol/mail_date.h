// Dates of mail headers.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace plumex {

// An RFC 5322 (RFC 822) date with its zone, as seconds since the epoch; 0 when unreadable.
std::time_t ParseMailDate(std::string_view value);

// The Date header value of outgoing mail, in UTC with the zone +0000:
// "Tue, 5 Mar 2024 01:02:03 +0000" (day of month without padding).
std::string FormatMailDate(std::time_t t);

}  // namespace plumex

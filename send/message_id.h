// Message-IDs of outgoing mail: "<" + local time "yyyymmdd_hhnnss" + a part that makes every
// id of this program unique + SenderDomain + ">".
#pragma once

#include <string>
#include <string_view>

#include "platform/clock.h"

namespace plumex {

// The own address from its first "@" to the end (the whole address when it has none), ending before a ">" that closes it; at most
// 256 characters.
std::string SenderDomain(std::string_view own_address);

// A new Message-ID for a single message. Two ids made in the same second still differ.
std::string NewMessageId(const LocalDateTime& now, std::string_view sender_domain);

// The id of merge row r: the time directly followed by r, then a unique part.
std::string MergeRowMessageId(const LocalDateTime& now, int row, std::string_view sender_domain);

}  // namespace plumex

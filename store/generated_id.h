// Message-IDs the system makes for messages that have none.
#pragma once

#include <string>
#include <string_view>

#include "platform/clock.h"

namespace plumex {

// "yyyy/mm/dd_hh:nn:ss" (received mail) and "yyyy/mm/dd_hhnnss" (sent mail and drafts).
std::string FormatReceivedDate(const LocalDateTime& t);
std::string FormatSentDate(const LocalDateTime& t);

// "<" + stem + "tomarind_Vantory>": the id of a message that has none, the stem telling it
// apart: the received message's date or a digest of its bytes; a draft's save time.
std::string GeneratedId(std::string_view stem);

}  // namespace plumex

// Message-IDs the system makes for messages that have none.
#pragma once

#include <string>

#include "platform/clock.h"

namespace plumex {

// "yyyy/mm/dd_hh:nn:ss" (received mail) and "yyyy/mm/dd_hhnnss" (sent mail and drafts).
std::string FormatReceivedDate(const LocalDateTime& t);
std::string FormatSentDate(const LocalDateTime& t);

// "<" + message date "yyyy/mm/dd_hh:nn:ss" + "tomarind_Vantory>": a received message without one.
std::string GeneratedReceivedId(const LocalDateTime& message_date);
// "<" + save time "yyyy/mm/dd_hhnnss" + "tomarind_Vantory>": a new draft (stored in FileKey form).
std::string GeneratedDraftId(const LocalDateTime& now);

}  // namespace plumex

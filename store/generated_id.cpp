#include "store/generated_id.h"

namespace plumex {

std::string FormatReceivedDate(const LocalDateTime& t) {
  return Pad4(t.year) + "/" + Pad2(t.month) + "/" + Pad2(t.day) + "_" + Pad2(t.hour) + ":" + Pad2(t.minute) + ":" +
         Pad2(t.second);
}

std::string FormatSentDate(const LocalDateTime& t) {
  return Pad4(t.year) + "/" + Pad2(t.month) + "/" + Pad2(t.day) + "_" + Pad2(t.hour) + Pad2(t.minute) +
         Pad2(t.second);
}

std::string GeneratedReceivedId(const LocalDateTime& message_date) {
  return "<" + FormatReceivedDate(message_date) + "tomarind_Vantory>";
}

std::string GeneratedDraftId(const LocalDateTime& now) { return "<" + FormatSentDate(now) + "tomarind_Vantory>"; }

}  // namespace plumex

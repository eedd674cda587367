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

std::string GeneratedId(std::string_view stem) { return "<" + std::string(stem) + "tomarind_Vantory>"; }

}  // namespace plumex

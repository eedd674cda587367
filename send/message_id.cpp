#include "send/message_id.h"

#include <unistd.h>

#include <cstdio>
#include <random>

namespace plumex {
namespace {

std::string TimePart(const LocalDateTime& t) {
  return Pad4(t.year) + Pad2(t.month) + Pad2(t.day) + "_" + Pad2(t.hour) + Pad2(t.minute) + Pad2(t.second);
}

// A process-wide random start and a counter: unique within a run and, with overwhelming
// likelihood, across runs and computers.
std::string UniquePart() {
  static unsigned long long counter = [] {
    std::random_device device;
    return (static_cast<unsigned long long>(device()) << 32) ^ device() ^ static_cast<unsigned long long>(getpid());
  }();
  ++counter;
  char buf[24];
  std::snprintf(buf, sizeof buf, ".%012llx", counter & 0xFFFFFFFFFFFFull);
  return buf;
}

}  // namespace

std::string SenderDomain(std::string_view own_address) {
  size_t at = own_address.find('@');
  std::string_view domain = at == std::string_view::npos ? own_address : own_address.substr(at);
  // An address written with a display name ends in ">": it must not close the id twice.
  if (at != std::string_view::npos) domain = domain.substr(0, domain.find_first_of("> \t"));
  return std::string(domain.substr(0, 256));
}

std::string NewMessageId(const LocalDateTime& now, std::string_view sender_domain) {
  return "<" + TimePart(now) + UniquePart() + std::string(sender_domain) + ">";
}

std::string MergeRowMessageId(const LocalDateTime& now, int row, std::string_view sender_domain) {
  return "<" + TimePart(now) + std::to_string(row) + UniquePart() + std::string(sender_domain) + ">";
}

}  // namespace plumex

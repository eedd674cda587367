// What the check before sending shows: the recipients grouped by domain into own (社内) and
// outside (社外) domains, the attachments with their sizes, and one line per warning. The
// window asks for a tick on every outside domain and every attachment before it lets the
// message go. Texts are code page 932.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plumex {

struct SendCheck {
  struct Recipient {
    std::string field;    // "To", "Cc" or "Bcc"
    std::string text;     // as typed ("name <addr>" or the address)
    std::string address;  // the address alone
  };
  struct DomainGroup {
    std::string domain;  // lower case; empty for an address without "@"
    std::vector<Recipient> recipients;
  };
  struct Attachment {
    std::string path;  // the path text as attached
    std::string name;  // the file name
    std::optional<std::uintmax_t> size;  // nothing when the file cannot be read
  };

  std::vector<DomainGroup> internal;  // 社内, in the order first met
  std::vector<DomainGroup> external;  // 社外, in the order first met
  std::vector<Attachment> attachments;
  std::vector<std::string> warnings;  // one line each
  bool merge = false;                 // one message per row of a merge sheet

  // Ticks the window asks for: every outside domain, then every attachment.
  size_t RequiredTicks() const { return external.size() + attachments.size(); }
};

}  // namespace plumex

// The threading fields of a reply (In-Reply-To and References, as RFC 5322 describes them)
// and how a draft keeps them, so that a reopened draft goes out in its own thread.
#pragma once

#include <string>
#include <string_view>

namespace plumex {

struct Threading {
  std::string in_reply_to;  // the parent's id; empty for a message that answers none
  std::string references;   // the parent's References (or its In-Reply-To) and then its id
  bool operator==(const Threading&) const = default;
};

// The fields of a reply to a message with this id and these References / In-Reply-To values
// (raw header texts). A parent without an id gives nothing; a parent without References but with
// a single id in In-Reply-To starts the chain with that id. The parent's id is never repeated.
// A forward (reply false) refers to the message but answers none: References only.
Threading ThreadingOf(std::string_view parent_id, std::string_view parent_references,
                      std::string_view parent_in_reply_to = {}, bool reply = true);

// The last id of a References value (the message replied to), and the value without it.
std::string LastMessageId(std::string_view references);
std::string WithoutLastMessageId(std::string_view references);

}  // namespace plumex

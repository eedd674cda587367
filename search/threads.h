// Conversations: the messages of a folder grouped into threads by Message-ID, In-Reply-To and
// References, and by the subject without its reply and forward prefixes where a message names
// no message of the folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plumex {

struct ThreadMessage {
  std::string message_id;   // as the row and the file keep it (CP932)
  std::string in_reply_to;  // raw header value; may be empty
  std::string references;   // raw header value: ids in angle brackets; may be empty
  std::string subject;      // CP932
  std::string date;         // "yyyy/mm/dd_hh:nn:ss": sorts as text
};

struct ThreadLine {
  size_t message = 0;  // into the input
  int depth = 0;       // 0 for the first message of a conversation
};

// The subject with leading blanks and every leading "Re:", "Fw:", "Fwd:", "返信:", "転送:"
// (ASCII case ignored, ASCII or full-width colon, a count like "Re[2]:" or "Re^2:" allowed)
// taken off. CP932 in and out.
std::string ThreadSubject(std::string_view subject);

// The conversations, one after another: each a root and its replies depth first, replies in
// date order. A message whose parent is not in the folder hangs on the nearest ancestor its
// References name that is; a reference that would close a loop is ignored. A message naming no
// message of the folder joins the oldest message with the same ThreadSubject when its subject
// carried a prefix. Conversations are ordered by their newest message (oldest conversation
// first, or newest first), so a new reply brings an old conversation to the end (or top).
std::vector<ThreadLine> BuildThreads(const std::vector<ThreadMessage>& messages, bool newest_first = false);

// The Message-IDs ("<...>") in a References or In-Reply-To value, in order.
std::vector<std::string> ReferencedIds(std::string_view value);

}  // namespace plumex

// The conversation view of the message list: the rows of the folder on screen grouped into
// conversations, each root followed by its replies depth first.
#pragma once

#include <vector>

#include "search/threads.h"
#include "shell/main_shell.h"

namespace plumex {

// One display row of the conversation view.
struct ConversationRow {
  int depth = 0;
  size_t conversation = 0;  // the number of the conversation, from 0 in display order
  bool has_replies = false;
};

// Refills the message list with its own rows in conversation order (conversations ordered by
// their newest message: the newest at the top when newest_first). A conversation's first row
// is marked RowGroup::First when it has replies, its replies RowGroup::Member. Returns one entry
// per display row; the selection is lost as after any refill.
std::vector<ConversationRow> ShowConversations(MainShell& shell, bool newest_first);

// The display rows of a conversation's replies (what collapsing it hides).
std::vector<size_t> RepliesOf(const std::vector<ConversationRow>& rows, size_t display_row);

}  // namespace plumex

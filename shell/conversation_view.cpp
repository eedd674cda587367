#include "shell/conversation_view.h"

#include "search/folder_threads.h"

namespace plumex {

std::vector<ConversationRow> ShowConversations(MainShell& shell, bool newest_first) {
  MessageList& list = shell.List();
  std::vector<std::string> rows;
  rows.reserve(list.Count());
  for (size_t r = 0; r < list.Count(); ++r) rows.push_back(list.RebuildRow(r));
  const MainState& s = shell.State();
  FolderThreads threads = ThreadFolder(s.MailRoot, s.CurrentFolderPath, rows, shell.Ui(), newest_first);

  std::vector<ConversationRow> out(threads.lines.size());
  size_t conversation = 0;
  for (size_t i = 0; i < threads.lines.size(); ++i) {
    if (threads.lines[i].depth == 0 && i > 0) ++conversation;
    out[i].depth = threads.lines[i].depth;
    out[i].conversation = conversation;
    if (i > 0 && threads.lines[i].depth > 0 && threads.lines[i - 1].depth == 0) out[i - 1].has_replies = true;
  }
  list.BeginFill(rows.size());
  for (size_t i = 0; i < threads.lines.size(); ++i) {
    RowGroup group = out[i].depth > 0 ? RowGroup::Member : out[i].has_replies ? RowGroup::First : RowGroup::None;
    list.AddRow(std::move(rows[threads.lines[i].message]), false, group);
  }
  list.EndFill();
  return out;
}

std::vector<size_t> RepliesOf(const std::vector<ConversationRow>& rows, size_t display_row) {
  std::vector<size_t> replies;
  if (display_row >= rows.size()) return replies;
  for (size_t r = display_row + 1; r < rows.size() && rows[r].conversation == rows[display_row].conversation; ++r)
    replies.push_back(r);
  return replies;
}

}  // namespace plumex

// Values of the main window's ViewMode, ActiveTree and SortKind.
#pragma once

namespace plumex {

// What the message list shows.
enum class ViewModes { Normal, ServerDelete, Extract, SendFolder, RelatedExtract, Drafts, SelectiveReceive };
// The server lists: their rows are messages on the server, not stored ones.
inline bool IsServerList(ViewModes mode) {
  return mode == ViewModes::ServerDelete || mode == ViewModes::SelectiveReceive;
}

// The folder tree clicked last.
enum class Trees { Receive, Send };
// The sort items of the "表示" menu.
enum class SortKinds { Unread, Attachment, Date, Subject, Correspondent };

// SortKey of a sort item: -9, -8, 5, -3, -4 (the sign is flipped by the column-click step).
int SortKeyOf(SortKinds kind);

}  // namespace plumex

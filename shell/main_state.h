// The state the main window (TfrmMain) owns for the whole run.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "receive/mailbox_state.h"
#include "settings/app_settings.h"
#include "shell/view_mode.h"
#include "store/folder_index.h"
#include "store/received_id_list.h"

namespace plumex {

// What the viewer shows (all texts code page 932). Where the message file has a substitute
// for a character, the header and body texts carry the character as sent, read from the
// message's original (see platform/carried_text.h).
struct ViewerContent {
  enum class Preview { Hidden, Picture, Text };

  std::string header_text;  // header panel: the lines up to the separator, each + CR LF
  std::string body_text;    // each body line + CR LF
  std::string text_view;    // what the text view shows of it (TextViewOf)
  std::filesystem::path message_file;    // the shown message's own file; empty when none
  // The index row of the shown message as it was shown (empty when no message is shown):
  // reply and forward take its id, subject and sender, whatever row is highlighted since.
  std::string shown_row;
  std::vector<std::string> attachments;  // entry names in the attachment list
  std::vector<std::string> attachment_names;  // the name as sent of each entry (shown)
  std::filesystem::path attachment_dir;  // of the shown message
  Preview preview = Preview::Hidden;
  std::filesystem::path preview_file;
  // What the preview pane shows of a text attachment (code page 932 carrying what it lacks):
  // its text as sent where its saved file has a substitute, else the file's text.
  std::string preview_text;
  bool html_shown = false;
  std::filesystem::path html_file;  // the page the HTML view shows
  std::string html_page;            // its text (code page 932), as written there
};

// The mail root, accounts, folder on screen, fetched ids and stop flag come from MailboxState.
struct MainState : MailboxState {
  FolderIndex SendRootIndex;

  // The send folder on screen (SendFolder view): its store path and, for a subfolder, its
  // index. Rows marked in a subfolder go to that subfolder's "Send.ini".
  std::string CurrentSendFolderPath;
  FolderIndex SendFolderIndex;
  FolderIndex DraftIndex;

  ViewModes ViewMode = ViewModes::Normal;
  Trees ActiveTree = Trees::Receive;
  bool CloseRequested = false;
  bool StartRefused = false;  // the start-up password was wrong or cancelled
  SortKinds SortKind = SortKinds::Date;
  int SortKey = 5;
  long long UnreadCount = 0;
  int TickCount = 0;

  AppSettings Settings;  // as read at start-up; window sizes are taken from the window at exit
  bool HeaderShown = false;        // "ヘッダ表示" ticked
  bool StartPasswordOn = false;    // "起動時パスワード" "する" ticked
  bool DelayedSendLabelShown = false;

  // The message shown last (by a row click), and the link under the pointer.
  ViewerContent Viewer;
  std::string HoverUrl;  // ASCII
  // The host the text before that link shows when it leads elsewhere (asked before opening).
  std::string HoverShownHost;
};

}  // namespace plumex

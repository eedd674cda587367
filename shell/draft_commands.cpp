#include "shell/draft_commands.h"

#include "codecs/header_decode.h"
#include "platform/clock.h"
#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "send/draft_store.h"
#include "settings/stored_bool.h"
#include "shell/compose.h"
#include "shell/merge_sheet_commands.h"
#include "shell/merge_texts.h"
#include "store/message_file_key.h"
#include "store/store_layout.h"
#include "store/store_texts.h"
#include "store/stored_message.h"

namespace plumex {

DraftCommands::DraftCommands(MainShell& shell, ComposeCommands& compose, MergeSheetCommands& sheet)
    : shell_(shell), compose_(compose), sheet_(sheet) {}

bool DraftCommands::CanOverwrite() const { return !compose_.Content().draft_key.empty(); }

void DraftCommands::Save(bool overwrite) {
  ComposeContent& c = compose_.Content();
  Draft draft;
  if (c.sender_index >= 0 && static_cast<size_t>(c.sender_index) < c.senders.size())
    draft.sender = c.senders[static_cast<size_t>(c.sender_index)];
  draft.to = c.to;
  draft.cc = c.cc;
  draft.bcc = c.bcc;
  draft.subject = c.subject;
  draft.body = c.body;
  draft.merge = c.merge;
  draft.merge_file = sheet_.FileLabel();
  draft.attachments = c.attachments;
  draft.priority = c.priority;
  draft.temp_reply_to = c.temp_reply_to;
  draft.read_receipt = c.read_receipt;
  const Threading thread = compose_.CurrentThreading();
  draft.references = thread.references;
  draft.in_reply_to = thread.in_reply_to;
  const std::optional<std::string> replace =
      overwrite && !c.draft_key.empty() ? std::optional<std::string>(c.draft_key) : std::nullopt;
  const std::time_t now = clock_ ? clock_() : NowSeconds();
  c.draft_key = SaveDraft(shell_.State().MailRoot, draft, replace, ToLocal(now));
  UiPort& ui = shell_.Ui();
  ui.HideComposeWindow();
  // The send-side folder on screen (the drafts, most likely) shows the saved draft.
  MainState& s = shell_.State();
  if (s.ActiveTree == Trees::Send && shell_.SendTree().Selected()) shell_.SelectSendNode(shell_.SendTree().Selected());
}

void DraftCommands::Reopen(size_t display_row) {
  MainState& s = shell_.State();
  MessageList& list = shell_.List();
  if (s.ViewMode == ViewModes::ServerDelete || display_row >= list.Count() || !list.IsValid(display_row)) return;
  if (!shell_.Ui().ResolveUnsentCompose()) return;
  shell_.DisconnectPop3();
  // The message refers to what its own draft kept, never to a reply written before.
  compose_.EndReplyContext();
  compose_.FillSenders();
  ComposeContent& c = compose_.Content();
  c.ClearMessage();
  c.delay.clear();
  c.merge = false;
  c.temp_reply_to.clear();
  c.read_receipt = false;
  sheet_.Grid().KeepTitleAndOneEmptyRow();

  // The row's own folder: an extraction lists rows of many folders.
  const bool draft = s.ViewMode == ViewModes::Drafts;
  const std::string dir = shell_.MessageDirOf(display_row);
  const std::string id(list.MessageId(display_row));
  const std::string key = FileKeyInFolder(shell_.Native(dir), id);
  const std::optional<StoredMessage> message = ReadStoredMessage(shell_.Native(dir + key + ".txt"));
  c.priority = list.Column(display_row, kColPriority) == "1";
  if (!message) {
    // Whatever the body held before must not go out to the new recipient.
    shell_.Ui().MessageBox(Sjis(texts::kReopenFileMissing), MsgIcon::Warning);
    shell_.Ui().ShowComposeWindow();
    return;
  }
  const std::vector<std::string>& h = message->header_lines;
  auto find = [&h](std::string_view key_name, size_t& start) { return FindHeaderValue(key_name, h, true, start); };
  size_t at = 1;
  c.cc = find("CCList", at);
  at = 1;
  c.bcc = find("BccList", at);
  at = 1;
  c.to = find(Sjis(texts::kKeyTo), at);
  at = 1;
  c.subject = find(Sjis(texts::kKeySubject), at);
  // The sheet named after the subject line, when it is a file (not "あり" of a sent merge).
  const std::string sheet_file = find(Sjis(texts::kKeyMergeFile), at);
  if (!sheet_file.empty() && std::filesystem::is_regular_file(PathFromText(sheet_file)) &&
      sheet_.LoadFile(PathFromText(sheet_file))) {
    sheet_.RebuildColumnItems();
    c.merge = true;
  }
  c.body = message->body_lines;
  if (draft) {
    c.attachments = DraftAttachments(s.MailRoot, key);
    c.temp_reply_to = message->ValueOr(kDraftTempReplyToKey);
    c.read_receipt = ParseStoredBool(message->ValueOr(kDraftReadReceiptKey));
    c.draft_key = key;
    compose_.RestoreThreading({message->ValueOr("In-Reply-To"), message->ValueOr("References")});
  }
  shell_.Ui().ShowComposeWindow();
}

}  // namespace plumex

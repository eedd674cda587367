// The compose window's behaviour without widgets: its content, OpenCompose, "メール送信" with
// its checks, recipient completion from the address books, attachments, reply and forward.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "send/send_mail.h"
#include "send/send_queue.h"
#include "send/threading.h"
#include "settings/send_rule_list.h"
#include "shell/main_shell.h"

namespace plumex {

class AccountCommands;
class DelayedSendCommands;
class MergeSheetCommands;

// What the compose window shows (code page 932 texts; attachment entries are path texts).
struct ComposeContent {
  std::vector<std::string> senders;  // ComboBox1: the own address of every account
  int sender_index = -1;
  bool priority = false;      // "重要度"
  bool merge = false;         // "差込メール"
  bool read_receipt = false;  // "開封確認"
  std::string delay;          // cmbAfterSend
  std::string to, cc, bcc, subject;
  std::vector<std::string> body;
  std::vector<std::string> attachments;
  std::string temp_reply_to;  // TempReplyTo
  std::string pending_to, pending_cc, pending_bcc;
  std::vector<std::string> merge_sheet;  // MergeSheet, title row first
  std::string draft_key;  // the draft this content was reopened from (none: empty)

  // The message itself gone: recipients, subject, body, attachments and the draft it came from.
  void ClearMessage() {
    to.clear();
    cc.clear();
    bcc.clear();
    subject.clear();
    body.clear();
    attachments.clear();
    draft_key.clear();
  }
};

class ComposeCommands {
 public:
  // send_rules: the live send rules the application core owns, read at every send.
  ComposeCommands(MainShell& shell, AccountCommands& accounts, const SendRuleList& send_rules);

  // The queue a message with a delay goes to, and the sheet window "クリア"ed by every new
  // message; set once by the application core.
  void SetDelayedSend(DelayedSendCommands* delayed) { delayed_ = delayed; }
  void SetMergeSheet(MergeSheetCommands* sheet) { sheet_ = sheet; }

  ComposeContent& Content() { return content_; }
  const std::string& ReplyContextId() const { return reply_context_id_; }

  // The sender list from AccountList, the account in use selected (also at window creation).
  void FillSenders();
  void OpenCompose(const std::string& subject, const std::string& to);
  // "メールの作成": empties the body and the attachments, ends the reply context (a new
  // message refers to nothing), then OpenCompose. Like every refill of the compose window it
  // first lets the person keep or discard what the window holds unsent; false when the person
  // cancelled and nothing changed.
  bool NewMail();
  // "メール送信": the checks, then SendMail, or the queue when the delay is not zero. True
  // when the mail went out or was queued (the window closes).
  bool Send();
  // What the last successful Send filed and counted.
  const SendResult& LastSent() const { return last_sent_; }
  // The entry of the last Send that was queued (nothing when it went at once).
  const std::optional<QueueEntry>& LastQueued() const { return last_queued_; }
  // Reply and forward from the message on screen in the main window; false when nothing was
  // refilled (no message, or the person cancelled the question about unsent text).
  bool Reply();
  bool Forward();
  // "添付ファイルとして転送": the message on screen attached as received (its original; the
  // message file when it keeps none), nothing quoted.
  void ForwardAsAttachment();
  // The thread the message being written belongs to (a reply's In-Reply-To and References;
  // nothing for a new message), and setting it back (a reopened draft).
  Threading CurrentThreading() const;
  void RestoreThreading(const Threading& threading);
  void EndReplyContext();
  // Recipient completion on Enter in a box: the items to offer (empty: leave the box).
  std::vector<std::string> Complete(const std::string& typed, std::string& pending);
  // Appends a path unless the list holds it already (the same path, letter case included).
  void AddAttachment(const std::string& path);
  // "添付ファイルの挿入": the files chosen in an open dialog (on every file), each added whole.
  void InsertChosenAttachments();
  // "返信先一時変更".
  void ChangeReplyTo();

 private:
  bool Quote();  // quotes the shown body; false when no message is on screen
  // The index row of the message on screen, showing the first chosen row when none is.
  const std::string* MessageOnScreen();
  // What the mail being written answers. A reopened draft keeps only its References, so its
  // recipients are not checked against the addresses of the message it answers; only a reply
  // made from the message on screen warns about new domains.
  enum class Answers { Nothing, Reply, Forward, ReopenedReply, ReopenedForward };
  // Starts answering the message on screen (after the unsent mail is dealt with): its row,
  // or nothing when there is none or the person kept the mail being written.
  std::optional<std::string> BeginAnswer(Answers answers);

  MainShell& shell_;
  AccountCommands& accounts_;
  const SendRuleList& send_rules_;
  ComposeContent content_;
  SendResult last_sent_;
  std::optional<QueueEntry> last_queued_;
  DelayedSendCommands* delayed_ = nullptr;
  MergeSheetCommands* sheet_ = nullptr;
  std::string reply_context_id_;
  Answers answers_ = Answers::Nothing;
  bool IsForward() const { return answers_ == Answers::Forward || answers_ == Answers::ReopenedForward; }
  bool sending_ = false;  // a Send is running (it pumps the window)
  // Header lines of the message replied to or forwarded, for References: taken at the
  // reply, since the viewer may show another message by the time the mail goes out.
  std::vector<std::string> reply_header_lines_;
};

}  // namespace plumex

// The compose window's behaviour without widgets: its content, OpenCompose, "メール送信" with
// its checks, recipient completion from the address books, attachments, reply and forward.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "send/send_mail.h"
#include "settings/send_rule_list.h"
#include "shell/main_shell.h"

namespace plumex {

class AccountCommands;

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
};

class ComposeCommands {
 public:
  // send_rules: the live send rules the application core owns, read at every send.
  ComposeCommands(MainShell& shell, AccountCommands& accounts, const SendRuleList& send_rules);

  ComposeContent& Content() { return content_; }
  const std::string& ReplyContextId() const { return reply_context_id_; }

  // The sender list from AccountList, the account in use selected (also at window creation).
  void FillSenders();
  void OpenCompose(const std::string& subject, const std::string& to);
  // "メールの作成": empties the body and the attachments, ends the reply context (a new
  // message refers to nothing), then OpenCompose.
  void NewMail();
  // "メール送信": the checks, then SendMail. True when the mail went out (the window closes).
  bool Send();
  // What the last successful Send filed and counted.
  const SendResult& LastSent() const { return last_sent_; }
  // Reply and forward from the message on screen in the main window.
  void Reply();
  void Forward();
  // Recipient completion on Enter in a box: the items to offer (empty: leave the box).
  std::vector<std::string> Complete(const std::string& typed, std::string& pending);
  // Appends a path unless the list holds it already (letter case ignored).
  void AddAttachment(const std::string& path);
  // "返信先一時変更".
  void ChangeReplyTo();

 private:
  bool Quote();  // quotes the shown body; false when no message is on screen
  // The index row of the message on screen, showing the first chosen row when none is.
  const std::string* MessageOnScreen();

  MainShell& shell_;
  AccountCommands& accounts_;
  const SendRuleList& send_rules_;
  ComposeContent content_;
  SendResult last_sent_;
  std::string reply_context_id_;
  // Header lines of the message replied to or forwarded, for References: taken at the
  // reply, since the viewer may show another message by the time the mail goes out.
  std::vector<std::string> reply_header_lines_;
};

}  // namespace plumex

// The "ファイル" menu's commands on the message on screen ("メールを保存する",
// "メールを上書き保存する", the text to print) and "Beckyファイルの読込み".
#pragma once

#include <filesystem>
#include <string>

#include "receive/mailbox_import.h"
#include "shell/main_shell.h"

namespace plumex {

class ReceiveCommands;

class MessageFileCommands {
 public:
  MessageFileCommands(MainShell& shell, ReceiveCommands& receive) : shell_(shell), receive_(receive) {}

  // Whether a message is on screen (the commands below act on it, never on a row merely
  // highlighted by the keyboard).
  bool MessageShown() const;
  // "メールを保存する": the header pane's lines and the body's, as a text file the user names;
  // an existing file is replaced only when the person says so.
  void SaveShownMessage();
  // Whether "メールを上書き保存する" may write the shown message back: only a plain-text one.
  // The text view shows the text part of a mail with an HTML part (or an HTML page as text),
  // so writing the panes back would lose the HTML the person never saw.
  bool CanOverwriteShown() const;
  // "メールを上書き保存する": the panes' texts (code page 932; as edited) written over the
  // shown message's own file, in its own folder; its row stays as it is. Refused with a
  // message for a message with HTML (CanOverwriteShown).
  void OverwriteShownMessage(const std::string& header_text, const std::string& body_text);
  // What "印刷" prints: the header lines above the body.
  std::string PrintText() const;
  // "Beckyファイルの読込み" of a chosen file into the account in use; "完了" at the end.
  ImportResult ImportMailbox(const std::filesystem::path& mailbox);
  // The same for the file chosen in an open dialog; nothing happens without one.
  void ImportChosenMailbox();

 private:
  MainShell& shell_;
  ReceiveCommands& receive_;
};

}  // namespace plumex

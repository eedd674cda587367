// SendMail: the one routine that puts mail on the wire. One SMTP connection carries one
// message, or one message per row of the merge sheet; a copy of what was sent is filed in
// "送信\" with its row in the "Send.ini" the send rules choose.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/app_error.h"
#include "port/ui_port.h"
#include "protocol/connection.h"
#include "send/threading.h"
#include "store/folder_index.h"

namespace plumex {

struct SendRequest {
  std::vector<std::string> settings;  // SmtpSettingList: Host, Username, Password, Port, SmtpSSL, 差出人
  std::vector<std::string> headers;   // SendHeaderList, also the pseudo-header of the sent copy
  bool forward_mode = false;
  std::vector<std::string> attachments;  // full paths, or "%SS<k>%" placeholders in a merge
  std::vector<std::string> body;         // lines, code page 932
  std::vector<std::string> merge_sheet;  // the sheet's lines, title row first
  std::string reply_context_id;          // ReplyContextId
  std::vector<std::string> viewer_header_lines;  // header lines of the message on screen
  bool reply_context_is_forward = false;  // a forward refers to the message but answers none
  std::string forward_address;           // To in forward mode
};

struct SendContext {
  std::filesystem::path mail_root;
  std::vector<std::string> send_rules;  // lines of rule2.ini in force
  ConnectionOptions connection;         // pump, stop, time-outs, trusted list
};

struct SendResult {
  std::string message_id;   // the id of the sent message (and of its filed copy)
  std::string sent_folder;  // store path of the folder whose Send.ini lists it
  int merge_ok = 0;
  int merge_failed = 0;
  // The server took the message but its copy could not be filed ("送信\" read-only, disk
  // full): the send still succeeded, and must not be repeated.
  std::optional<AppError> copy_error;
};

// What the user reads when the message went out but its copy could not be saved.
std::string SentButNotFiledText(const AppError& copy_error);

// The In-Reply-To and References a request goes out with (nothing when it answers no message),
// and a request given them back (a queued message read again).
Threading ThreadingOfRequest(const SendRequest& request);
void SetThreading(SendRequest& request, const Threading& threading);

// An unverifiable server certificate is put to the user through ui. Throws an AppError when
// a field holds a line break (before connecting), or when connecting, authenticating before
// the loop or sending a single message fails; nothing is filed then. Once the server has
// taken the mail nothing is thrown: a copy that cannot be filed is in copy_error.
SendResult SendMail(const SendRequest& request, SendContext& context, UiPort& ui);

inline constexpr const char* kMailerHeaderLine = "X-Mailer:PlumexVer5.0";

}  // namespace plumex

// Server delete mode below the window: the listing of the mailbox on the server with its
// deletion candidates, and acting on listed messages later (deleting or choosing them for
// receiving) without ever mistaking one message for another when the numbers have shifted.
#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/app_error.h"
#include "port/ui_port.h"
#include "receive/message_rules.h"

namespace plumex {

class ParsedMessage;
class Pop3Client;

// The server that handed the message on last: in the first Received header, the host after
// the word "by" (up to the next space); the whole value when it has no such word; "" when the
// message has no Received header.
std::string ServerOfReceived(std::string_view received);
std::string ServerOfMessage(const ParsedMessage& message);

// What makes a listed message a deletion candidate: reject rules on the subject and on the
// sender, then its server on the candidate server list (ignoring case).
class CandidateTest {
 public:
  CandidateTest(const RuleList& rules, const std::vector<std::string>& servers);
  bool IsCandidate(std::string_view subject_decoded_once, std::string_view sender, std::string_view server) const;

 private:
  std::vector<std::string> subject_keywords_;
  std::vector<std::string> sender_keywords_;
  std::set<std::string> servers_;  // case folded
};

// One message as listed, with what identifies it later. Texts are code page 932.
struct ServerMessage {
  int number = 0;           // its number when listed
  std::string uidl;         // "" when the server has no UIDL
  long long size = -1;      // from LIST
  std::string message_id;   // raw Message-ID
  std::string subject;      // DecodeHeader applied twice
  std::string sender;       // as shown
  std::string date;         // "yyyy/mm/dd_hh:nn:ss"
  std::string server;       // ServerOfMessage
  bool attachment = false;  // multipart/mixed
  bool high_priority = false;
  bool candidate = false;
};

// The row of one message whose header is in `message`.
ServerMessage DescribeServerMessage(const ParsedMessage& message, int number, const CandidateTest& candidates);

struct ServerListing {
  int count = 0;  // STAT
  std::vector<ServerMessage> messages;
  bool stopped = false;
  std::optional<AppError> error;  // a header fetch failed; the connection is closed
};

// Lists every message of the connected mailbox: STAT, one UIDL, one LIST, and the headers
// (pipelined where offered). Pumps and shows progress between messages, stopping when
// `stop_requested` becomes true. `on_row` sees each message as it comes.
ServerListing ListServerMailbox(Pop3Client& pop3, const CandidateTest& candidates, UiPort& ui,
                                const bool& stop_requested,
                                const std::function<void(const ServerMessage&)>& on_row = nullptr);

// Where listed messages stand now in the connected session: by UIDL when they carry one
// (a message that moved is found at its new number), else at their old number when that
// message has the same Message-ID and size. Nothing for a message that is gone or that
// cannot be told apart from another.
std::vector<std::optional<int>> LocateListed(Pop3Client& pop3, const std::vector<ServerMessage>& listed);

struct DeleteOutcome {
  int deleted = 0;
  std::vector<ServerMessage> missing;   // no longer on the server as listed: left alone
  std::optional<AppError> refused;      // the DELE the server refused; those after it were not sent
};

// Deletes the listed messages in the connected session, from the highest number to the
// lowest, each one checked first with LocateListed. The caller sends QUIT.
DeleteOutcome DeleteListed(Pop3Client& pop3, const std::vector<ServerMessage>& listed);

// "削除モードで接続中。メールは" + count + "件です。"
std::string DeleteModeStatusText(int count);

}  // namespace plumex

// ForwardQueued: auto-forwarding of the messages the new-mail check received. Each is sent on
// unchanged to the forward address and recorded in "ForwardSL.ini" only once the server took
// it, so a forward that failed stays queued and is tried again at the next check.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/app_error.h"

namespace plumex {

// One stored message as it goes out (texts code page 932).
struct ForwardMessage {
  std::string id;
  std::vector<std::string> headers;      // the stored pseudo-header lines (before the separator)
  std::vector<std::string> attachments;  // full paths of the files of its attachment folder
  std::vector<std::string> body;         // every line of the stored message
};

// Transmits one message; throws (an AppError, a protocol error) when it did not go out.
using ForwardSender = std::function<void(const ForwardMessage&)>;

struct ForwardFailure {
  std::string id;
  std::string subject;  // of the stored message, "" when it could not be read
  AppError error;
};

struct ForwardOutcome {
  int sent = 0;
  std::vector<ForwardFailure> failures;  // in queue order
};

struct ForwardPlace {
  std::filesystem::path mail_root;
  std::string account;  // whose inbox holds the queued messages
};

// Sends the queued ids not yet in ForwardSL.ini, in order. What went out is recorded and
// leaves the queue; an id whose inbox row is gone (the message was moved or deleted) leaves
// it unsent. A failed send stays in the queue; a stored message whose header cannot be read
// ("メール本文中のヘッダ情報が異常です。") is a failure that leaves the queue, as sending it
// again could not help. `stop` is asked between messages.
ForwardOutcome ForwardQueued(std::vector<std::string>& queue, const ForwardPlace& place, const ForwardSender& send,
                             const std::function<bool()>& stop = nullptr);

// The forwards still owed, per account (whose inbox holds the messages), in queue order.
using OwedForwards = std::map<std::string, std::vector<std::string>>;
// They are kept in MailRoot + "ForwardQueue.ini" (account TAB id, one a line), so that a
// forward that failed, or was queued just before the program ended, goes at the next check
// after a restart. A missing file owes nothing.
inline constexpr const char* kOwedForwardsFile = "ForwardQueue.ini";
OwedForwards LoadOwedForwards(const std::filesystem::path& mail_root);
// Writes them whole (atomically, 0600); nothing owed removes the file.
void SaveOwedForwards(const std::filesystem::path& mail_root, const OwedForwards& owed);

}  // namespace plumex

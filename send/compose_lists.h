// The two lists a send starts from, built from the compose window's fields and the sender's
// account: the SmtpSettingList and the SendHeaderList (also the sent copy's pseudo-header).
#pragma once

#include <string>
#include <vector>

#include "platform/clock.h"
#include "settings/account_list.h"

namespace plumex {

struct ComposeFields {
  std::string to, cc, bcc, subject;  // as typed (code page 932)
  std::string temp_reply_to;         // TempReplyTo
  bool high_priority = false;        // "重要度"
  bool read_receipt = false;         // "開封確認"
  bool merge = false;                // "差込メール"
  std::vector<std::string> attachments;
};

std::vector<std::string> BuildSmtpSettingList(const AccountRecord& account);

// The Message-ID is NewMessageId: unique even for two sends in the same second.
std::vector<std::string> BuildSendHeaderList(const ComposeFields& fields, const AccountRecord& account,
                                             const LocalDateTime& now);

}  // namespace plumex

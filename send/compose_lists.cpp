#include "send/compose_lists.h"

#include "text/sjis_text.h"
#include "send/message_id.h"
#include "send/send_texts.h"
#include "settings/stored_bool.h"
#include "store/generated_id.h"
#include "store/store_texts.h"

namespace plumex {

std::vector<std::string> BuildSmtpSettingList(const AccountRecord& account) {
  return {"Host:" + account.smtp_host, "Username:" + account.user, "Password:" + account.password,
          "Port:" + account.smtp_port, "SmtpSSL:" + StoredBoolText(account.smtp_ssl), "Account:" + account.name};
}

std::vector<std::string> BuildSendHeaderList(const ComposeFields& f, const AccountRecord& account,
                                             const LocalDateTime& now) {
  const std::string reply_to = f.temp_reply_to.empty() ? account.address : f.temp_reply_to;
  std::vector<std::string> h;
  h.push_back("ReplyTo:" + reply_to);
  h.push_back(Sjis(texts::kLineFrom) + account.address);
  if (f.read_receipt) h.push_back("ReceiptRecipient:" + reply_to);
  h.push_back("CCList:" + f.cc);
  h.push_back("BccList:" + f.bcc);
  h.push_back("Message-ID:" + NewMessageId(now, SenderDomain(account.address)));
  h.push_back("References:" + account.address);
  h.push_back(Sjis(texts::kLineTo) + (f.merge ? std::string("%SS1%") : f.to));
  h.push_back(Sjis(texts::kLineSubject) + f.subject);
  h.push_back(Sjis(texts::kLineDate) + FormatSentDate(now));
  h.push_back(std::string("Priority:") + (f.high_priority ? "1" : "2"));
  if (f.merge) h.push_back(Sjis(texts::kMergeFileLineOfNewMail));
  if (!f.attachments.empty()) {
    std::string list;
    for (const auto& a : f.attachments) list += a + ";";
    h.push_back(Sjis(texts::kLineAttachments) + list);
  }
  return h;
}

}  // namespace plumex

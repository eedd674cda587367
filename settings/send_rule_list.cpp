#include "settings/send_rule_list.h"

#include "platform/text_file.h"

namespace plumex {

SendRuleList SendRuleList::Load(const std::filesystem::path& mail_root) {
  SendRuleList list;
  ReadLines(mail_root / kSendRuleFileName, list.lines_);
  return list;
}

void SendRuleList::Save(const std::filesystem::path& mail_root) const { WriteLines(mail_root / kSendRuleFileName, lines_); }

}  // namespace plumex

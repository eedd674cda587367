#include "shell/send_check_commands.h"

#include <algorithm>

#include "send/send_check.h"
#include "settings/account_list.h"

namespace plumex {

std::vector<std::string> OwnDomains(const std::vector<std::string>& account_list, const SendCheckSettings& settings) {
  std::vector<std::string> domains;
  auto add = [&](const std::string& domain) {
    if (!domain.empty() && std::find(domains.begin(), domains.end(), domain) == domains.end()) domains.push_back(domain);
  };
  for (const auto& line : account_list) add(AddressDomain(AccountRecord::Parse(line).address));
  for (const auto& domain : settings.own_domains) add(domain);
  return domains;
}

SendCheck BuildComposeCheck(const ComposeContent& c, const std::vector<std::string>& account_list,
                            const SendCheckSettings& settings, const std::vector<std::string>* reply_header_lines) {
  SendCheckInput in;
  in.to = c.to;
  in.cc = c.cc;
  in.bcc = c.bcc;
  in.attachments = c.attachments;
  in.own_domains = OwnDomains(account_list, settings);
  in.external_limit = settings.external_limit;
  in.merge = c.merge;
  in.merge_sheet = c.merge_sheet;
  if (reply_header_lines) in.original_domains = DomainsOfStoredHeader(*reply_header_lines);
  return BuildSendCheck(in);
}

bool ConfirmBeforeSend(const std::filesystem::path& mail_root, const std::vector<std::string>& account_list,
                       const ComposeContent& content, const std::vector<std::string>* reply_header_lines, UiPort& ui) {
  const SendCheckSettings settings = SendCheckSettings::Load(mail_root);
  if (!settings.on) return true;
  return ui.ConfirmSend(BuildComposeCheck(content, account_list, settings, reply_header_lines));
}

}  // namespace plumex

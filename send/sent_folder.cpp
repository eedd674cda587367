#include "send/sent_folder.h"

#include "platform/directories.h"
#include "text/sjis_search.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "settings/rule_lines.h"
#include "settings/settings_texts.h"
#include "store/store_layout.h"

namespace plumex {

std::string ChooseSentFolder(const std::filesystem::path& mail_root, const std::vector<std::string>& send_rules,
                             std::string_view subject, std::string_view to) {
  std::string folder = SendFolderPath();
  for (const auto& line : send_rules) {
    const RuleLine rule = ParseRuleLine(line);
    bool matched = false;
    if (rule.field == Sjis(texts::kRuleFieldSubject)) matched = ContainsSjis(subject, rule.text);
    else if (rule.field == Sjis(texts::kRuleFieldTo)) matched = ContainsSjis(to, rule.text);
    if (matched) {
      if (!rule.target.empty()) folder += rule.target + "\\";
      break;
    }
  }
  EnsureDirectory(ToNativePath(mail_root, folder));
  return folder;
}

}  // namespace plumex

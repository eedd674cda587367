#include "send/sent_folder.h"

#include "platform/directories.h"
#include "platform/sjis_search.h"
#include "platform/sjis_text.h"
#include "platform/store_path.h"
#include "settings/settings_texts.h"
#include "store/store_layout.h"
#include "store/tab_line.h"

namespace plumex {

std::string ChooseSentFolder(const std::filesystem::path& mail_root, const std::vector<std::string>& send_rules,
                             std::string_view subject, std::string_view to) {
  std::string folder = SendFolderPath();
  for (const auto& rule : send_rules) {
    const std::string kind = FieldOf(rule, 0);
    const std::string pattern = FieldOf(rule, 1);
    bool matched = false;
    if (kind == Sjis(texts::kRuleFieldSubject)) matched = ContainsSjis(subject, pattern);
    else if (kind == Sjis(texts::kRuleFieldTo)) matched = ContainsSjis(to, pattern);
    if (matched) {
      std::string sub = FieldOf(rule, 2);
      if (!sub.empty()) folder += sub + "\\";
      break;
    }
  }
  EnsureDirectory(ToNativePath(mail_root, folder));
  return folder;
}

}  // namespace plumex

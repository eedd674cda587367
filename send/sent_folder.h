// Send rules (the lines of "rule2.ini", settings/send_rule_list.h): kind ("件名" or "あて名")
// TAB pattern TAB folder under "送信\".
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace plumex {

// ChooseSentFolder: the store path (with trailing "\") of the folder whose "Send.ini" lists
// the sent copy: the folder of the first matching rule, else "送信\". Created when missing.
std::string ChooseSentFolder(const std::filesystem::path& mail_root, const std::vector<std::string>& send_rules,
                             std::string_view subject, std::string_view to);

}  // namespace plumex

// The send rules in force ("rule2.ini"): kind ("件名" or "あて名") TAB pattern TAB folder under
// "送信\", in priority order. Loaded once at start-up; the settings dialog edits this list and
// the send engine reads it at every send, saved or not.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace plumex {

inline constexpr const char* kSendRuleFileName = "rule2.ini";

class SendRuleList {
 public:
  // An empty list when the file is missing or unreadable.
  static SendRuleList Load(const std::filesystem::path& mail_root);
  void Save(const std::filesystem::path& mail_root) const;

  const std::vector<std::string>& Lines() const { return lines_; }
  std::vector<std::string>& Lines() { return lines_; }

 private:
  std::vector<std::string> lines_;
};

}  // namespace plumex

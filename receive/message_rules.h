// Message rules ("rule.ini"): a keyword in the subject or the sender moves a message into a
// receive folder or rejects it. The first matching rule decides.
#pragma once

#include <filesystem>
#include <optional>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/folder_index.h"
#include "store/row_move.h"
#include "store/received_id_list.h"

namespace plumex {

inline constexpr const char* kRuleFileName = "rule.ini";

class RuleList {
 public:
  RuleList() = default;
  explicit RuleList(std::vector<std::string> lines) : lines_(std::move(lines)) {}

  // The lines of rule.ini; an empty list when the file is missing or unreadable.
  static RuleList Load(const std::filesystem::path& mail_root);
  void Save(const std::filesystem::path& mail_root) const;

  const std::vector<std::string>& Lines() const { return lines_; }
  std::vector<std::string>& Lines() { return lines_; }

  // Target (field 2) of the first rule whose keyword occurs in the subject ("件名") or the
  // sender ("差出人"); nothing when no rule matches.
  std::optional<std::string> FirstMatch(std::string_view subject, std::string_view from) const;

 private:
  std::vector<std::string> lines_;
};

// "削除": the rule rejects the message.
const std::string& RejectTarget();

struct TargetFolder {
  enum class Kind { OnScreen, Moved, Rejected, Forwarded };
  Kind kind = Kind::OnScreen;
  std::string folder_path;  // store path with trailing "\" (empty when rejected)
  bool rule_matched() const { return kind == Kind::Moved || kind == Kind::Rejected; }
};

struct RuleContext {
  std::filesystem::path mail_root;
  std::string current_folder_path;  // the folder on screen, "受信\account\..."
  std::string current_account;
  bool forwarding = false;  // the new-mail check receives all mail and forwards it
};

// ChooseTargetFolder: the folder a new message goes to. A moved-to folder is created when
// missing. The caller deletes a rejected message on the server and queues forwarded ones.
TargetFolder ChooseTargetFolder(const RuleList& rules, const RuleContext& context, std::string_view subject,
                                std::string_view from);

// What applying the rules to a folder did.
struct RulesApplied {
  size_t moved = 0;
  size_t deleted = 0;
  std::vector<RowFailure> failed;  // rows that stayed: their files could not move or go
};

// ApplyRulesToFolder: applies the rules to every row of the folder on screen, from the last
// row to the first, and writes its index. Rejected messages are deleted with their
// attachments and their ids leave the fetched list; moved ones go with their attachments. A
// row moves, or goes, only with its message file; a message whose file name is already taken
// in the target stays where it is. Both are in `failed`. `step` is called before each row with
// the rows done and their number; false stops the loop, and what was done is written.
RulesApplied ApplyRulesToFolder(const RuleList& rules, const RuleContext& context, FolderIndex& current_index,
                                ReceivedIdList& received_ids,
                                const std::function<bool(size_t done, size_t total)>& step = nullptr);

// Whether applying the rules would delete stored mail (a reject rule matches a row).
bool RulesDeleteMail(const RuleList& rules, const FolderIndex& index);

// "次のメールはルールにしたがって移動・削除できませんでした。" and a line per row with why; empty
// when nothing failed.
std::string RulesFailureText(const RulesApplied& result);

}  // namespace plumex

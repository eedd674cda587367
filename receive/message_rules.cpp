#include "receive/message_rules.h"

#include <algorithm>

#include "platform/directories.h"
#include "text/sjis_search.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "settings/rule_lines.h"
#include "receive/receive_texts.h"
#include "settings/settings_texts.h"
#include "store/index_row.h"
#include "store/row_delete.h"
#include "store/row_move.h"
#include "platform/system_error_text.h"
#include "store/store_layout.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

std::string RuleFolderPath(std::string_view target) { return ReceiveRootName() + "\\" + std::string(target) + "\\"; }

}  // namespace

const std::string& RejectTarget() { return Sjis(texts::kRuleTargetDelete); }

RuleList RuleList::Load(const std::filesystem::path& mail_root) {
  std::vector<std::string> lines;
  ReadLines(mail_root / kRuleFileName, lines);
  return RuleList(std::move(lines));
}

void RuleList::Save(const std::filesystem::path& mail_root) const { WriteLines(mail_root / kRuleFileName, lines_); }

std::optional<std::string> RuleList::FirstMatch(std::string_view subject, std::string_view from) const {
  for (const auto& line : lines_) {
    RuleLine rule = ParseRuleLine(line);
    bool matched = false;
    if (rule.field == Sjis(texts::kRuleFieldSubject)) matched = ContainsSjis(subject, rule.text);
    else if (rule.field == Sjis(texts::kRuleFieldFrom)) matched = ContainsSjis(from, rule.text);
    if (matched) return std::move(rule.target);
  }
  return std::nullopt;
}

TargetFolder ChooseTargetFolder(const RuleList& rules, const RuleContext& context, std::string_view subject,
                                std::string_view from) {
  if (context.forwarding) return {TargetFolder::Kind::Forwarded, AccountFolderPath(context.current_account)};
  auto target = rules.FirstMatch(subject, from);
  if (!target) return {TargetFolder::Kind::OnScreen, context.current_folder_path};
  if (*target == RejectTarget()) return {TargetFolder::Kind::Rejected, {}};
  std::string path = RuleFolderPath(*target);
  EnsureDirectory(ToNativePath(context.mail_root, path));
  return {TargetFolder::Kind::Moved, path};
}

bool RulesDeleteMail(const RuleList& rules, const FolderIndex& index) {
  bool rejecting = false;
  for (const auto& line : rules.Lines()) rejecting = rejecting || ParseRuleLine(line).target == RejectTarget();
  if (!rejecting) return false;
  for (const std::string& row : index.Rows().Lines()) {
    auto target = rules.FirstMatch(FieldOf(row, IndexRow::kSubject), FieldOf(row, IndexRow::kCorrespondent));
    if (target && *target == RejectTarget()) return true;
  }
  return false;
}

RulesApplied ApplyRulesToFolder(const RuleList& rules, const RuleContext& context, FolderIndex& current_index,
                                ReceivedIdList& received_ids,
                                const std::function<bool(size_t done, size_t total)>& step) {
  RulesApplied result;
  const auto here = ToNativePath(context.mail_root, context.current_folder_path);
  const auto index_file = here / std::string(kReceiveIndexName);
  const std::string account_path = AccountFolderPath(context.current_account);
  const auto ids_file = ToNativePath(context.mail_root, account_path) / std::string(kReceivedIdListName);
  // Rows by what the rules make of them, last row first as before; a folder's rows go together.
  std::vector<std::string> rejected;
  std::vector<std::pair<std::string, std::vector<std::string>>> moves;  // target path, rows
  const std::vector<std::string> rows = current_index.Rows().Lines();
  for (size_t i = rows.size(); i-- > 0;) {
    if (step && !step(rows.size() - 1 - i, rows.size())) break;
    const std::string& row = rows[i];
    auto target = rules.FirstMatch(FieldOf(row, IndexRow::kSubject), FieldOf(row, IndexRow::kCorrespondent));
    if (!target) continue;
    if (*target == RejectTarget()) {
      rejected.push_back(row);
      continue;
    }
    const std::string target_path = RuleFolderPath(*target);
    if (ToNativePath(context.mail_root, target_path) == here) continue;
    auto it = std::find_if(moves.begin(), moves.end(), [&](const auto& m) { return m.first == target_path; });
    if (it == moves.end()) it = moves.emplace(moves.end(), target_path, std::vector<std::string>{});
    it->second.push_back(row);
  }

  // A row moves only with its file, as when rows are dragged: one whose file name the target
  // already holds stays where it is (a message is never replaced, never hidden).
  for (auto& [target_path, group] : moves) {
    const auto there = ToNativePath(context.mail_root, target_path);
    if (!EnsureDirectory(there)) {
      for (const auto& row : group) result.failed.push_back({row, std::make_error_code(std::errc::permission_denied)});
      continue;
    }
    MoveSource source{&current_index.Rows(), index_file, here, &received_ids, ids_file};
    const bool same_account = target_path.rfind(account_path, 0) == 0;
    ReceivedIdList target_ids;
    const std::vector<std::string> names = SplitStorePath(target_path);
    const std::string target_account = names.size() > 1 ? names[1] : context.current_account;
    const auto target_ids_file =
        ToNativePath(context.mail_root, AccountFolderPath(target_account)) / std::string(kReceivedIdListName);
    if (!same_account) target_ids = ReceivedIdList::Open(target_ids_file);
    MoveTarget target{there / std::string(kReceiveIndexName), there, &target_ids, target_ids_file};
    MoveOptions options;
    options.same_account = same_account;
    const MoveResult moved = MoveRows(group, source, target, options);
    result.moved += moved.moved_ids.size();
    result.failed.insert(result.failed.end(), moved.failed.begin(), moved.failed.end());
    for (const auto& row : moved.duplicates)
      result.failed.push_back({row, std::make_error_code(std::errc::file_exists)});
  }

  // Deleting cannot be undone: a row leaves only when its message file is gone. The ids leave
  // the fetched list, so mail still on the server is fetched again.
  if (!rejected.empty()) {
    DeletePlace place;
    place.index = &current_index.Rows();
    place.index_file = index_file;
    place.dir = here;
    place.ids = &received_ids;
    place.ids_file = ids_file;
    place.ref_lines = true;
    const DeleteResult deleted = DeleteRows(rejected, place);
    result.deleted += deleted.deleted_ids.size();
    result.failed.insert(result.failed.end(), deleted.failed.begin(), deleted.failed.end());
  }
  current_index.Save(index_file);
  return result;
}

std::string RulesFailureText(const RulesApplied& result) {
  if (result.failed.empty()) return {};
  std::string text = Sjis(texts::kRulesFailed);
  for (const auto& f : result.failed)
    text += "\r\n" + Sjis(texts::kRulesFailedSubjectOpen) + FieldOf(f.row, IndexRow::kSubject) +
            Sjis(texts::kRulesFailedSubjectClose) + ": " +
            (f.error == std::errc::file_exists ? Sjis(texts::kRulesTargetHasMessage) : SystemErrorText(f.error));
  return text;
}

}  // namespace plumex

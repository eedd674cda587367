#include "receive/message_rules.h"

#include "platform/directories.h"
#include "platform/sjis_search.h"
#include "platform/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "store/file_key.h"
#include "store/index_row.h"
#include "store/message_file_key.h"
#include "store/message_files.h"
#include "store/store_layout.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

std::string RuleFolderPath(std::string_view target) { return ReceiveRootName() + "\\" + std::string(target) + "\\"; }

}  // namespace

const std::string& RejectTarget() { return Sjis("削除"); }

RuleList RuleList::Load(const std::filesystem::path& mail_root) {
  std::vector<std::string> lines;
  ReadLines(mail_root / kRuleFileName, lines);
  return RuleList(std::move(lines));
}

void RuleList::Save(const std::filesystem::path& mail_root) const { WriteLines(mail_root / kRuleFileName, lines_); }

std::optional<std::string> RuleList::FirstMatch(std::string_view subject, std::string_view from) const {
  for (const auto& line : lines_) {
    std::string field = FieldOf(line, 0);
    std::string keyword = FieldOf(line, 1);
    bool matched = false;
    if (field == Sjis("件名")) matched = ContainsSjis(subject, keyword);
    else if (field == Sjis("差出人")) matched = ContainsSjis(from, keyword);
    if (matched) return FieldOf(line, 2);
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

void ApplyRulesToFolder(const RuleList& rules, const RuleContext& context, FolderIndex& current_index,
                        ReceivedIdList& received_ids) {
  const auto here = ToNativePath(context.mail_root, context.current_folder_path);
  const std::string attachments(kAttachmentDirName);
  const std::vector<std::string> rows = current_index.Rows().Lines();
  for (size_t i = rows.size(); i-- > 0;) {
    const std::string& row = rows[i];
    auto target = rules.FirstMatch(FieldOf(row, IndexRow::kSubject), FieldOf(row, IndexRow::kCorrespondent));
    if (!target) continue;
    const std::string id = FieldOf(row, IndexRow::kMessageId);
    // This id's own file (another message may hold the plain key).
    const std::string key = FileKeyInFolder(here, id);
    const auto file = here / NativeName(key + ".txt");
    const auto attachment_dir = here / attachments / NativeName(key);
    auto position = current_index.Rows().IndexOf(row);
    const auto original = OriginalIn(here, key);
    if (*target == RejectTarget()) {
      RemoveRecursively(file);
      RemoveRecursively(original);
      RemoveRecursively(attachment_dir);
      if (position != SortedLineList::npos) current_index.Rows().RemoveAt(position);
      received_ids.Remove(id);
      continue;
    }
    const std::string target_path = RuleFolderPath(*target);
    const auto there = ToNativePath(context.mail_root, target_path);
    if (there == here) continue;
    EnsureDirectory(there);
    const std::string target_key = FileKeyInFolder(there, id);
    const auto target_file = there / NativeName(target_key + ".txt");
    if (FileExists(target_file)) continue;  // never replace a message, never hide one
    const auto target_index_file = there / std::string(kReceiveIndexName);
    std::vector<std::string> target_rows;
    if (!ReadLines(target_index_file, target_rows)) target_rows.clear();
    target_rows.push_back(row);
    WriteLines(target_index_file, target_rows);
    if (FileExists(file)) MovePath(file, target_file);
    if (FileExists(original)) MovePath(original, OriginalIn(there, target_key));
    if (DirectoryExists(attachment_dir)) {
      EnsureDirectory(there / attachments);
      MovePath(attachment_dir, there / attachments / NativeName(target_key));
    }
    if (position != SortedLineList::npos) current_index.Rows().RemoveAt(position);
  }
  current_index.Save(here / std::string(kReceiveIndexName));
}

}  // namespace plumex

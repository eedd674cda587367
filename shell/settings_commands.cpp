#include "shell/settings_commands.h"

#include "text/sjis_text.h"
#include "search/search_texts.h"
#include "settings/forward_sent_list.h"
#include "settings/rule_lines.h"
#include "shell/receive_commands.h"
#include "shell/shell_texts.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

void CopyNodes(FolderTree& to, const FolderNode* from, FolderNode* parent) {
  FolderNode* copy = to.Add(parent, from->Label());
  for (size_t i = 0; i < from->ChildCount(); ++i) CopyNodes(to, from->Child(i), copy);
}

void CopyTree(const FolderTree& from, FolderTree& to) {
  to.Clear();
  for (size_t i = 0; i < from.TopCount(); ++i) CopyNodes(to, from.Top(i), nullptr);
}

// The node after node in tree order (depth first), or null after the last.
FolderNode* NextInTreeOrder(const FolderTree& tree, FolderNode* node) {
  if (node->ChildCount() > 0) return node->Child(0);
  for (FolderNode* n = node; n; n = n->Parent()) {
    const size_t next = n->Row() + 1;
    if (next < tree.CountUnder(n->Parent())) return tree.At(n->Parent(), next);
  }
  return nullptr;
}

std::optional<std::string> FolderTargetOf(const FolderNode* folder) {
  if (!folder) return std::nullopt;
  return RuleFolderTarget(NamesBelowRoot(folder));
}

void RemoveRow(std::vector<std::string>& lines, size_t row) {
  if (row < lines.size()) lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(row));
}

}  // namespace

std::vector<std::string> NamesBelowRoot(const FolderNode* node) {
  std::vector<std::string> names;
  for (const FolderNode* n = node; n && n->Parent(); n = n->Parent()) names.insert(names.begin(), n->FolderName());
  return names;
}

FolderNode* FindRuleFolder(const FolderTree& tree, const std::string& target) {
  if (tree.TopCount() == 0 || tree.Top(0)->ChildCount() == 0) return nullptr;
  std::vector<std::string> names;
  for (size_t start = 0;;) {
    const size_t end = target.find('\\', start);
    names.push_back(target.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  FolderNode* found = nullptr;
  size_t next_name = 0;
  for (FolderNode* node = tree.Top(0)->Child(0); node && next_name < names.size();) {
    if (node->FolderName() == names[next_name]) {
      found = node;
      ++next_name;
      if (node->ChildCount() == 0) break;
      node = node->Child(0);
    } else {
      node = NextInTreeOrder(tree, node);
    }
  }
  return found;
}

SettingsCommands::SettingsCommands(MainShell& shell, ReceiveCommands& receiving, RuleList& receive_rules,
                                   SendRuleList& send_rules, DeletionCandidates& candidates,
                                   NewCheckSettings& new_check)
    : shell_(shell),
      receiving_(receiving),
      receive_rules_(receive_rules),
      send_rules_(send_rules),
      candidates_(candidates),
      new_check_(new_check) {}

void SettingsCommands::Create() {
  CopyTree(shell_.SendTree(), send_rule_tree_);
  CopyTree(shell_.ReceiveTree(), receive_rule_tree_);
  registered_receive_ = receive_rules_.Lines();
  registered_send_ = send_rules_.Lines();
  registered_candidates_ = candidates_.Hosts();
  // The check itself starts the run's checking once it exists; the flag says it is to run.
  if (new_check_.check_at_start) start_flag_ = true;
}

std::vector<std::string> SettingsCommands::OpenRulesTab() {
  CopyTree(shell_.ReceiveTree(), receive_rule_tree_);
  const MessageList& list = shell_.List();
  const auto chosen = list.Selection();
  if (chosen.empty() || !list.IsValid(chosen.front())) return {};
  return {std::string(list.Column(chosen.front(), kColCorrespondent)),
          std::string(list.Column(chosen.front(), kColSubject))};
}

std::optional<std::string> SettingsCommands::ReceiveRuleLine(const std::string& field, const std::string& keyword,
                                                             bool reject, const FolderNode* folder) const {
  if (reject) return MakeRuleLine(field, keyword, RejectTarget());
  const auto target = FolderTargetOf(folder);
  if (!target) return std::nullopt;
  return MakeRuleLine(field, keyword, *target);
}

bool SettingsCommands::AddReceiveRule(const std::string& line, std::optional<size_t> replace) {
  return AddOrReplaceRule(receive_rules_.Lines(), line, replace);
}

void SettingsCommands::DeleteReceiveRule(size_t row) { RemoveRow(receive_rules_.Lines(), row); }

void SettingsCommands::RegisterReceiveRules() {
  receive_rules_.Save(shell_.State().MailRoot);
  registered_receive_ = receive_rules_.Lines();
}

bool SettingsCommands::CanApplyRules() const { return !shell_.State().CurrentFolderPath.empty(); }

bool SettingsCommands::ApplyRulesToCurrentFolder() {
  if (!CanApplyRules()) return false;
  const std::string question =
      Sjis(texts::kFolderOpen) + shell_.State().CurrentFolderPath + Sjis(texts::kFolderClose) + "\r\n" +
      Sjis(texts::kApplyRules1) + "\r\n" + Sjis(texts::kApplyRules2) + "\r\n" +
      (RulesDeleteMail(receiving_.Rules(), shell_.State().CurrentIndex) ? Sjis(texts::kApplyRulesDeletes) + "\r\n"
                                                                        : std::string()) +
      "\r\n" + Sjis(texts::kApplyRulesConfirm);
  if (shell_.Ui().MessageBox(question, MsgIcon::Warning, MsgButtons::YesNoCancel) != MsgAnswer::Yes) return false;
  receiving_.ApplyRules();
  return true;
}

std::optional<std::string> SettingsCommands::SendRuleLine(const std::string& kind, const std::string& pattern,
                                                          const FolderNode* folder) const {
  const auto target = FolderTargetOf(folder);
  if (!target || kind.empty() || pattern.empty()) return std::nullopt;
  return MakeRuleLine(kind, pattern, *target);
}

bool SettingsCommands::AddSendRule(const std::string& line, std::optional<size_t> replace) {
  return AddOrReplaceRule(send_rules_.Lines(), line, replace);
}

void SettingsCommands::DeleteSendRule(size_t row) { RemoveRow(send_rules_.Lines(), row); }

void SettingsCommands::RegisterSendRules() {
  send_rules_.Save(shell_.State().MailRoot);
  registered_send_ = send_rules_.Lines();
}

void SettingsCommands::DeleteCandidate(size_t row) { RemoveRow(candidates_.Hosts(), row); }

void SettingsCommands::RegisterCandidates() {
  candidates_.Save(shell_.State().MailRoot);
  registered_candidates_ = candidates_.Hosts();
}

std::optional<NewCheckProblem::Focus> SettingsCommands::Refuse(const NewCheckProblem& problem) {
  shell_.Ui().MessageBox(problem.message);
  return problem.focus;
}

std::optional<NewCheckProblem::Focus> SettingsCommands::SaveNewCheck() {
  if (auto problem = CheckNewCheckSave(new_check_, shell_.State().AccountList)) return Refuse(*problem);
  new_check_.Save(shell_.State().MailRoot);
  return std::nullopt;
}

std::optional<NewCheckProblem::Focus> SettingsCommands::RunNewCheck() {
  if (auto problem = CheckNewCheckInterval(new_check_)) return Refuse(*problem);
  DeleteForwardSentList(shell_.State().MailRoot);
  start_flag_ = true;
  return std::nullopt;
}

}  // namespace plumex

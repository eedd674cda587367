// The settings dialog's behaviour without widgets ("設定": "メッセージルール", "新着チェック",
// "削除候補", "送信ﾙｰﾙ"). It edits the live lists the application core owns, the ones receiving
// and sending read; only "登録" and "保存" write their files.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "receive/message_rules.h"
#include "settings/deletion_candidates.h"
#include "settings/new_check_settings.h"
#include "settings/rule_lines.h"
#include "settings/send_rule_list.h"
#include "shell/folder_tree.h"
#include "shell/main_shell.h"

namespace plumex {

class ReceiveCommands;

// The folder a rule's target names in a rule tree: the walk goes through the nodes in tree
// order from the first node below the root; a node whose folder name is the next name of the
// target is taken, and the walk goes on from its first child. Null when the first name is
// never found; otherwise the last node taken.
FolderNode* FindRuleFolder(const FolderTree& tree, const std::string& target);

// The folder names from below the tree's root down to node (empty for the root itself).
std::vector<std::string> NamesBelowRoot(const FolderNode* node);

class SettingsCommands {
 public:
  SettingsCommands(MainShell& shell, ReceiveCommands& receiving, RuleList& receive_rules, SendRuleList& send_rules,
                   DeletionCandidates& candidates, NewCheckSettings& new_check);

  // The dialog's creation at start-up: the rule trees are copied from the main window's (the
  // send one only here, so a send folder made later shows at the next start), and the start
  // flag is set when the check is to start with the program.
  void Create();

  // Whether a list differs from what its file held at start-up or at its last "登録".
  bool ReceiveRulesUnregistered() const { return receive_rules_.Lines() != registered_receive_; }
  bool SendRulesUnregistered() const { return send_rules_.Lines() != registered_send_; }
  bool CandidatesUnregistered() const { return candidates_.Hosts() != registered_candidates_; }

  FolderTree& ReceiveRuleTree() { return receive_rule_tree_; }
  FolderTree& SendRuleTree() { return send_rule_tree_; }
  RuleList& ReceiveRules() { return receive_rules_; }
  SendRuleList& SendRules() { return send_rules_; }
  DeletionCandidates& Candidates() { return candidates_; }
  NewCheckSettings& NewCheck() { return new_check_; }

  // --- "メッセージルール" ----------------------------------------------------------------
  // The menu item's preparation: the receive tree copied again; the keyword suggestions are
  // the sender and the subject of the first message chosen in the list (none without one).
  std::vector<std::string> OpenRulesTab();
  // The line "追加" or "編集" would write, or nothing when the input is incomplete. reject:
  // "削除(受信拒否)" chosen, else "へ移動" with the folder chosen in the rule tree (null: none).
  std::optional<std::string> ReceiveRuleLine(const std::string& field, const std::string& keyword, bool reject,
                                             const FolderNode* folder) const;
  // "追加" (replace empty) or "編集" (replace: the chosen rule); false when nothing changed.
  bool AddReceiveRule(const std::string& line, std::optional<size_t> replace = std::nullopt);
  void DeleteReceiveRule(size_t row);
  void RegisterReceiveRules();  // "登録": rule.ini
  // "現在のフォルダに適用": asks, then applies the rules to the folder on screen and says
  // "完了". True when they were applied (the dialog closes).
  bool ApplyRulesToCurrentFolder();
  bool CanApplyRules() const;

  // --- "送信ﾙｰﾙ" -------------------------------------------------------------------------
  std::optional<std::string> SendRuleLine(const std::string& kind, const std::string& pattern,
                                          const FolderNode* folder) const;
  bool AddSendRule(const std::string& line, std::optional<size_t> replace = std::nullopt);
  void DeleteSendRule(size_t row);
  void RegisterSendRules();  // "登録": rule2.ini

  // --- "削除候補" ------------------------------------------------------------------------
  void DeleteCandidate(size_t row);
  void RegisterCandidates();  // "登録": NoDomain.ini

  // --- "新着チェック" --------------------------------------------------------------------
  // "保存" of the live settings (which the tab keeps as shown): nothing when written, else
  // the field to focus after the refusal was shown.
  std::optional<NewCheckProblem::Focus> SaveNewCheck();
  // "実行": ForwardSL.ini is deleted and the start flag set; the dialog then closes. Refused
  // like "保存" for a bad interval.
  std::optional<NewCheckProblem::Focus> RunNewCheck();
  // "閉じる" of the new-mail tab.
  void CloseNewCheckTab() { start_flag_ = false; }
  bool StartFlag() const { return start_flag_; }
  // "新着チェックを継続する" sets it; the check window's "終了" clears it.
  void SetStartFlag(bool on) { start_flag_ = on; }

 private:
  std::optional<NewCheckProblem::Focus> Refuse(const NewCheckProblem& problem);

  MainShell& shell_;
  ReceiveCommands& receiving_;
  RuleList& receive_rules_;
  SendRuleList& send_rules_;
  DeletionCandidates& candidates_;
  NewCheckSettings& new_check_;
  FolderTree receive_rule_tree_;
  FolderTree send_rule_tree_;
  bool start_flag_ = false;
  std::vector<std::string> registered_receive_, registered_send_, registered_candidates_;
};

}  // namespace plumex

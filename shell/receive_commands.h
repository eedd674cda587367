// The receive commands of the main window: "受信", the stop commands ("中止", "切断",
// "受信停止", Escape), "メールを開く", applying the message rules to the folder on screen,
// and the labels of the folders that received mail.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "receive/message_rules.h"
#include "receive/receive_run.h"
#include "shell/main_shell.h"

namespace plumex {

class Pop3Client;

class ReceiveCommands : public ReceiveHooks {
 public:
  explicit ReceiveCommands(MainShell& shell);
  ~ReceiveCommands() override;

  // "受信": the receive run of the account in use. Nothing when a run is going on already.
  ReceiveResult Receive();
  bool Receiving() const { return receiving_; }
  // "中止", "切断", "受信停止", Escape.
  void StopReceiving();
  // "メールを開く": files each message file; stops at the first that fails.
  void OpenMessageFiles(const std::vector<std::filesystem::path>& files);
  // "現在のフォルダに適用": the rules on the folder on screen, then "完了".
  void ApplyRules();
  // AddToFolderLabel: path relative to "受信\" with a trailing "\".
  void AddToFolderLabel(const std::string& path, long long count);

  RuleList& Rules() { return rules_; }
  Pop3Client& Pop3() { return *pop3_; }

  // ReceiveHooks
  void Pump() override;
  void SetProgress(int position, int maximum) override;
  void SetModeLabel(const std::string& text, std::uint32_t rgb) override;
  void SetStatusText(int panel, const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  bool AskTrustCertificate(const std::string& question) override;
  void FolderReloaded() override;
  void SelectAccountNode(const std::string& account) override;
  void RowFiled(const std::string& row) override;
  void NewMailFiled(const FolderNewCounts& counts) override;

 private:
  void RefreshSelectedLabel();

  MainShell& shell_;
  std::unique_ptr<Pop3Client> pop3_;
  RuleList rules_;
  bool receiving_ = false;
};

}  // namespace plumex

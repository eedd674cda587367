// receive [--account NAME] [--yes]: the receive run of "受信" for one account, without windows.
#include <iostream>
#include <optional>

#include "app/cli/cli_command.h"
#include "platform/code_page.h"
#include "platform/directories.h"
#include "platform/store_path.h"
#include "protocol/pop3_client.h"
#include "receive/message_rules.h"
#include "receive/receive_run.h"
#include "settings/account_list.h"
#include "settings/app_settings.h"
#include "store/store_layout.h"

namespace plumex::cli {
namespace {

// Prints what the windows would show; answers questions from --yes, never waits.
class CliReceiveHooks : public ReceiveHooks {
 public:
  CliReceiveHooks(std::ostream& out, std::ostream& err, bool yes) : out_(out), err_(err), yes_(yes) {}
  void Pump() override {}
  void SetProgress(int, int) override {}
  void SetModeLabel(const std::string&, std::uint32_t) override {}
  void SetStatusText(int panel, const std::string& text) override {
    if (panel == 1) status = text;
  }
  void ShowMessage(const std::string& text) override {
    message = text;
    err_ << Cp932ToUtf8(text) << "\n";
  }
  bool AskTrustCertificate(const std::string& question) override {
    err_ << Cp932ToUtf8(question) << (yes_ ? " --yes\n" : " (--yes to trust)\n");
    return yes_;
  }
  void FolderReloaded() override {}
  void SelectAccountNode(const std::string&) override {}
  void RowFiled(const std::string&) override {}
  void NewMailFiled(const FolderNewCounts&) override {}

  std::string status;
  std::string message;

 private:
  std::ostream& out_;
  std::ostream& err_;
  bool yes_;
};

int Receive(CliContext& context) {
  std::optional<std::string> account;
  bool yes = false;
  for (size_t i = 0; i < context.args.size(); ++i) {
    if (context.args[i] == "--account" && i + 1 < context.args.size()) account = Utf8ToCp932(context.args[++i]);
    else if (context.args[i] == "--yes") yes = true;
    else {
      context.err << "usage: plumex-cli receive [--account NAME] [--yes]\n";
      return 1;
    }
  }
  const auto& root = context.mail_root;
  std::vector<std::string> accounts = LoadAccountList(root);
  std::string name = account ? *account : AppSettings::Load(root).current_account;
  auto position = FindAccount(accounts, name);
  if (!position) {
    context.err << "plumex-cli: no such account: " << Cp932ToUtf8(name) << "\n";
    return 1;
  }
  size_t account_position = *position + 1;
  std::string folder = AccountFolderPath(name);
  std::string account_dir = folder;
  EnsureDirectory(ToNativePath(root, folder));
  FolderIndex index = FolderIndex::Open(ToNativePath(root, folder) / std::string(kReceiveIndexName));
  ReceivedIdList ids = ReceivedIdList::Open(ToNativePath(root, folder) / std::string(kReceivedIdListName));
  RuleList rules = RuleList::Load(root);
  bool stop = false;
  ConnectionOptions options;
  options.mail_root = root;
  Pop3Client pop3(options);

  ReceiveSession session;
  session.mail_root = root;
  session.account_list = &accounts;
  session.account_position = &account_position;
  session.current_account = &name;
  session.current_folder_path = &folder;
  session.current_account_dir = &account_dir;
  session.current_index = &index;
  session.received_ids = &ids;
  session.stop_requested = &stop;
  session.rules = &rules;
  session.pop3 = &pop3;

  CliReceiveHooks hooks(context.out, context.err, yes);
  ReceiveResult result = ReceiveMail(session, hooks);
  if (!result.connected) return 1;
  context.out << Cp932ToUtf8(hooks.status) << "\n";
  if (!result.error.empty()) {
    context.err << Cp932ToUtf8(result.error) << "\n";
    return 1;
  }
  return 0;
}

const CliCommand registration("receive", "receive [--account NAME] [--yes]", Receive);

}  // namespace
}  // namespace plumex::cli

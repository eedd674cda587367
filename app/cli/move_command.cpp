// move --account NAME [--folder PATH] --to PATH MESSAGE-ID...: moves messages between folders
// of an account, as dropping their rows on a node of the receive tree does.
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_core.h"
#include "app/cli/cli_texts.h"
#include "app/cli/message_store_args.h"
#include "app/cli/terminal_ui_port.h"
#include "shell/app_core.h"

namespace plumex::cli {
namespace {

int Move(CliContext& context) {
  std::string account, folder;
  std::optional<std::string> to;
  std::vector<std::string> ids;
  bool bad = false;
  for (size_t i = 0; i < context.args.size(); ++i) {
    const std::string& a = context.args[i];
    if (a == "--account" && i + 1 < context.args.size()) account = Utf8ToCp932(context.args[++i]);
    else if (a == "--folder" && i + 1 < context.args.size()) folder = context.args[++i];
    else if (a == "--to" && i + 1 < context.args.size()) to = context.args[++i];
    else if (!a.empty() && a.rfind("--", 0) != 0) ids.push_back(Utf8ToCp932(a));
    else bad = true;
  }
  if (bad || account.empty() || !to || ids.empty()) {
    context.err << "usage: plumex-cli move --account NAME [--folder PATH] --to PATH MESSAGE-ID...\n";
    return 1;
  }
  TerminalUiPort ui(context.err, false);
  AppCore core(ui, context.mail_root);
  if (!StartCore(core, context.err) || !UseAccount(core, account, context.err)) return 1;
  const std::string from_path = FolderBelowAccount(account, folder);
  const std::string to_path = FolderBelowAccount(account, *to);
  FolderNode* from = core.Shell().ReceiveTree().FindByPath(from_path);
  FolderNode* target = core.Shell().ReceiveTree().FindByPath(to_path);
  if (!from || !target) {
    context.err << "plumex-cli: " << texts::kCliNoSuchFolder << (from ? *to : folder) << "\n";
    return 1;
  }
  core.SelectReceiveNode(from);
  const auto rows = RowsNamed(core, from_path, ids, context.err);
  if (!rows) return 1;
  size_t stayed = 0;
  if (!core.Run([&] { stayed = core.Messages().DropRows(*rows, Trees::Receive, target); })) return 1;
  return stayed == 0 ? 0 : 1;
}

const CliCommand registration("move", "move --account NAME [--folder PATH] --to PATH MESSAGE-ID...", Move, AlwaysWrites);

}  // namespace
}  // namespace plumex::cli

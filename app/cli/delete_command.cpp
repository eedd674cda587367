// delete --account NAME [--folder PATH] MESSAGE-ID...: local delete of messages of a receive
// folder, as the window's "ローカルメール削除" does it (the command line is the answer to its
// question).
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_core.h"
#include "app/cli/cli_texts.h"
#include "app/cli/message_store_args.h"
#include "app/cli/terminal_ui_port.h"
#include "shell/app_core.h"

namespace plumex::cli {
namespace {

int Delete(CliContext& context) {
  std::string account, folder;
  std::vector<std::string> ids;
  bool bad = false;
  for (size_t i = 0; i < context.args.size(); ++i) {
    const std::string& a = context.args[i];
    if (a == "--account" && i + 1 < context.args.size()) account = Utf8ToCp932(context.args[++i]);
    else if (a == "--folder" && i + 1 < context.args.size()) folder = context.args[++i];
    else if (!a.empty() && a.rfind("--", 0) != 0) ids.push_back(Utf8ToCp932(a));
    else bad = true;
  }
  if (bad || account.empty() || ids.empty()) {
    context.err << "usage: plumex-cli delete --account NAME [--folder PATH] MESSAGE-ID...\n";
    return 1;
  }
  TerminalUiPort ui(context.err, false);
  AppCore core(ui, context.mail_root);
  if (!StartCore(core, context.err) || !UseAccount(core, account, context.err)) return 1;
  const std::string path = FolderBelowAccount(account, folder);
  FolderNode* node = core.Shell().ReceiveTree().FindByPath(path);
  if (!node) {
    context.err << "plumex-cli: " << texts::kCliNoSuchFolder << folder << "\n";
    return 1;
  }
  core.SelectReceiveNode(node);
  const auto rows = RowsNamed(core, path, ids, context.err);
  if (!rows) return 1;
  size_t stayed = 0;
  if (!core.Run([&] { stayed = core.Messages().DeleteLocally(*rows, false); })) return 1;
  return stayed == 0 ? 0 : 1;
}

const CliCommand registration("delete", "delete --account NAME [--folder PATH] MESSAGE-ID...", Delete, AlwaysWrites);

}  // namespace
}  // namespace plumex::cli

// receive [--account NAME] [--yes]: the receive run of "受信" for one account, through the
// same application core as the window.
#include <ostream>
#include <optional>

#include "app/cli/cli_command.h"
#include "app/cli/cli_core.h"
#include "app/cli/terminal_ui_port.h"
#include "text/code_page.h"
#include "shell/app_core.h"

namespace plumex::cli {
namespace {

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
  TerminalUiPort ui(context.err, yes);
  AppCore core(ui, context.mail_root);
  if (!StartCore(core, context.err) || !UseAccount(core, account.value_or(""), context.err)) return 1;
  ReceiveResult result;
  if (!core.Run([&] { result = core.Receiving().Receive(); })) return 1;
  if (!result.connected) return 1;
  context.out << Cp932ToUtf8(ui.Status()) << "\n";
  return result.error ? 1 : 0;
}

const CliCommand registration("receive", "receive [--account NAME] [--yes]", Receive, AlwaysWrites);

}  // namespace
}  // namespace plumex::cli

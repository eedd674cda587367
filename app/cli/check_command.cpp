// check [--account NAME]: one count-only new-mail check over every account (or one), through
// the same code as the window's check. Each message never fetched is printed once: what was
// announced is remembered in the account's folder between runs. Nothing is downloaded or filed.
#include <optional>
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_core.h"
#include "app/cli/cli_texts.h"
#include "app/cli/terminal_ui_port.h"
#include "text/code_page.h"
#include "protocol/pop3_client.h"
#include "receive/new_mail_check.h"
#include "receive/receive_run.h"
#include "settings/account_list.h"
#include "shell/app_core.h"

namespace plumex::cli {
namespace {

int Check(CliContext& context) {
  std::optional<std::string> only;
  for (size_t i = 0; i < context.args.size(); ++i) {
    if (context.args[i] == "--account" && i + 1 < context.args.size()) {
      only = Utf8ToCp932(context.args[++i]);
    } else {
      context.err << "usage: plumex-cli check [--account NAME]\n";
      return 1;
    }
  }
  TerminalUiPort ui(context.err, false);
  AppCore core(ui, context.mail_root);
  if (!StartCore(core, context.err)) return 1;
  const MailboxState& state = core.State();
  if (only && !FindAccount(state.AccountList, *only)) {
    context.err << "plumex-cli: " << texts::kCliNoSuchAccount << Cp932ToUtf8(*only) << "\n";
    return 1;
  }
  NewMailCheck& check = core.MailCheck().Check();
  std::vector<NewMailRow> rows;
  if (!core.Run([&] { rows = check.CheckAllAccounts(state, core.Shell().Pop3(), ui, only ? &*only : nullptr); }))
    return 1;

  for (const NewMailRow& row : rows)
    context.out << Cp932ToUtf8(row.account) << "\t" << Cp932ToUtf8(row.subject) << "\t" << Cp932ToUtf8(row.sender)
                << "\n";
  context.out << Cp932ToUtf8(NewMailStatusText(static_cast<long long>(rows.size()))) << "\n";
  for (const auto& [name, reason] : check.Unreachable())
    context.err << Cp932ToUtf8(name) << ": " << Cp932ToUtf8(reason) << "\n";
  // An account not reached, or one whose server failed half-way: the count is not the whole,
  // so the run failed.
  return check.Unreachable().empty() ? 0 : 1;
}

const CliCommand registration("check", "check [--account NAME]", Check, AlwaysWrites);

}  // namespace
}  // namespace plumex::cli

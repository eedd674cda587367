// server list|delete|receive [--account NAME] [UIDL...]: server delete mode without a window,
// through the same application core: the listing, deleting messages on the server and
// receiving chosen ones, named by UIDL whatever their numbers are by then.
#include <ostream>
#include <optional>

#include "app/cli/cli_command.h"
#include "app/cli/cli_core.h"
#include "app/cli/cli_texts.h"
#include "app/cli/terminal_ui_port.h"
#include "text/code_page.h"
#include "receive/receive_texts.h"
#include "shell/app_core.h"

namespace plumex::cli {
namespace {

constexpr const char* kUsage = "usage: plumex-cli server list [--account NAME]\n"
                               "       plumex-cli server delete|receive [--account NAME] [--yes] UIDL...\n";

std::string Utf8(const std::string& cp932) { return Cp932ToUtf8(cp932); }

// Names the UIDLs no longer on the server; true when there were any.
bool ReportMissing(CliContext& context, const std::vector<ServerMessage>& missing) {
  if (missing.empty()) return false;
  context.err << "plumex-cli: " << texts::kCliNotOnServer;
  for (const ServerMessage& m : missing) context.err << " " << m.uidl;
  context.err << "\n";
  return true;
}

int Server(CliContext& context) {
  if (context.args.empty()) {
    context.err << kUsage;
    return 1;
  }
  const std::string action = context.args[0];
  std::optional<std::string> account;
  bool yes = false;
  std::vector<ServerMessage> targets;
  for (size_t i = 1; i < context.args.size(); ++i) {
    const std::string& a = context.args[i];
    if (a == "--account" && i + 1 < context.args.size()) account = Utf8ToCp932(context.args[++i]);
    else if (a == "--yes") yes = true;
    else if (!a.empty() && a[0] != '-' && action != "list") {
      ServerMessage target;
      target.uidl = a;
      targets.push_back(std::move(target));
    }
    else {
      context.err << kUsage;
      return 1;
    }
  }
  if ((action != "list" && action != "delete" && action != "receive") || (action != "list" && targets.empty())) {
    context.err << kUsage;
    return 1;
  }

  TerminalUiPort ui(context.err, yes);
  AppCore core(ui, context.mail_root);
  if (!StartCore(core, context.err) || !UseAccount(core, account.value_or(""), context.err)) return 1;
  ServerDeleteCommands& server = core.ServerDelete();

  if (action == "list") {
    bool listed = false;
    if (!core.Run([&] { listed = server.EnterDeleteMode(); })) return 1;
    for (const ServerMessage& m : server.Listed())
      context.out << m.number << "\t" << m.uidl << "\t" << m.size << "\t" << m.date << "\t" << Utf8(m.sender) << "\t"
                  << Utf8(m.subject) << "\t" << (m.candidate ? "*" : "") << "\n";
    core.Run([&] { server.LeaveMode(); });
    if (!listed) context.err << "plumex-cli: " << texts::kCliListingIncomplete << "\n";
    return listed ? 0 : 1;
  }

  if (action == "delete") {
    std::optional<DeleteOutcome> outcome;
    if (!core.Run([&] { outcome = server.DeleteMessages(targets); }) || !outcome) return 1;
    context.out << texts::kDeletedCount << outcome->deleted << texts::kMailCountEnd << "\n";
    const bool missing = ReportMissing(context, outcome->missing);
    return missing || outcome->refused ? 1 : 0;
  }

  std::optional<ServerDeleteCommands::ReceiveOutcome> outcome;
  if (!core.Run([&] { outcome = server.ReceiveMessages(targets); }) || !outcome) return 1;
  if (outcome->result.connected) context.out << Utf8(ui.Status()) << "\n";
  const bool missing = ReportMissing(context, outcome->missing);
  return missing || outcome->result.error ? 1 : 0;
}

const CliCommand registration("server", "server list|delete|receive [--account NAME] [--yes] [UIDL...]", Server, AlwaysWrites);

}  // namespace
}  // namespace plumex::cli

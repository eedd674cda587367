// send --account NAME --to ADDR --subject TEXT [--cc ADDR] [--bcc ADDR] [--attach FILE]...
//      [--merge-sheet CSV] [--delay MINUTES] [--yes] [--confirm-external]: the body on standard input (UTF-8), sent
// by the compose window's "メール送信" through the same application core as the window; with a
// delay it is queued instead (its due time and entry are printed). While the check before
// sending is on, outside (社外) recipients are refused unless --confirm-external says they were
// looked at.
#include <istream>
#include <iterator>
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_core.h"
#include "app/cli/cli_texts.h"
#include "app/cli/terminal_ui_port.h"
#include "text/code_page.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "settings/account_list.h"
#include "shell/app_core.h"

namespace plumex::cli {
namespace {

constexpr const char* kUsage =
    "send --account NAME --to ADDR --subject TEXT [--cc ADDR] [--bcc ADDR] [--attach FILE]... "
    "[--merge-sheet CSV] [--delay MINUTES] [--yes] [--confirm-external]";

int Send(CliContext& context) {
  std::string account_name, merge_sheet, to, subject, cc, bcc, delay;
  std::vector<std::string> attachments;
  bool yes = false, confirm_external = false;
  const auto& a = context.args;
  for (size_t i = 0; i < a.size(); ++i) {
    auto value = [&]() -> std::string { return i + 1 < a.size() ? Utf8ToCp932(a[++i]) : std::string(); };
    if (a[i] == "--account") account_name = value();
    else if (a[i] == "--to") to = value();
    else if (a[i] == "--subject") subject = value();
    else if (a[i] == "--cc") cc = value();
    else if (a[i] == "--bcc") bcc = value();
    else if (a[i] == "--attach" && i + 1 < a.size()) attachments.push_back(PathText(std::filesystem::absolute(a[++i])));
    else if (a[i] == "--merge-sheet" && i + 1 < a.size()) merge_sheet = a[++i];
    else if (a[i] == "--delay" && i + 1 < a.size()) delay = a[++i];
    else if (a[i] == "--yes") yes = true;
    else if (a[i] == "--confirm-external") confirm_external = true;
    else {
      context.err << "usage: plumex-cli " << kUsage << "\n";
      return 1;
    }
  }
  TerminalUiPort ui(context.err, yes);
  ui.SetConfirmExternal(confirm_external);
  AppCore core(ui, context.mail_root);
  if (!StartCore(core, context.err)) return 1;
  auto position = FindAccount(core.State().AccountList, account_name);
  if (!position) {
    context.err << "plumex-cli: " << texts::kCliNoSuchAccount << Cp932ToUtf8(account_name) << "\n";
    return 1;
  }
  ComposeCommands& compose = core.Compose();
  compose.FillSenders();
  ComposeContent& c = compose.Content();
  c.sender_index = static_cast<int>(*position);
  c.to = to;
  c.subject = subject;
  c.cc = cc;
  c.bcc = bcc;
  c.attachments = attachments;
  c.merge = !merge_sheet.empty();
  c.delay = delay;
  // A sheet is code page 932 text, like every file the store keeps.
  if (c.merge && !ReadLines(merge_sheet, c.merge_sheet)) {
    context.err << "plumex-cli: " << texts::kCliMergeSheetUnreadable << merge_sheet << "\n";
    return 1;
  }
  c.body = SplitLines(Utf8ToCp932(std::string(std::istreambuf_iterator<char>(context.in), {})));
  bool sent = false;
  if (!core.Run([&] { sent = compose.Send(); }) || !sent) return 1;
  if (const auto& queued = compose.LastQueued()) {
    context.out << queued->due << "\t" << Cp932ToUtf8(queued->folder) << "\n";
    return 0;
  }
  const SendResult& result = compose.LastSent();
  if (c.merge) context.out << "OK " << result.merge_ok << ", NO!! " << result.merge_failed << "\n";
  context.out << Cp932ToUtf8(result.message_id) << "\n";
  return 0;
}

const CliCommand registration("send", kUsage, Send, AlwaysWrites);

}  // namespace
}  // namespace plumex::cli

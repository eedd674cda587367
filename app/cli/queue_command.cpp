// queue list | queue run [--yes] | queue cancel [--yes] [ENTRY...]: the delayed-send queue of
// "AfterSend\": its entries, the timer's tick (what is due goes out), and "時差送信解除".
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_core.h"
#include "app/cli/cli_texts.h"
#include "app/cli/terminal_ui_port.h"
#include "text/code_page.h"
#include "text/sjis_text.h"
#include "send/key_value_lines.h"
#include "shell/app_core.h"
#include "store/store_texts.h"

namespace plumex::cli {
namespace {

constexpr const char* kUsage = "queue list | queue run [--yes] | queue cancel [--yes] [ENTRY...]";

int Queue(CliContext& context) {
  const auto& a = context.args;
  if (a.empty() || (a[0] != "list" && a[0] != "run" && a[0] != "cancel")) {
    context.err << "usage: plumex-cli " << kUsage << "\n";
    return 1;
  }
  bool yes = false;
  std::vector<std::string> entries;
  for (size_t i = 1; i < a.size(); ++i) {
    if (a[i] == "--yes" && a[0] != "list") yes = true;
    else if (a[0] == "cancel" && a[i].rfind("--", 0) != 0) entries.push_back(Utf8ToCp932(a[i]));
    else {
      context.err << "usage: plumex-cli " << kUsage << "\n";
      return 1;
    }
  }
  TerminalUiPort ui(context.err, yes);
  AppCore core(ui, context.mail_root);
  if (!StartCore(core, context.err)) return 1;
  DelayedSendCommands& delayed = core.DelayedSend();
  SendQueue& queue = delayed.Queue();

  if (a[0] == "list") {
    // Due time, entry, subject and recipient (TAB-separated), in the order they go out.
    for (const QueueEntry& entry : queue.Entries()) {
      context.out << entry.due << "\t" << Cp932ToUtf8(entry.folder);
      if (auto request = queue.Load(entry))
        context.out << "\t" << Cp932ToUtf8(ValueOf(request->headers, Sjis(texts::kKeySubject))) << "\t"
                    << Cp932ToUtf8(ValueOf(request->headers, Sjis(texts::kKeyTo)));
      context.out << "\n";
    }
    return 0;
  }
  if (a[0] == "run") {
    QueueTickResult result;
    if (!core.Run([&] { result = delayed.Tick(); })) return 1;
    for (const std::string& text : delayed.TakeUntold()) context.err << Cp932ToUtf8(text) << "\n";
    context.out << texts::kCliSentCount << result.sent << texts::kCliSentCountEnd;
    return result.failed.empty() ? 0 : 1;
  }
  if (entries.empty()) {
    bool cancelled = false;
    if (!core.Run([&] { cancelled = delayed.CancelAll(); })) return 1;
    return cancelled || !queue.Active() ? 0 : 1;
  }
  const std::vector<std::string> unknown = queue.Cancel(entries);
  for (const std::string& name : unknown)
    context.err << "plumex-cli: " << texts::kCliNoSuchQueueEntry << Cp932ToUtf8(name) << "\n";
  return unknown.empty() ? 0 : 1;
}

const CliCommand registration("queue", kUsage, Queue,
                                [](const std::vector<std::string>& args) { return args.empty() || args[0] != "list"; });

}  // namespace
}  // namespace plumex::cli

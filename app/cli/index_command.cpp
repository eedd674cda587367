// index rebuild|status: the full-text index of the store (in the user's cache) built anew from
// every message file, or what it holds.
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_core.h"
#include "app/cli/cli_texts.h"
#include "app/cli/terminal_ui_port.h"
#include "text/code_page.h"
#include "search/text_index.h"

namespace plumex::cli {
namespace {

int Index(CliContext& context) {
  const auto& args = context.args;
  if (args.size() != 1 || (args[0] != "rebuild" && args[0] != "status")) {
    context.err << "usage: plumex-cli index rebuild|status\n";
    return 1;
  }
  if (args[0] == "rebuild") {
    TerminalUiPort ui(context.err, false);
    AppCore core(ui, context.mail_root);
    if (!StartCore(core, context.err)) return 1;
    bool built = false;
    if (!core.Run([&] {
          const bool never_stopped = false;  // the terminal has no stop command
          built = TextIndex::Rebuild(context.mail_root, ui, never_stopped) != nullptr;
        }) ||
        !built) {
      context.err << "plumex-cli: " << texts::kCliIndexNotBuilt << "\n";
      return 1;
    }
  }
  const IndexStatus status = TextIndex::Status(context.mail_root);
  context.out << texts::kCliIndexFile << status.file.string() << "\n";
  context.out << texts::kCliIndexState
              << (!status.exists ? texts::kCliIndexNone : status.ready ? texts::kCliIndexReady : texts::kCliIndexBuilding)
              << "\n";
  if (status.exists) {
    context.out << texts::kCliIndexMessages << status.messages << texts::kCliCountSuffix;
    context.out << texts::kCliIndexFolders << status.folders << "\n";
    context.out << texts::kCliIndexStale << status.stale << texts::kCliCountSuffix;
    context.out << texts::kCliIndexSize << status.bytes << texts::kCliBytesSuffix;
  }
  return 0;
}

const CliCommand registration("index", "index rebuild|status", Index);

}  // namespace
}  // namespace plumex::cli

// show [--account NAME] [--folder PATH] [--source] MESSAGE-ID: a message as the viewer shows
// it (its header lines, an empty line, the text body), or with --source its original bytes.
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_core.h"
#include "app/cli/cli_texts.h"
#include "app/cli/folder_choice.h"
#include "app/cli/terminal_ui_port.h"
#include "text/code_page.h"
#include "platform/text_file.h"
#include "shell/shown_text.h"
#include "store/message_file_key.h"
#include "store/message_files.h"
#include "store/store_layout.h"

namespace plumex::cli {
namespace {

int Show(CliContext& context) {
  bool source = false;
  std::erase_if(context.args, [&](const std::string& a) { return a == "--source" && (source = true); });
  FolderChoice choice;
  if (!TakeFolderChoice(context.args, choice) || context.args.size() != 1 || context.args[0].empty()) {
    context.err << "usage: plumex-cli show [--account NAME] [--folder PATH] [--source] MESSAGE-ID\n";
    return 1;
  }
  TerminalUiPort ui(context.err, false);
  AppCore core(ui, context.mail_root);
  if (!StartCore(core, context.err)) return 1;
  if (!ApplyFolderChoice(core, choice, context.err)) return 1;
  MainShell& shell = core.Shell();
  const std::string id = Utf8ToCp932(context.args[0]);
  // The folder on screen keeps its message files where the viewer reads them.
  const MainState& s = shell.State();
  const std::string dir = s.ViewMode == ViewModes::SendFolder ? SendFolderPath()
                          : s.ViewMode == ViewModes::Drafts   ? DraftFolderPath()
                                                              : s.CurrentFolderPath;
  ViewerContent v;
  if (dir.empty() || !shell.ReadMessage(dir, id, v)) {
    context.err << "plumex-cli: " << texts::kCliNoSuchMessage << context.args[0] << "\n";
    return 1;
  }
  if (source) {
    const auto folder = shell.Native(dir);
    const auto original = OriginalIn(folder, FileKeyInFolder(folder, id));
    const std::optional<std::string> bytes = ReadFileBytes(original);
    if (!bytes) {
      context.err << "plumex-cli: " << texts::kCliNoOriginal << context.args[0] << "\n";
      return 1;
    }
    context.out << *bytes;
    return 0;
  }
  for (const std::string& line : ShownHeaderLines(v)) context.out << line << '\n';
  context.out << '\n';
  std::string body = Cp932ToUtf8(v.text_view);
  std::erase(body, '\r');
  context.out << body;
  return 0;
}

const CliCommand registration("show", "show [--account NAME] [--folder PATH] [--source] MESSAGE-ID", Show);

}  // namespace
}  // namespace plumex::cli

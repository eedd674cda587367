// search [--account NAME] [--folder PATH] KEY: the extraction of "メールの抽出" over a folder
// and its subfolders, through the same application core as the window.
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_core.h"
#include "app/cli/folder_choice.h"
#include "app/cli/terminal_ui_port.h"
#include "platform/code_page.h"
#include "shell/shown_text.h"
#include "store/index_row.h"
#include "store/tab_line.h"

namespace plumex::cli {
namespace {

int Search(CliContext& context) {
  FolderChoice choice;
  if (!TakeFolderChoice(context.args, choice) || context.args.size() != 1 || context.args[0].empty()) {
    context.err << "usage: plumex-cli search [--account NAME] [--folder PATH] KEY\n";
    return 1;
  }
  TerminalUiPort ui(context.err, false);
  AppCore core(ui, context.mail_root);
  if (!StartCore(core, context.err)) return 1;
  if (!ApplyFolderChoice(core, choice, context.err)) return 1;
  bool done = false;
  if (!core.Run([&] { done = core.Search().Extract(Utf8ToCp932(context.args[0])); }) || !done) return 1;
  // Each match: its folder, subject, sender and date.
  const auto& rows = core.Search().ResultRows();
  for (const std::string& row : rows) {
    const std::string folder = FieldOf(row, IndexRow::kExtra);
    const auto [subject, sender] = ShownSubjectAndSender(core.Shell().Native(folder), row);
    context.out << Cp932ToUtf8(folder) << '\t' << Cp932ToUtf8(subject) << '\t' << Cp932ToUtf8(sender) << '\t'
                << Cp932ToUtf8(FieldOf(row, IndexRow::kDate)) << '\n';
  }
  context.out << rows.size() << "件\n";
  return 0;
}

const CliCommand registration("search", "search [--account NAME] [--folder PATH] KEY", Search);

}  // namespace
}  // namespace plumex::cli

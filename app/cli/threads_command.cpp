// threads [--account NAME] [--folder PATH]: the conversations of a folder, one message a line
// (two spaces of indent per level, then subject, sender and date, TAB-separated), an empty line
// between conversations.
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_core.h"
#include "app/cli/folder_choice.h"
#include "app/cli/terminal_ui_port.h"
#include "text/code_page.h"
#include "search/folder_threads.h"
#include "store/index_row.h"
#include "store/tab_line.h"

namespace plumex::cli {
namespace {

int Threads(CliContext& context) {
  FolderChoice choice;
  if (!TakeFolderChoice(context.args, choice) || !context.args.empty()) {
    context.err << "usage: plumex-cli threads [--account NAME] [--folder PATH]\n";
    return 1;
  }
  TerminalUiPort ui(context.err, false);
  AppCore core(ui, context.mail_root);
  if (!StartCore(core, context.err)) return 1;
  if (!ApplyFolderChoice(core, choice, context.err)) return 1;
  const MainState& s = core.State();
  const std::vector<std::string>& rows = s.CurrentIndex.Rows().Lines();
  FolderThreads threads;
  if (!core.Run([&] { threads = ThreadFolder(s.MailRoot, s.CurrentFolderPath, rows, ui); })) return 1;
  for (size_t i = 0; i < threads.lines.size(); ++i) {
    const ThreadLine& line = threads.lines[i];
    if (line.depth == 0 && i > 0) context.out << '\n';
    const std::string& row = rows[line.message];
    context.out << std::string(static_cast<size_t>(line.depth) * 2, ' ') << Cp932ToUtf8(FieldOf(row, IndexRow::kSubject))
                << '\t' << Cp932ToUtf8(FieldOf(row, IndexRow::kCorrespondent)) << '\t'
                << Cp932ToUtf8(FieldOf(row, IndexRow::kDate)) << '\n';
  }
  return 0;
}

const CliCommand registration("threads", "threads [--account NAME] [--folder PATH]", Threads);

}  // namespace
}  // namespace plumex::cli

// related [--account NAME] [--folder PATH]: the related-mail extraction of "関連付け抽出" (which
// writes the folder's Ref.ini), through the same application core as the window.
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_core.h"
#include "app/cli/cli_texts.h"
#include "app/cli/folder_choice.h"
#include "app/cli/terminal_ui_port.h"
#include "text/code_page.h"
#include "shell/shown_text.h"
#include "store/index_row.h"
#include "store/tab_line.h"

namespace plumex::cli {
namespace {

int Related(CliContext& context) {
  FolderChoice choice;
  if (!TakeFolderChoice(context.args, choice) || !context.args.empty()) {
    context.err << "usage: plumex-cli related [--account NAME] [--folder PATH]\n";
    return 1;
  }
  TerminalUiPort ui(context.err, false);
  AppCore core(ui, context.mail_root);
  if (!StartCore(core, context.err)) return 1;
  if (!ApplyFolderChoice(core, choice, context.err)) return 1;
  bool done = false;
  if (!core.Run([&] { done = core.Search().RelatedExtract(); }) || !done) return 1;
  // The groups, an empty line before each but the first; each row its subject, sender and date.
  const auto& rows = core.Search().ResultRows();
  const auto& starts = core.Search().ResultGroupStarts();
  const auto folder = core.Shell().Native(core.Shell().State().CurrentFolderPath);
  for (size_t i = 0; i < rows.size(); ++i) {
    if (starts[i] && i > 0) context.out << '\n';
    const auto [subject, sender] = ShownSubjectAndSender(folder, rows[i]);
    context.out << Cp932ToUtf8(subject) << '\t' << Cp932ToUtf8(sender) << '\t' << Cp932ToUtf8(FieldOf(rows[i], IndexRow::kDate)) << '\n';
  }
  context.out << rows.size() << texts::kCliCountSuffix;
  return 0;
}

const CliCommand registration("related", "related [--account NAME] [--folder PATH]", Related);

}  // namespace
}  // namespace plumex::cli

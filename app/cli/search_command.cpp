// search [--account NAME] [--folder PATH] [--all] [--scan] KEY: the extraction of "メールの抽出"
// over a folder and its subfolders (or over every account and the send tree), through the same
// application core as the window: the full-text index narrows the files read when it is there.
#include <algorithm>
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_core.h"
#include "app/cli/cli_texts.h"
#include "app/cli/folder_choice.h"
#include "app/cli/terminal_ui_port.h"
#include "text/code_page.h"
#include "shell/shown_text.h"
#include "search/indexed_search.h"
#include "store/index_row.h"
#include "store/store_layout.h"
#include "store/tab_line.h"

namespace plumex::cli {
namespace {

bool TakeFlag(std::vector<std::string>& args, const char* flag) {
  auto it = std::find(args.begin(), args.end(), flag);
  if (it == args.end()) return false;
  args.erase(it);
  return true;
}

int Search(CliContext& context) {
  const bool all = TakeFlag(context.args, "--all");
  const SearchWay way = TakeFlag(context.args, "--scan") ? SearchWay::Scan : SearchWay::IndexWhenPresent;
  FolderChoice choice;
  if (!TakeFolderChoice(context.args, choice) || context.args.size() != 1 || context.args[0].empty() ||
      (all && (choice.account || choice.folder))) {
    context.err << "usage: plumex-cli search [--account NAME] [--folder PATH] [--all] [--scan] KEY\n";
    return 1;
  }
  TerminalUiPort ui(context.err, false);
  AppCore core(ui, context.mail_root);
  if (!StartCore(core, context.err)) return 1;
  const std::string key = Utf8ToCp932(context.args[0]);
  std::vector<std::string> all_rows;
  if (all) {
    // Every account's receive tree, then the send tree.
    bool stopped = false;
    const bool never_stopped = false;  // the terminal has no stop command
    for (const std::string& top : {ReceiveRootName() + "\\", SendFolderPath()}) {
      if (!core.Run([&] {
            ExtractionResult found = FindMessages(core.State().MailRoot, top, key, ui, never_stopped, way);
            stopped = stopped || found.stopped;
            all_rows.insert(all_rows.end(), found.rows.begin(), found.rows.end());
          }) ||
          stopped)
        return 1;
    }
  } else {
    if (!ApplyFolderChoice(core, choice, context.err)) return 1;
    core.Search().SetSearchWay(way);
    bool done = false;
    if (!core.Run([&] { done = core.Search().Extract(key); }) || !done) return 1;
  }
  // Each match: its folder, subject, sender and date.
  const auto& rows = all ? all_rows : core.Search().ResultRows();
  for (const std::string& row : rows) {
    const std::string folder = FieldOf(row, IndexRow::kExtra);
    const auto [subject, sender] = ShownSubjectAndSender(core.Shell().Native(folder), row);
    context.out << Cp932ToUtf8(folder) << '\t' << Cp932ToUtf8(subject) << '\t' << Cp932ToUtf8(sender) << '\t'
                << Cp932ToUtf8(FieldOf(row, IndexRow::kDate)) << '\n';
  }
  context.out << rows.size() << texts::kCliCountSuffix;
  return 0;
}

const CliCommand registration("search", "search [--account NAME] [--folder PATH] [--all] [--scan] KEY", Search);

}  // namespace
}  // namespace plumex::cli

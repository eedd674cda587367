// maintain: the repair of "メンテナンス" over every receive folder of every account; prints,
// per folder it changed, the rows removed as duplicates and the rows rebuilt.
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_core.h"
#include "app/cli/terminal_ui_port.h"
#include "text/code_page.h"
#include "shell/app_core.h"

namespace plumex::cli {
namespace {

int Maintain(CliContext& context) {
  if (!context.args.empty()) {
    context.err << "usage: plumex-cli maintain\n";
    return 1;
  }
  TerminalUiPort ui(context.err, false);
  AppCore core(ui, context.mail_root);
  if (!StartCore(core, context.err)) return 1;
  std::vector<FolderRepair> repairs;
  if (!core.Run([&] { repairs = core.Messages().RepairStore(); })) return 1;
  for (const FolderRepair& r : repairs) {
    if (r.duplicates_removed == 0 && r.rows_rebuilt == 0) continue;
    context.out << Cp932ToUtf8(r.folder) << "\tremoved " << r.duplicates_removed << "\trebuilt " << r.rows_rebuilt
                << "\n";
  }
  return 0;
}

const CliCommand registration("maintain", "maintain", Maintain, AlwaysWrites);

}  // namespace
}  // namespace plumex::cli

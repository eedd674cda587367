// import-mailbox FILE [--account NAME] and open FILE... [--account NAME]: "Beckyファイルの読込み"
// and "メールを開く" through the same application core as the window.
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_core.h"
#include "app/cli/cli_texts.h"
#include "app/cli/terminal_ui_port.h"
#include "text/code_page.h"
#include "shell/app_core.h"

namespace plumex::cli {
namespace {

// Reads the words after the command: --account NAME and the files. False on a bad word.
bool ParseFilesAndAccount(const std::vector<std::string>& args, std::vector<std::filesystem::path>& files,
                          std::string& account) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--account" && i + 1 < args.size()) account = Utf8ToCp932(args[++i]);
    else if (args[i].rfind("--", 0) == 0) return false;
    else files.emplace_back(args[i]);
  }
  return !files.empty();
}

// A started core with the named account (or the saved one) in use; null after a failure, which
// was reported.
std::unique_ptr<AppCore> StartWithAccount(CliContext& context, TerminalUiPort& ui, const std::string& account) {
  auto core = std::make_unique<AppCore>(ui, context.mail_root);
  if (!StartCore(*core, context.err) || !UseAccount(*core, account, context.err)) return nullptr;
  return core;
}

int ImportMailbox(CliContext& context) {
  std::vector<std::filesystem::path> files;
  std::string account;
  if (!ParseFilesAndAccount(context.args, files, account) || files.size() != 1) {
    context.err << "usage: plumex-cli import-mailbox FILE [--account NAME]\n";
    return 1;
  }
  TerminalUiPort ui(context.err, false);
  auto core = StartWithAccount(context, ui, account);
  if (!core) return 1;
  ImportResult result;
  if (!core->Run([&] { result = core->MessageFiles().ImportMailbox(std::filesystem::absolute(files[0])); })) return 1;
  context.out << Cp932ToUtf8(ImportSummaryText(result)) << "\n";
  return 0;
}

int OpenFiles(CliContext& context) {
  std::vector<std::filesystem::path> files;
  std::string account;
  if (!ParseFilesAndAccount(context.args, files, account)) {
    context.err << "usage: plumex-cli open FILE... [--account NAME]\n";
    return 1;
  }
  TerminalUiPort ui(context.err, false);
  auto core = StartWithAccount(context, ui, account);
  if (!core) return 1;
  for (auto& file : files) file = std::filesystem::absolute(file);
  int filed = -1;
  if (!core->Run([&] { filed = core->Receiving().OpenMessageFiles(files); }) || filed < 0) return 1;
  context.out << texts::kCliFiled << filed << texts::kCliCountSuffix;
  return 0;
}

const CliCommand import_registration("import-mailbox", "import-mailbox FILE [--account NAME]", ImportMailbox, AlwaysWrites);
const CliCommand open_registration("open", "open FILE... [--account NAME]", OpenFiles, AlwaysWrites);

}  // namespace
}  // namespace plumex::cli

// addressbook list | show BOOK | add BOOK NAME ADDRESS [REMARK]: the address books through the
// same commands as the address book and register windows.
#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_core.h"
#include "app/cli/terminal_ui_port.h"
#include "text/code_page.h"

namespace plumex::cli {
namespace {

constexpr const char* kUsage = "addressbook list | show BOOK | add BOOK NAME ADDRESS [REMARK]";

int AddressBook(CliContext& context) {
  const auto& args = context.args;
  const std::string verb = args.empty() ? "" : args[0];
  const bool known = (verb == "list" && args.size() == 1) || (verb == "show" && args.size() == 2) ||
                     (verb == "add" && (args.size() == 4 || args.size() == 5));
  if (!known) {
    context.err << "usage: plumex-cli " << kUsage << "\n";
    return 1;
  }
  TerminalUiPort ui(context.err, false);
  AppCore core(ui, context.mail_root);
  if (!StartCore(core, context.err)) return 1;
  AddressBookCommands& books = core.AddressBooks();
  if (verb == "list") {
    for (const auto& book : books.Folder().Books()) context.out << Cp932ToUtf8(book) << '\n';
    return 0;
  }
  if (verb == "show") {
    std::vector<AddressRecord> records;
    if (!core.Run([&] { records = books.SortedRecords(Utf8ToCp932(args[1])); })) return 1;
    for (const auto& r : records)
      context.out << Cp932ToUtf8(r.name) << '\t' << Cp932ToUtf8(r.address) << '\t' << Cp932ToUtf8(r.remark) << '\n';
    return 0;
  }
  const AddressRecord record{Utf8ToCp932(args[2]), Utf8ToCp932(args[3]), args.size() == 5 ? Utf8ToCp932(args[4]) : ""};
  return core.Run([&] { books.AddRecord(Utf8ToCp932(args[1]), record); }) ? 0 : 1;
}

const CliCommand registration("addressbook", kUsage, AddressBook,
                                [](const std::vector<std::string>& args) { return !args.empty() && args[0] == "add"; });

}  // namespace
}  // namespace plumex::cli

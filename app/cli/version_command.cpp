#include <ostream>

#include "app/cli/cli_command.h"
#include "platform/code_page.h"

namespace plumex::cli {
namespace {

int Version(CliContext& context) {
  context.out << "Plumex Ver5.0\n" << "mail root: " << context.mail_root.string() << "\n";
  return 0;
}

const CliCommand registration("version", "version", Version);

}  // namespace
}  // namespace plumex::cli

#include <ostream>

#include "app/cli/cli_command.h"
#include "app/cli/cli_texts.h"
#include "platform/mail_root.h"

namespace plumex::cli {
namespace {

std::string_view SourceOf(MailRootSource source) {
  switch (source) {
    case MailRootSource::Option: return "--root";
    case MailRootSource::Environment: return "PLUMEX_ROOT";
    case MailRootSource::Portable: return texts::kCliRootBesideExecutable;
    case MailRootSource::UserData: return texts::kCliRootUserData;
  }
  return "";
}

int Version(CliContext& context) {
  context.out << "Plumex Ver" << PLUMEX_VERSION << "\n"
              << texts::kCliMailRoot << context.mail_root.string() << " (" << SourceOf(context.mail_root_source)
              << ")\n";
  return 0;
}

const CliCommand registration("version", "version", Version);

}  // namespace
}  // namespace plumex::cli

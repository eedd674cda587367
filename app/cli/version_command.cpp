#include <ostream>

#include "app/cli/cli_command.h"
#include "platform/mail_root.h"

namespace plumex::cli {
namespace {

const char* SourceOf(MailRootSource source) {
  switch (source) {
    case MailRootSource::Option: return "--root";
    case MailRootSource::Environment: return "PLUMEX_ROOT";
    case MailRootSource::Portable: return "beside the executable";
    case MailRootSource::UserData: return "$XDG_DATA_HOME or ~/.local/share";
  }
  return "";
}

int Version(CliContext& context) {
  context.out << "Plumex Ver" << PLUMEX_VERSION << "\n"
              << "mail root: " << context.mail_root.string() << " (" << SourceOf(context.mail_root_source) << ")\n";
  return 0;
}

const CliCommand registration("version", "version", Version);

}  // namespace
}  // namespace plumex::cli

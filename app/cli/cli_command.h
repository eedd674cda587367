// Commands of plumex-cli. Each command file registers itself with a static CliCommand.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/mail_root.h"

namespace plumex::cli {

struct CliContext {
  std::filesystem::path mail_root;
  std::vector<std::string> args;  // the words after the command name
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  MailRootSource mail_root_source = MailRootSource::Option;  // which rule chose mail_root
};

using CliHandler = int (*)(CliContext& context);

struct CliCommand {
  CliCommand(const char* name, const char* usage, CliHandler handler);
};

}  // namespace plumex::cli

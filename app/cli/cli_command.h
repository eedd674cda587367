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

// Whether the command, given these words, writes the store: one that does holds the store's
// lock while it runs (one writer per store); one that only reads never waits for it.
using WritesStore = bool (*)(const std::vector<std::string>& args);
inline bool AlwaysWrites(const std::vector<std::string>&) { return true; }

struct CliCommand {
  CliCommand(const char* name, const char* usage, CliHandler handler, WritesStore writes = nullptr);
};

}  // namespace plumex::cli

// plumex-cli [--root DIR] COMMAND ...: the headless face of the mail client.
// Output is UTF-8; the files of the store stay code page 932.
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/cli_command.h"
#include "app/cli/cli_texts.h"
#include "text/code_page.h"
#include "platform/mail_root.h"
#include "platform/store_lock.h"
#include "shell/shell_texts.h"
#include "port/error_text.h"
#include "protocol/protocol_trace.h"

namespace plumex::cli {
namespace {

struct Entry {
  std::string usage;
  CliHandler handler;
  WritesStore writes;
};

std::map<std::string, Entry>& Registry() {
  static std::map<std::string, Entry> registry;
  return registry;
}

void PrintUsage(std::ostream& out) {
  out << "usage: plumex-cli [--root DIR] COMMAND ...\ncommands:\n";
  for (const auto& [name, entry] : Registry()) out << "  " << entry.usage << "\n";
}

}  // namespace

CliCommand::CliCommand(const char* name, const char* usage, CliHandler handler, WritesStore writes) {
  Registry()[name] = Entry{usage, handler, writes};
}

}  // namespace plumex::cli

int main(int argc, char** argv) {
  using namespace plumex::cli;
  std::optional<std::string> root;
  // --debug, anywhere on the line: the protocol dialogue on standard error, secrets masked.
  std::vector<char*> words(argv, argv + argc);
  const size_t before = words.size();
  std::erase_if(words, [](const char* w) { return std::string_view(w) == "--debug"; });
  if (words.size() != before)
    plumex::SetProtocolDebugSink([](const std::string& line) { std::cerr << "plumex-cli: " << line << "\n"; });
  argc = static_cast<int>(words.size());
  argv = words.data();
  int i = 1;
  while (i < argc) {
    std::string arg = argv[i];
    if (arg == "--root" && i + 1 < argc) {
      root = argv[i + 1];
      i += 2;
    } else if (arg.rfind("--root=", 0) == 0) {
      root = arg.substr(7);
      ++i;
    } else {
      break;
    }
  }
  if (i >= argc) {
    PrintUsage(std::cerr);
    return 1;
  }
  auto it = Registry().find(argv[i]);
  if (it == Registry().end()) {
    std::cerr << "plumex-cli: " << plumex::texts::kCliUnknownCommand << argv[i] << "\n";
    PrintUsage(std::cerr);
    return 1;
  }
  const plumex::MailRootChoice chosen = plumex::ChooseMailRoot(root);
  CliContext context{chosen.root, {argv + i + 1, argv + argc}, std::cin, std::cout, std::cerr, chosen.source};
  try {
    // A second writer waits a few seconds for the first, then gives up naming the store.
    std::optional<plumex::StoreLock> lock;
    if (it->second.writes && it->second.writes(context.args)) {
      lock = plumex::StoreLock::Acquire(context.mail_root);
      if (!lock) {
        std::cerr << "plumex-cli: " << plumex::texts::kStoreBusy << context.mail_root.string() << "\n";
        return 1;
      }
    }
    return it->second.handler(context);
  } catch (const std::exception& e) {
    std::cerr << "plumex-cli: " << plumex::Cp932ToUtf8(plumex::ErrorText(e)) << "\n";
    return 1;
  } catch (...) {
    std::cerr << "plumex-cli: " << plumex::Cp932ToUtf8(plumex::UnknownFailureText()) << "\n";
    return 1;
  }
}

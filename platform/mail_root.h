// Where the mail store lives, in this order: --root DIR; else $PLUMEX_ROOT; else the
// executable's directory when it already holds a store (an "Account.ini": a portable install
// keeps its mail beside the program); else $XDG_DATA_HOME/plumex (~/.local/share/plumex).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace plumex {

std::filesystem::path ExecutableDirectory();

enum class MailRootSource { Option, Environment, Portable, UserData };

struct MailRootChoice {
  std::filesystem::path root;  // absolute
  MailRootSource source = MailRootSource::UserData;
};

// exe_dir: where the executable lies (tests pass their own).
MailRootChoice ChooseMailRoot(const std::optional<std::string>& root_option,
                              const std::filesystem::path& exe_dir = ExecutableDirectory());

std::filesystem::path ResolveMailRoot(const std::optional<std::string>& root_option);

}  // namespace plumex

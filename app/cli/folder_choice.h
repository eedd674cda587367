// The account and folder options of plumex-cli's search commands: which folder goes on screen
// before the command runs, as a click in a folder tree would put it there.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "shell/app_core.h"

namespace plumex::cli {

struct FolderChoice {
  std::optional<std::string> account;  // CP932
  std::optional<std::string> folder;   // store path (CP932, "\" separators, trailing "\")
};

// Takes "--account NAME" and "--folder PATH" (UTF-8; "/" or "\" between folder names) out of
// args; false on a bad option word.
bool TakeFolderChoice(std::vector<std::string>& args, FolderChoice& choice);

// Makes the account the one in use (default: the saved one) and puts the folder on screen
// (default: the account's inbox). False, with the reason on err, when there is no such one.
bool ApplyFolderChoice(AppCore& core, const FolderChoice& choice, std::ostream& err);

}  // namespace plumex::cli

#include "app/cli/folder_choice.h"

#include <ostream>

#include "app/cli/cli_core.h"
#include "app/cli/cli_texts.h"
#include "text/code_page.h"

namespace plumex::cli {

bool TakeFolderChoice(std::vector<std::string>& args, FolderChoice& choice) {
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    if (args[i] == "--account" && has_value) {
      choice.account = Utf8ToCp932(args[++i]);
    } else if (args[i] == "--folder" && has_value) {
      std::string path = args[++i];
      for (char& c : path)
        if (c == '/') c = '\\';  // in UTF-8, a "/" byte is always the character
      while (!path.empty() && path.front() == '\\') path.erase(0, 1);
      if (!path.empty() && path.back() != '\\') path += '\\';
      choice.folder = Utf8ToCp932(path);
    } else if (args[i].rfind("--", 0) == 0) {
      return false;
    } else {
      rest.push_back(args[i]);
    }
  }
  args = rest;
  return true;
}

bool ApplyFolderChoice(AppCore& core, const FolderChoice& choice, std::ostream& err) {
  if (!UseAccount(core, choice.account.value_or(""), err)) return false;
  if (!choice.folder) return true;
  MainShell& shell = core.Shell();
  if (FolderNode* node = shell.ReceiveTree().FindByPath(*choice.folder)) {
    core.Run([&] { core.SelectReceiveNode(node); });
    return true;
  }
  if (FolderNode* node = shell.SendTree().FindByPath(*choice.folder)) {
    core.Run([&] { shell.SelectSendNode(node); });
    return true;
  }
  err << "plumex-cli: " << texts::kCliNoSuchFolder << Cp932ToUtf8(*choice.folder) << "\n";
  return false;
}

}  // namespace plumex::cli

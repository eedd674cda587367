// The words plumex-cli's delete and move share: --account NAME, --folder PATH (as the tree
// shows it below the account, "取引先/見積"), the Message-IDs; all UTF-8 on the command line.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/cli/cli_texts.h"
#include "shell/app_core.h"
#include "store/store_layout.h"
#include "text/code_page.h"

namespace plumex::cli {

// "受信\" + account + "\" + the folders of a PATH given with "/" between them (CP932).
inline std::string FolderBelowAccount(const std::string& account, const std::string& utf8_path) {
  std::string path = AccountFolderPath(account);
  std::string name;
  for (char c : utf8_path + "/") {
    if (c != '/') {
      name += c;
      continue;
    }
    if (!name.empty()) path += Utf8ToCp932(name) + "\\";
    name.clear();
  }
  return path;
}

// The rows of the folder at path (already on screen) with these Message-IDs, in their order;
// nothing, with each id that no row has named on err, when any is missing.
inline std::optional<std::vector<ChosenMessage>> RowsNamed(AppCore& core, const std::string& path,
                                                           const std::vector<std::string>& ids, std::ostream& err) {
  std::vector<std::string> missing;
  std::vector<ChosenMessage> rows = core.Messages().RowsOfFolder(path, ids, missing);
  for (const auto& id : missing) err << "plumex-cli: " << texts::kCliNoSuchMessage << Cp932ToUtf8(id) << "\n";
  if (!missing.empty()) return std::nullopt;
  return rows;
}

}  // namespace plumex::cli

// The words plumex-cli's delete and move share: --account NAME, --folder PATH (as the tree
// shows it below the account, "取引先/見積"), the Message-IDs; all UTF-8 on the command line.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "text/code_page.h"
#include "store/store_layout.h"

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

}  // namespace plumex::cli

// The part of the application's state that receiving reads and changes: the accounts, the
// account in use, the receive folder on screen with its index and the account's fetched-id
// list. A receive run reads from it which account it receives for; it files through indexes
// and lists of its own. The main window's state extends it; plumex-cli and the tests build the
// same application core around it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "store/folder_index.h"
#include "store/received_id_list.h"

namespace plumex {

struct MailboxState {
  std::filesystem::path MailRoot;  // native; store paths are relative to it

  std::vector<std::string> AccountList;  // the lines of Account.ini (CP932)
  size_t AccountPosition = 1;            // 1-based
  std::string CurrentAccount;

  std::string CurrentFolderPath;  // store path of the receive folder on screen, "" when none
  std::string CurrentAccountDir;  // store path "受信\" + account + "\" of ReceivedIds
  FolderIndex CurrentIndex;
  ReceivedIdList ReceivedIds;
};

}  // namespace plumex

// "Beckyファイルの読込み": another client's mailbox file, whose messages end at a line ".", is
// filed message by message through the MIME layer and the filing of received mail into the
// account's folder "becky" (the receive rules applied), so an imported message reads like any
// other. Messages already imported are skipped.
#pragma once

#include <functional>

#include <filesystem>
#include <string>

#include "receive/filing.h"
#include "receive/message_rules.h"

namespace plumex {

struct ImportResult {
  long long messages = 0;  // messages read from the file
  long long filed = 0;     // messages filed
  long long already = 0;   // not filed: imported (or received) before, or twice in the file
  long long rejected = 0;  // not filed: a reject rule took them
  FolderNewCounts folder_new_counts;
};

// "読み込み N件、登録 M件", then the messages not filed and why.
std::string ImportSummaryText(const ImportResult& result);

// "受信\" + account + "\becky\"
std::string ImportFolderPath(const std::string& account);

// Imports the mailbox file into the account's import folder; the folder's index and id list are
// written once, at the end, whatever stopped the import. Throws an AppError when the file
// cannot be read or holds a message larger than a server's may be. `step` is called before
// each message with the bytes read so far and the file's size; false stops the import.
ImportResult ImportMailbox(const std::filesystem::path& mailbox, const std::filesystem::path& mail_root,
                           const std::string& account, const RuleList& rules,
                           const std::function<bool(long long done, long long total)>& step = nullptr);

}  // namespace plumex

#include "receive/mailbox_import.h"

#include <fstream>

#include "platform/app_error.h"
#include "platform/clock.h"
#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "protocol/parsed_message.h"
#include "protocol/protocol_texts.h"
#include "receive/receive_texts.h"
#include "store/folder_index.h"
#include "store/received_id_list.h"
#include "store/store_layout.h"

namespace plumex {

std::string ImportSummaryText(const ImportResult& result) {
  std::string text = Sjis(texts::kImportRead) + std::to_string(result.messages) + Sjis(texts::kImportFiled) +
                     std::to_string(result.filed) + Sjis(texts::kImportCountSuffix);
  if (result.already > 0)
    text += Sjis(texts::kImportAlready) + std::to_string(result.already) + Sjis(texts::kImportCountSuffix);
  if (result.rejected > 0)
    text += Sjis(texts::kImportRejected) + std::to_string(result.rejected) + Sjis(texts::kImportCountSuffix);
  return text;
}

std::string ImportFolderPath(const std::string& account) { return AccountFolderPath(account) + "becky\\"; }

ImportResult ImportMailbox(const std::filesystem::path& mailbox, const std::filesystem::path& mail_root,
                           const std::string& account, const RuleList& rules,
                           const std::function<bool(long long done, long long total)>& step) {
  std::ifstream in(mailbox, std::ios::binary);
  if (!in) throw AppError(ErrorKind::LocalFile, Sjis(texts::kImportUnreadable) + DisplayPath(mailbox));
  std::error_code size_error;
  const auto total = static_cast<long long>(std::filesystem::file_size(mailbox, size_error));
  const std::string folder = ImportFolderPath(account);
  const auto dir = ToNativePath(mail_root, folder);
  EnsureDirectory(dir);
  FolderIndex index = FolderIndex::Open(dir / std::string(kReceiveIndexName));
  ReceivedIdList ids = ReceivedIdList::Open(dir / std::string(kReceivedIdListName));

  ImportResult result;
  FilingContext filing;
  filing.mail_root = mail_root;
  filing.current_folder_path = folder;
  filing.current_account = account;
  filing.current_index = &index;
  filing.received_ids = &ids;
  filing.rules = &rules;
  filing.folder_new_counts = &result.folder_new_counts;
  filing.defer_index_write = true;  // one index write for the whole file, not one per message
  filing.reply_to_sender = true;
  filing.undated_time = NowSeconds();

  // The index and id list keep what was filed even when a message ends the import.
  auto save = [&] {
    FinishDeferredIndex(filing);
    ids.Save(dir / std::string(kReceivedIdListName));
  };
  std::string text;
  auto file_message = [&] {
    if (text.empty()) return;
    ++result.messages;
    ParsedMessage message;
    message.Parse(text);
    if (ids.Contains(FiledMessageId(message))) ++result.already;
    else if (FileFetchedMessage(message, -1, filing) == 1) ++result.filed;
    else ++result.rejected;
    text.clear();
  };
  long long done = 0;
  bool stopped = false;
  try {
    for (std::string line; std::getline(in, line);) {
      done += static_cast<long long>(line.size()) + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line == ".") {
        file_message();
        if (step && !step(done, size_error ? 0 : total)) {
          stopped = true;
          break;
        }
        continue;
      }
      text += line;
      text += "\r\n";
      if (static_cast<long long>(text.size()) > kMaxMessageBytes)
        throw AppError(ErrorKind::LocalFile, FileTooLargeText(mailbox, kMaxMessageBytes));
    }
    if (!stopped) file_message();  // a last message without its closing "."
  } catch (...) {
    save();
    throw;
  }
  save();
  return result;
}

}  // namespace plumex

#include "receive/forward_queue.h"

#include <algorithm>

#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "port/error_text.h"
#include "receive/receive_texts.h"
#include "settings/forward_sent_list.h"
#include "store/folder_index.h"
#include "store/message_file_key.h"
#include "store/sorted_line_list.h"
#include "store/store_layout.h"
#include "store/store_texts.h"
#include "store/stored_message.h"

namespace plumex {
namespace {

std::vector<std::string> AttachmentPaths(const std::filesystem::path& dir) {
  std::vector<std::string> paths;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
    if (entry.is_regular_file(ec)) paths.push_back(PathText(entry.path()));
  std::sort(paths.begin(), paths.end());
  return paths;
}

}  // namespace

ForwardOutcome ForwardQueued(std::vector<std::string>& queue, const ForwardPlace& place, const ForwardSender& send,
                             const std::function<bool()>& stop) {
  ForwardOutcome outcome;
  std::vector<std::string> forwarded = LoadForwardSentList(place.mail_root);
  const auto inbox = ToNativePath(place.mail_root, AccountFolderPath(place.account));
  const FolderIndex index = FolderIndex::LoadIfExists(inbox / std::string(kReceiveIndexName));
  std::vector<std::string> still_owed;
  for (size_t i = 0; i < queue.size(); ++i) {
    const std::string& id = queue[i];
    if (stop && stop()) {
      still_owed.insert(still_owed.end(), queue.begin() + static_cast<long>(i), queue.end());
      break;
    }
    if (std::find(forwarded.begin(), forwarded.end(), id) != forwarded.end()) continue;
    if (!FindRow(index, id)) continue;  // moved or deleted since: nothing to send
    const std::string key = FileKeyInFolder(inbox, id);
    std::vector<std::string> lines;
    ReadLines(inbox / NativeName(key + ".txt"), lines);
    const auto separator = std::find(lines.begin(), lines.end(), std::string(kStoredMessageSeparator));
    if (separator == lines.end()) {
      outcome.failures.push_back({id, "", AppError(ErrorKind::BadInput, Sjis(texts::kForwardBadHeader))});
      continue;
    }
    ForwardMessage message;
    message.id = id;
    message.headers.assign(lines.begin(), separator);
    message.attachments = AttachmentPaths(inbox / std::string(kAttachmentDirName) / NativeName(key));
    message.body = lines;
    try {
      send(message);
    } catch (const std::exception& e) {
      outcome.failures.push_back({id, ParseStoredMessage(lines).ValueOr(Sjis(texts::kKeySubject)), AsAppError(e)});
      still_owed.push_back(id);
      continue;
    }
    // Recorded only now that the server has it: a failed forward is never marked as sent.
    forwarded.push_back(id);
    SaveForwardSentList(place.mail_root, forwarded);
    ++outcome.sent;
  }
  queue = std::move(still_owed);
  return outcome;
}

OwedForwards LoadOwedForwards(const std::filesystem::path& mail_root) {
  OwedForwards owed;
  std::vector<std::string> lines;
  if (!ReadLines(mail_root / kOwedForwardsFile, lines)) return owed;
  for (const std::string& line : lines) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos || tab == 0 || tab + 1 == line.size()) continue;
    auto& ids = owed[line.substr(0, tab)];
    std::string id = line.substr(tab + 1);
    if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(std::move(id));
  }
  return owed;
}

void SaveOwedForwards(const std::filesystem::path& mail_root, const OwedForwards& owed) {
  std::vector<std::string> lines;
  for (const auto& [account, ids] : owed)
    for (const std::string& id : ids) lines.push_back(account + "\t" + id);
  if (lines.empty()) {
    RemoveRecursively(mail_root / kOwedForwardsFile);
    return;
  }
  WriteLines(mail_root / kOwedForwardsFile, lines);
}

}  // namespace plumex

#include "send/draft_store.h"

#include <system_error>

#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "store/file_key.h"
#include "store/folder_index.h"
#include "store/generated_id.h"
#include "store/index_row.h"
#include "store/store_layout.h"
#include "store/store_texts.h"
#include "store/stored_message.h"

namespace plumex {
namespace {

std::filesystem::path AttachmentListFile(const std::filesystem::path& mail_root, const std::string& key) {
  return ToNativePath(mail_root, DraftFolderPath()) / std::string(kAttachmentDirName) / NativeName(key + ".ini");
}

std::string FileNameOf(const std::string& path) {
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

// A key no draft has yet: the save time, and a number when a draft of that second exists.
std::string NewKey(const std::filesystem::path& folder, const FolderIndex& index, const LocalDateTime& now) {
  const std::string stamp = FormatSentDate(now);
  for (int n = 1;; ++n) {
    const std::string id = GeneratedId(stamp + (n == 1 ? std::string() : "-" + std::to_string(n)));
    const std::string key = MakeFileKey(id);
    if (!FindRow(index, key) && !FileExists(folder / NativeName(key + ".txt"))) return key;
  }
}

}  // namespace

std::string SaveDraft(const std::filesystem::path& mail_root, const Draft& draft,
                      const std::optional<std::string>& key_to_replace, const LocalDateTime& now) {
  const std::filesystem::path folder = ToNativePath(mail_root, DraftFolderPath());
  EnsureDirectory(folder);
  const std::filesystem::path index_file = folder / std::string(kDraftIndexName);
  FolderIndex index = FolderIndex::Open(index_file);

  std::string key;
  if (key_to_replace) {
    if (auto at = FindRow(index, *key_to_replace)) {
      index.Rows().RemoveAt(*at);
      key = *key_to_replace;
    }
  }
  if (key.empty()) key = NewKey(folder, index, now);

  long long attached_bytes = 0;
  const std::filesystem::path list_file = AttachmentListFile(mail_root, key);
  if (!draft.attachments.empty()) {
    EnsureDirectory(list_file.parent_path());
    WriteLines(list_file, draft.attachments);
    for (const std::string& entry : draft.attachments) {
      std::error_code ec;
      const auto size = std::filesystem::file_size(PathFromText(entry), ec);
      if (!ec) attached_bytes += static_cast<long long>(size);
    }
  } else {
    // An old list would bring back attachments removed in the window.
    std::error_code ignored;
    std::filesystem::remove(list_file, ignored);
  }

  const std::string date = FormatSentDate(now);
  StoredMessage message;
  auto& h = message.header_lines;
  h.push_back("ReplyTo:" + draft.sender);
  h.push_back("CCList:" + draft.cc);
  h.push_back("BccList:" + draft.bcc);
  h.push_back("Message-ID:" + key);
  h.push_back("References:" + draft.references);
  h.push_back(Sjis(texts::kLineTo) + draft.to);
  h.push_back(Sjis(texts::kLineSubject) + draft.subject);
  h.push_back(Sjis(texts::kLineDate) + date);
  if (draft.merge) h.push_back(Sjis(texts::kLineMergeFile) + draft.merge_file);
  if (!draft.attachments.empty()) {
    std::string names;
    for (const std::string& entry : draft.attachments) names += FileNameOf(entry) + ";";
    h.push_back(Sjis(texts::kLineAttachments) + names);
  }
  if (!draft.temp_reply_to.empty()) h.push_back(std::string(kDraftTempReplyToKey) + ":" + draft.temp_reply_to);
  if (draft.read_receipt) h.push_back(std::string(kDraftReadReceiptKey) + ":-1");
  if (!draft.in_reply_to.empty()) h.push_back("In-Reply-To:" + draft.in_reply_to);
  message.body_lines = draft.body;
  const std::string text = JoinLines(message.ToLines());
  WriteFileAtomic(folder / NativeName(key + ".txt"), text);

  const IndexRow row{key,
                     RowField(draft.subject),
                     RowField(draft.to),
                     date,
                     std::to_string(static_cast<long long>(text.size()) + attached_bytes),
                     draft.attachments.empty() ? "2" : "1",
                     "2",
                     draft.priority ? "1" : "2",
                     std::nullopt};
  index.Add(row.ToLine());
  index.Save(index_file);
  return key;
}

std::vector<std::string> DraftAttachments(const std::filesystem::path& mail_root, const std::string& key) {
  std::vector<std::string> entries;
  ReadLines(AttachmentListFile(mail_root, key), entries);
  return entries;
}

}  // namespace plumex

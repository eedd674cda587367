#include "search/folder_threads.h"

#include <unordered_map>

#include "platform/store_path.h"
#include "search/text_index.h"
#include "store/index_row.h"
#include "store/message_file_key.h"
#include "store/stored_message.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

// References of each Message-ID of the folder from the index; false without a usable index.
bool ReferencesFromIndex(const std::filesystem::path& mail_root, const std::string& folder, UiPort& ui,
                         std::unordered_map<std::string, MessageReferences>& out) {
  if (!TextIndex::Covers(folder)) return false;
  try {
    auto index = TextIndex::OpenExisting(mail_root);
    const bool no_stop = false;
    if (!index || !index->Refresh(ui, no_stop)) return false;
    for (auto& [id, refs] : index->ReferencesOf(folder)) out.emplace(std::move(id), std::move(refs));
    return true;
  } catch (const IndexDamaged&) {
    TextIndex::Discard(mail_root);
    return false;
  }
}

MessageReferences ReferencesFromFile(const std::filesystem::path& dir, const std::string& id) {
  MessageReferences refs;
  auto stored = ReadStoredMessage(dir / NativeName(FileKeyInFolder(dir, id) + ".txt"));
  if (!stored) return refs;
  const StoredMessage& m = *stored;
  refs.references = m.ValueOr("References");
  refs.in_reply_to = m.ValueOr("In-Reply-To");
  return refs;
}

}  // namespace

FolderThreads ThreadFolder(const std::filesystem::path& mail_root, const std::string& folder,
                           const std::vector<std::string>& rows, UiPort& ui, bool newest_first) {
  FolderThreads result;
  std::unordered_map<std::string, MessageReferences> indexed;
  const bool from_index = ReferencesFromIndex(mail_root, folder, ui, indexed);
  const auto dir = ToNativePath(mail_root, folder);
  result.messages.reserve(rows.size());
  for (const std::string& row : rows) {
    ThreadMessage m;
    m.message_id = std::string(FieldOf(row, IndexRow::kMessageId));
    m.subject = std::string(FieldOf(row, IndexRow::kSubject));
    m.date = std::string(FieldOf(row, IndexRow::kDate));
    MessageReferences refs;
    if (from_index) {
      if (auto it = indexed.find(m.message_id); it != indexed.end()) refs = it->second;
    } else {
      refs = ReferencesFromFile(dir, m.message_id);
    }
    m.references = std::move(refs.references);
    m.in_reply_to = std::move(refs.in_reply_to);
    result.messages.push_back(std::move(m));
  }
  result.lines = BuildThreads(result.messages, newest_first);
  return result;
}

}  // namespace plumex

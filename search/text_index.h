// The full-text index of a mail store: every message file (".txt", none of an "Attachment"
// directory) of the receive tree ("受信", every account) and of the send tree ("送信"), in a
// SQLite FTS5 table with the trigram tokenizer. It lives in the user's cache, one per store:
// $XDG_CACHE_HOME/plumex/index/<hash of the store's root path>/text.db (0700 folders, 0600
// files). The index is never a second truth: it proposes the files that may hold a key, and
// the extraction's matcher reads each of them and decides.
//
// Schema:
//   meta(key, value)       "root" (the store's path), "state" ("ready", or "building" while a
//                          build has not reached its end), "stale" (rows left in body)
//   folder(id, dir, store, mtime)
//                          dir: native path below the root, "/"-joined, with a trailing "/";
//                          store: the CP932 store path with a trailing "\"; mtime: the
//                          directory's modification time (ns) when it was last listed, -1 when
//                          it is to be listed again
//   message(id, folder, name, ino, message_id, refs, in_reply_to)
//                          one per message file: its native name, inode, and the pseudo-header
//                          values "Message-ID:", "References:", "In-Reply-To:" (CP932), which
//                          the conversations of a folder read from here instead of every file
//   body(text)             FTS5, trigram, contentless, detail=none; rowid = message.id. A row
//                          whose message went away stays (contentless rows cannot be taken out
//                          without their text) and is counted in "stale": it only proposes a
//                          candidate that no message row names. A rebuild sheds them.
//
// The index keeps level with the store by itself: before it answers, every folder directory
// whose modification time moved is listed again (a file that moved between folders keeps its
// inode and only changes its row), so filing, moving, deleting, importing and repairing, by
// this process or any other, are seen without hooks in the code that does them.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/app_error.h"
#include "port/ui_port.h"
#include "search/walk_pacer.h"

struct sqlite3;

namespace plumex {

// The index file is not a sound index (SQLite finds it corrupt or no database at all): the
// caller deletes it (DiscardDamaged) and scans or builds anew.
class IndexDamaged : public AppError {
 public:
  explicit IndexDamaged(const std::string& text) : AppError(ErrorKind::LocalFile, text) {}
};

struct IndexCandidate {
  std::filesystem::path file;  // native path
  std::string folder;          // store path of its folder, trailing "\"
  std::vector<std::string> order;  // native path components below the root: the walk's order
};

struct IndexStatus {
  std::filesystem::path file;
  bool exists = false;
  bool ready = false;  // complete and not damaged
  long long messages = 0;
  long long folders = 0;
  long long stale = 0;
  std::uintmax_t bytes = 0;  // of the database with its journal
};

// The references of one message of a folder as the index keeps them.
struct MessageReferences {
  std::string references;
  std::string in_reply_to;
};

class TextIndex {
 public:
  ~TextIndex();
  TextIndex(const TextIndex&) = delete;
  TextIndex& operator=(const TextIndex&) = delete;

  // $XDG_CACHE_HOME (else ~/.cache) / plumex/index/<hash>/text.db for the store at mail_root.
  static std::filesystem::path FileFor(const std::filesystem::path& mail_root);

  // The index of the store when its file is there and sound; nothing when it is missing. A
  // damaged index (a file SQLite cannot read, or a build that never reached its end and fails
  // the integrity check) is deleted and nothing returned, so the caller builds it anew.
  static std::unique_ptr<TextIndex> OpenExisting(const std::filesystem::path& mail_root);

  // The index of the store, built (or its build continued) when missing, damaged or
  // unfinished; progress shows through ui and a stop ends it early (nothing then: the caller
  // scans). Throws AppError when the cache cannot be written.
  static std::unique_ptr<TextIndex> OpenOrBuild(const std::filesystem::path& mail_root, UiPort& ui,
                                                const bool& stop_requested,
                                                std::chrono::milliseconds pump_interval = kPumpInterval);

  // Throws the index away and builds it from every message file.
  static std::unique_ptr<TextIndex> Rebuild(const std::filesystem::path& mail_root, UiPort& ui,
                                            const bool& stop_requested,
                                            std::chrono::milliseconds pump_interval = kPumpInterval);

  static IndexStatus Status(const std::filesystem::path& mail_root);

  // Deletes the index files of the store.
  static void Discard(const std::filesystem::path& mail_root);

  // Lists again the folders whose directory changed and brings their rows level with them.
  // False when a stop ended it early (what was done is kept; the rest is done next time).
  bool Refresh(UiPort& ui, const bool& stop_requested, std::chrono::milliseconds pump_interval = kPumpInterval);

  // Whether the index covers the folder (a store path): the receive and send trees.
  static bool Covers(const std::string& folder);

  // The message files under folder (store path, trailing "\") that may hold key, in the order
  // the extraction walk visits them; nothing when the index cannot serve the key (see
  // KeyTrigrams): the caller scans.
  std::optional<std::vector<IndexCandidate>> Candidates(const std::string& folder, const std::string& key);

  // Message-ID -> references of the messages of one folder (not its subfolders).
  std::vector<std::pair<std::string, MessageReferences>> ReferencesOf(const std::string& folder);

 private:
  TextIndex(sqlite3* db, std::filesystem::path root);
  static std::unique_ptr<TextIndex> Create(const std::filesystem::path& mail_root, const std::filesystem::path& file);
  bool Update(UiPort& ui, const bool& stop_requested, std::chrono::milliseconds pump_interval);

  sqlite3* db_;
  std::filesystem::path root_;
};

}  // namespace plumex

// The drafts folder "一時保存\": each draft a stored message "一時保存\" + key + ".txt" with its
// row in "temp.ini", and its attachment entries in "一時保存\Attachment\" + key + ".ini" (the
// files themselves are not copied). Keys are FileKeys of "<yyyy/mm/dd_hhnnss...tomarind_Vantory>".
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace plumex {

struct Draft {
  std::string sender;  // the sender box's text, stored as "ReplyTo"
  std::string to, cc, bcc, subject;
  std::vector<std::string> body;
  bool merge = false;
  std::string merge_file;  // the sheet window's file label (a path, or "指定されていません！")
  std::vector<std::string> attachments;
  bool priority = false;
  // Restored on reopening: the reply address changed for this mail and "開封確認".
  std::string temp_reply_to;
  bool read_receipt = false;
  // The thread of a reply or forward being written: kept in the draft's "References" (and, for
  // a reply, "In-Reply-To") lines, so that reopening it restores its own thread only.
  std::string references, in_reply_to;
};

// Saves a draft and returns its key. Given the key of an existing draft it is saved over that
// one (its row and files); otherwise it gets a new key, distinct from every other draft's
// even when saved in the same second. A draft without attachments has no attachment list file.
std::string SaveDraft(const std::filesystem::path& mail_root, const Draft& draft,
                      const std::optional<std::string>& key_to_replace, const LocalDateTime& now);

// The attachment entries saved with a draft; empty when it has none.
std::vector<std::string> DraftAttachments(const std::filesystem::path& mail_root, const std::string& key);

// Keys of the lines a draft adds to what the compose window's fields give.
inline constexpr const char* kDraftTempReplyToKey = "TempReplyTo";
inline constexpr const char* kDraftReadReceiptKey = "ReadReceipt";

}  // namespace plumex

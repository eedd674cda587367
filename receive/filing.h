// Filing of one fetched or opened message: its message file, attachment files and index row,
// in the folder the rules choose, and its id in the account's fetched list.
#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "receive/message_rules.h"
#include "store/folder_index.h"
#include "store/received_id_list.h"

namespace plumex {

class MessagePart;
class ParsedMessage;
class Pop3Client;

// The host name of the Gmail POP server: its raw messages are re-read before filing.
inline constexpr const char* kGmailPopHost = "pop.gmail.com";

// Folders other than the one on screen that received mail in this run, with their counts,
// in the order they were first met.
struct FolderNewCounts {
  std::vector<std::pair<std::string, long long>> entries;  // store path, count
  void Add(const std::string& folder_path);
};

struct FilingContext {
  std::filesystem::path mail_root;
  std::string current_folder_path;  // the receive folder on screen (store path)
  std::string current_account;
  FolderIndex* current_index = nullptr;
  ReceivedIdList* received_ids = nullptr;
  const RuleList* rules = nullptr;
  bool delete_after_receive = false;
  bool forwarding = false;                          // the new-mail check forwards all mail
  std::vector<std::string>* forward_queue = nullptr;  // ids to forward
  FolderNewCounts* folder_new_counts = nullptr;
  Pop3Client* pop3 = nullptr;  // null for a message opened from a file
  // Sizes of the server's messages by number (one LIST for the whole run); a number it lacks
  // is asked for with LIST n.
  const std::vector<long long>* sizes = nullptr;
  // A row placed in the folder on screen: the message list shows it at the top.
  std::function<void(const std::string& row)> row_added;
  // True during a receive run: the sorted index is written once at the end of the run
  // (FinishDeferredIndex), so filing does not cost more in a big folder; the row of a message
  // that will be deleted on the server is appended to the file at once. False: the whole
  // index is written after every message.
  bool defer_index_write = false;
  // Imported mail: a message without Reply-To is answered to its sender, and one whose date
  // cannot be read gets this time (0: no date).
  bool reply_to_sender = false;
  std::time_t undated_time = 0;
  // The authserv-id whose Authentication-Results are believed (empty: none, as for a file).
  std::string trusted_authserv_id;
  // Pieces of split messages staged in this run (their ids were added to received_ids).
  int staged_pieces = 0;
};

// The id a fetched message is filed (and its fetch recorded) under: its Message-ID; for one
// without, an id made from the digest of its bytes, the same at every fetch and different for
// any two messages that differ, so each is filed, and announced by the new-mail check, once.
std::string FiledMessageId(const ParsedMessage& message);

// FileFetchedMessage: message n of the server (its header already in `message`), or n = -1
// for a message parsed from a file. Returns 1 when the message was filed, 0 when it was
// already fetched or rejected by a rule. Protocol errors pass to the caller; a part that
// cannot be decoded is filed as its raw text instead of ending the run.
int FileFetchedMessage(ParsedMessage& message, int n, FilingContext& context);

// FileMessageFromFile: a message parsed from a file ("メールを開く", reassembly): filed as from
// no server (its size is the length of its body text), the rules applied.
int FileMessageFromFile(ParsedMessage& message, FilingContext& context);

// The name an attachment part is saved under (before UniqueName): its file name decoded to
// code page 932 and made a file name; the message date when it names none.
std::string AttachmentName(const MessagePart& part, const std::string& charset, const std::string& date);

// The names already given to a message's attachments, and for each name the number its next
// duplicate tries first, so that many attachments of one name cost no more than distinct ones.
struct UsedNames {
  std::set<std::string> names;
  std::map<std::string, int> next_number;
};
// Two attachments of one message never share a file: the later one gets "(2)", "(3)"...
std::string UniqueName(const std::string& name, UsedNames& used);

// Writes the sorted index of the folder on screen after a run of deferred writes.
void FinishDeferredIndex(FilingContext& context);

// GmailRefetch: rebuilds `message` from the raw lines of message n through "受信\Gmail\temp.txt".
void GmailRefetch(ParsedMessage& message, int n, FilingContext& context);

}  // namespace plumex

// ReceiveMail: fetches the new mail of the account in use and files it, message by message,
// letting the window breathe between messages and stopping when asked.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "receive/filing.h"
#include "receive/message_rules.h"
#include "store/folder_index.h"
#include "store/received_id_list.h"

namespace plumex {

class Pop3Client;

// What a receive run needs from the windows.
class ReceiveHooks {
 public:
  virtual ~ReceiveHooks() = default;
  virtual void Pump() = 0;
  // position of maximum; maximum 0 hides the progress bar.
  virtual void SetProgress(int position, int maximum) = 0;
  virtual void SetModeLabel(const std::string& text, std::uint32_t rgb) = 0;
  virtual void SetStatusText(int panel, const std::string& text) = 0;
  virtual void ShowMessage(const std::string& text) = 0;
  // The certificate question (warning, Yes/No); true for Yes.
  virtual bool AskTrustCertificate(const std::string& question) = 0;
  // The folder on screen was reloaded into current_index: list it again.
  virtual void FolderReloaded() = 0;
  // The account's inbox became the folder on screen: select its node in the receive tree.
  virtual void SelectAccountNode(const std::string& account) = 0;
  // A row was placed in the folder on screen: show it at the top of the list.
  virtual void RowFiled(const std::string& row) = 0;
  // End of a run that filed mail: sort newest first, refresh the selected node's label, and
  // add the counts of the other folders to their labels (AddToFolderLabel).
  virtual void NewMailFiled(const FolderNewCounts& counts) = 0;
};

// The main window's state that a receive run reads and changes.
struct ReceiveSession {
  std::filesystem::path mail_root;
  const std::vector<std::string>* account_list = nullptr;
  size_t* account_position = nullptr;
  std::string* current_account = nullptr;
  std::string* current_folder_path = nullptr;  // store path of the folder on screen
  std::string* current_account_dir = nullptr;  // store path of the account of received_ids
  FolderIndex* current_index = nullptr;
  ReceivedIdList* received_ids = nullptr;
  bool* stop_requested = nullptr;
  const RuleList* rules = nullptr;
  Pop3Client* pop3 = nullptr;
  // SelectiveReceive: the server numbers to fetch, ascending; empty for a normal run.
  std::vector<int> selected_numbers;
  bool forwarding = false;
  std::vector<std::string>* forward_queue = nullptr;
};

struct ReceiveResult {
  bool connected = false;
  long long new_count = 0;
  std::string error;  // the error that ended the loop, if any (already handled)
};

ReceiveResult ReceiveMail(ReceiveSession& session, ReceiveHooks& hooks);

// "新着メールは" + count + "件です。"
std::string NewMailStatusText(long long count);

inline constexpr std::uint32_t kModeGreen = 0x00FF00;
inline constexpr std::uint32_t kModeAqua = 0x00FFFF;

}  // namespace plumex

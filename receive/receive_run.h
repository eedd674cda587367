// ReceiveMail: fetches the new mail of the account in use and files it, message by message,
// letting the window breathe between messages and stopping when asked.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/app_error.h"
#include "port/ui_port.h"
#include "receive/filing.h"
#include "receive/mailbox_state.h"
#include "receive/message_rules.h"
#include "settings/account_list.h"

namespace plumex {

class Pop3Client;

// A run receives for the account in use when it starts; it opens that account's inbox index
// and fetched-id list itself and writes exactly those, whatever the screen shows meanwhile.
struct ReceiveSession {
  MailboxState& state;
  const RuleList& rules;
  Pop3Client& pop3;
  // SelectiveReceive: the server numbers to fetch, ascending; empty for a normal run.
  std::vector<int> selected_numbers;
  // The new-mail check's forwarding mode: every message filed is queued to be forwarded.
  bool forwarding = false;
  std::vector<std::string>* forward_queue = nullptr;
  // Called after each message that joined forward_queue, so that it is kept on disk at once.
  std::function<void()> forward_queued;
  // This run's own stop ("中止", "切断", Escape while it runs); none: it is never stopped.
  std::function<bool()> stop_requested;
};

struct ReceiveResult {
  bool connected = false;
  bool stopped = false;         // the user stopped the run
  bool folder_switched = false;  // the account's inbox became the folder on screen
  long long new_count = 0;      // messages filed; they stay filed whatever ended the run
  std::optional<AppError> error;  // what ended the run early (already shown for a connect failure)
  FolderNewCounts folder_new_counts;  // other folders that received mail
  // Messages that could not be filed for a reason of their own, left on the server; one text
  // each (shown by the run in one warning).
  std::vector<std::string> skipped;
};

// Connects (the certificate question through ui), fetches and files; what was filed before a
// failure stays filed and is never deleted on the server before it is on disk.
ReceiveResult ReceiveMail(ReceiveSession& session, UiPort& ui);

// Sets the connection up from the account in use (AccountPosition follows it) and returns its record.
AccountRecord ConfigurePop3(MailboxState& state, Pop3Client& pop3);
// Sets the connection up for one account's POP3 server (Pop3SettingsOf).
void ConfigurePop3For(const AccountRecord& record, Pop3Client& pop3);
void ConfigurePop3For(const Pop3Settings& settings, Pop3Client& pop3);

// A failed connect as the user reads it: "接続できませんでした。" and what happened.
std::string ConnectFailureText(const AppError& error);

// "新着メールは" + count + "件です。"
std::string NewMailStatusText(long long count);

// What the user reads when a run that had connected ended early: the count filed and why.
std::string ReceiveCutShortText(const ReceiveResult& result);

}  // namespace plumex

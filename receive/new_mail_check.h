// The count-only side of the new-mail check: every account's server is polled without
// downloading or filing anything, and each message that was never fetched is announced once.
// After an account's first poll only the messages whose UIDL is new have their header read,
// so a poll that finds nothing new costs one UIDL and no TOP.
#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "port/ui_port.h"
#include "receive/mailbox_state.h"
#include "settings/account_list.h"

namespace plumex {

class Pop3Client;

// The time the check stamps its rows with; tests put a clock of their own in.
using CheckClock = std::function<std::time_t()>;

// One row of the check window (texts code page 932).
struct NewMailRow {
  std::string account;
  std::string subject;
  std::string sender;
  std::string checked_at;  // the time of the check, "yyyy/mm/dd_hh:nn:ss"
  std::string size;        // bytes, from LIST; "" when the server would not say
  std::string id;          // the id the message is (or will be) filed under
};

// Remembered per account file of the command-line tool: UIDL TAB id, one checked message a line.
inline constexpr const char* kCheckedMessagesFileName = "NewCheckUidl.ini";

class NewMailCheck {
 public:
  explicit NewMailCheck(CheckClock clock = nullptr);

  void SetClock(CheckClock clock);
  std::time_t Now() const;

  // CheckAccount: the count-only check of one account, the connection already configured
  // for it. An account that cannot be reached is skipped without a word (nothing returned);
  // an error while reading headers ends this account's check with what was found so far. A
  // missing "AlreadMsgID.ini" counts as an empty one. The connection is closed at the end.
  std::vector<NewMailRow> CheckAccount(const MailboxState& state, const AccountRecord& account, Pop3Client& pop3,
                                       UiPort& ui);

  // The count-only tick: every account in file order (only the one named `only`, when given),
  // until the stop of the tick's run is set. What each account's check read is kept in its folder
  // (CheckedMessagesFile), read before its first check and written after each, so the window
  // and the command-line tool announce a message once, whichever of them looked.
  std::vector<NewMailRow> CheckAllAccounts(const MailboxState& state, Pop3Client& pop3, UiPort& ui,
                                           const std::string* only = nullptr);
  // The accounts the last CheckAllAccounts could not check (not reached, or the server failed
  // after log-in), each with why (CP932).
  const std::vector<std::pair<std::string, std::string>>& Unreachable() const { return unreachable_; }
  // The same as one text, a line per account; empty when every account was checked.
  std::string FailureText() const;

  // "終了": what was announced is forgotten, the kept lists of checked messages included, so
  // a restarted check announces again what is still waiting on the servers.
  void Forget();
  // The stop of the run that polls next ("中止" of that run); none: it is never stopped.
  void SetStopCheck(std::function<bool()> stop_requested) { stop_requested_ = std::move(stop_requested); }

  // What was checked, per account, kept between runs.
  void LoadChecked(const std::string& account, const std::filesystem::path& file);
  void SaveChecked(const std::string& account, const std::filesystem::path& file) const;

 private:
  bool Stopped() const { return stop_requested_ && stop_requested_(); }

  CheckClock clock_;
  std::function<bool()> stop_requested_;
  std::vector<std::pair<std::string, std::string>> unreachable_;
  std::set<std::string> notified_;  // ids announced (NotifiedIds), any account
  // Per account: UIDL -> id of each message whose header was read, as long as it is on the server.
  std::map<std::string, std::map<std::string, std::string>> checked_;
  std::filesystem::path mail_root_;  // where the kept lists are, once a check ran
  std::set<std::string> loaded_;     // accounts whose kept list was read
};

// The file of an account's checked messages (native path).
std::filesystem::path CheckedMessagesFile(const std::filesystem::path& mail_root, const std::string& account);

}  // namespace plumex

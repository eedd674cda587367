#include "receive/new_mail_check.h"

#include "platform/clock.h"
#include "platform/directories.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "protocol/parsed_message.h"
#include "protocol/pop3_client.h"
#include "port/error_text.h"
#include "receive/filing.h"
#include "receive/receive_run.h"
#include "receive/server_mailbox.h"
#include "store/generated_id.h"
#include "store/received_id_list.h"
#include "store/sorted_line_list.h"
#include "store/store_layout.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

// The ids already fetched for the account; a missing file is an empty list (nothing is written:
// the check files nothing).
SortedLineList FetchedIds(const MailboxState& state, const std::string& account) {
  std::vector<std::string> lines;
  ReadLines(ToNativePath(state.MailRoot, AccountFolderPath(account)) / std::string(kReceivedIdListName), lines);
  return SortedLineList(std::move(lines));
}

// Runs of consecutive numbers, so each run's headers can go out in one pipelined batch.
std::vector<std::pair<int, int>> Runs(const std::vector<int>& numbers) {
  std::vector<std::pair<int, int>> runs;
  for (int n : numbers) {
    if (!runs.empty() && runs.back().second + 1 == n) runs.back().second = n;
    else runs.emplace_back(n, n);
  }
  return runs;
}

}  // namespace

NewMailCheck::NewMailCheck(CheckClock clock) { SetClock(std::move(clock)); }

void NewMailCheck::SetClock(CheckClock clock) { clock_ = clock ? std::move(clock) : CheckClock(NowSeconds); }

std::time_t NewMailCheck::Now() const { return clock_(); }

std::vector<NewMailRow> NewMailCheck::CheckAccount(const MailboxState& state, const AccountRecord& account,
                                                   Pop3Client& pop3, UiPort& ui) {
  std::vector<NewMailRow> rows;
  if (!pop3.IsConnected()) {
    try {
      pop3.Connect();
    } catch (const std::exception& e) {
      // Unreachable: told, and the next account is polled.
      if (!Stopped()) unreachable_.emplace_back(account.name, ConnectFailureText(AsAppError(e)));
      return rows;
    }
  }
  const std::string checked_at = FormatReceivedDate(ToLocal(Now()));
  const SortedLineList known = FetchedIds(state, account.name);
  std::map<std::string, std::string>& checked = checked_[account.name];
  std::map<std::string, std::string> on_server;  // what stays remembered: UIDLs still there
  bool listed = false;
  try {
    const int count = pop3.Stat();
    std::vector<std::string> uidls;
    if (count > 0) uidls = pop3.UidlAll().value_or(std::vector<std::string>{});
    auto uidl_of = [&](int n) { return static_cast<size_t>(n) < uidls.size() ? uidls[static_cast<size_t>(n)] : std::string(); };
    std::vector<int> unread;  // headers never read (all of them without UIDL)
    for (int n = 1; n <= count; ++n) {
      const std::string uidl = uidl_of(n);
      if (!uidl.empty()) {
        if (auto it = checked.find(uidl); it != checked.end()) {
          on_server.insert(*it);
          continue;
        }
      }
      unread.push_back(n);
    }
    listed = true;
    std::vector<long long> sizes;
    if (!unread.empty()) sizes = pop3.ListAll();
    static const CandidateTest kNoCandidates(RuleList{}, {});
    ParsedMessage message;
    for (auto [first, last] : Runs(unread)) {
      pop3.TopEach(first, last, message, [&](int n) {
        ui.Pump();
        if (Stopped()) return false;
        const std::string id = FiledMessageId(message);
        if (const std::string uidl = uidl_of(n); !uidl.empty()) on_server[uidl] = id;
        if (known.Contains(id) || notified_.contains(id)) return true;
        const ServerMessage shown = DescribeServerMessage(message, n, kNoCandidates);
        const auto k = static_cast<size_t>(n);
        const long long size = k < sizes.size() ? sizes[k] : -1;
        rows.push_back({account.name, shown.subject, shown.sender, checked_at, size >= 0 ? std::to_string(size) : "", id});
        notified_.insert(id);
        return true;
      });
      if (Stopped()) break;
    }
  } catch (const std::exception& e) {
    // A broken line or a refused command ends this account's check; what was found stays, and
    // the failure is told: a count of what was found would otherwise pass for the whole.
    if (!Stopped()) unreachable_.emplace_back(account.name, AsAppError(e).text());
  }
  if (listed) checked = std::move(on_server);
  QuietDisconnect(pop3);
  return rows;
}

std::vector<NewMailRow> NewMailCheck::CheckAllAccounts(const MailboxState& state, Pop3Client& pop3, UiPort& ui,
                                                       const std::string* only) {
  std::vector<NewMailRow> rows;
  unreachable_.clear();
  for (const std::string& line : state.AccountList) {
    if (Stopped()) break;
    const AccountRecord account = AccountRecord::Parse(line);
    if (only && account.name != *only) continue;
    QuietDisconnect(pop3);
    ConfigurePop3For(account, pop3);
    mail_root_ = state.MailRoot;
    const auto kept = CheckedMessagesFile(state.MailRoot, account.name);
    if (loaded_.insert(account.name).second) LoadChecked(account.name, kept);
    try {
      pop3.Connect();
    } catch (const std::exception& e) {
      unreachable_.emplace_back(account.name, ConnectFailureText(AsAppError(e)));  // skipped
      QuietDisconnect(pop3);
      continue;
    }
    auto found = CheckAccount(state, account, pop3, ui);
    rows.insert(rows.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    try {
      SaveChecked(account.name, kept);
    } catch (const std::exception& e) {
      unreachable_.emplace_back(account.name, AsAppError(e).text());
    }
  }
  return rows;
}

std::string NewMailCheck::FailureText() const {
  std::string text;
  for (const auto& [name, reason] : unreachable_) text += (text.empty() ? "" : "\r\n") + name + ": " + reason;
  return text;
}

void NewMailCheck::Forget() {
  notified_.clear();
  if (!mail_root_.empty())
    for (const std::string& account : loaded_) RemoveRecursively(CheckedMessagesFile(mail_root_, account));
  checked_.clear();
  loaded_.clear();
}

void NewMailCheck::LoadChecked(const std::string& account, const std::filesystem::path& file) {
  std::vector<std::string> lines;
  ReadLines(file, lines);
  loaded_.insert(account);
  auto& checked = checked_[account];
  for (const std::string& line : lines) {
    const std::string uidl = FieldOf(line, 0);
    if (!uidl.empty()) checked[uidl] = FieldOf(line, 1);
  }
}

void NewMailCheck::SaveChecked(const std::string& account, const std::filesystem::path& file) const {
  std::vector<std::string> lines;
  if (auto it = checked_.find(account); it != checked_.end())
    for (const auto& [uidl, id] : it->second) lines.push_back(uidl + "\t" + id);
  EnsureDirectory(file.parent_path());
  WriteLines(file, lines);
}

std::filesystem::path CheckedMessagesFile(const std::filesystem::path& mail_root, const std::string& account) {
  return ToNativePath(mail_root, AccountFolderPath(account)) / std::string(kCheckedMessagesFileName);
}

}  // namespace plumex

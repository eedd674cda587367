// The delayed-send queue under "AfterSend\": one entry folder per queued message with its
// SmtpSettingList, SendHeaderList, body, attachment entries and, for a merge, the sheet it
// was queued with; the index "AfterSend.ini" lists "due TAB entry folder", sorted by the due
// time, a local date and time "yyyy/mm/dd_hhnnss". The clock is given, so a test can move it.
#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/app_error.h"
#include "send/send_mail.h"

namespace plumex {

struct QueueEntry {
  std::string due;     // "yyyy/mm/dd_hhnnss"; an entry of the old two-digit form reads as due at once
  std::string folder;  // the entry folder's name under "AfterSend\"
};

struct QueueTickResult {
  int sent = 0;
  std::vector<std::string> sent_merges;  // entry folders of merges sent (their log is new)
  std::vector<std::pair<QueueEntry, AppError>> failed;  // stay queued, tried again next tick
  int missing = 0;  // entries whose files were gone: dropped
  bool active = false;  // the queue still holds entries
};

class SendQueue {
 public:
  using Clock = std::function<std::time_t()>;
  // How a due entry goes out; throws on failure (the real one is SendMail).
  using Sender = std::function<void(const SendRequest&)>;

  explicit SendQueue(std::filesystem::path mail_root, Clock clock = nullptr);

  void SetClock(Clock clock) { clock_ = std::move(clock); }
  // The queue is active while its index exists.
  bool Active() const;
  // Writes the entry folder (a new one for every message, even two in one second) and its
  // index line; returns the entry. The settings file holds the password: like every store
  // file it is the owner's alone.
  QueueEntry Enqueue(const SendRequest& request, long long delay_minutes);
  std::vector<QueueEntry> Entries() const;
  // The request an entry holds; nothing when one of its files is missing.
  std::optional<SendRequest> Load(const QueueEntry& entry) const;
  // Sends every entry whose time has passed, in due order. A failing entry stays and the
  // next ones still go; one whose files are gone is dropped. The index goes once empty.
  QueueTickResult RunDue(const Sender& send);
  // "時差送信解除": every entry goes, those of earlier runs too.
  void CancelAll();
  // Removes the named entries; returns the names not queued.
  std::vector<std::string> Cancel(const std::vector<std::string>& folders);

  std::filesystem::path Dir() const;

 private:
  void RemoveIndex() const;
  void WriteEntries(const std::vector<QueueEntry>& entries) const;
  std::time_t Now() const;

  std::filesystem::path mail_root_;
  Clock clock_;
};

// "yyyy/mm/dd_hhnnss" of a local time.
std::string FormatDueTime(std::time_t t);

}  // namespace plumex

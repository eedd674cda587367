#include "send/send_queue.h"

#include <algorithm>

#include "platform/clock.h"
#include "platform/directories.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "port/error_text.h"
#include "send/key_value_lines.h"
#include "text/sjis_text.h"
#include "store/store_texts.h"
#include "store/tab_line.h"

namespace plumex {
namespace {

constexpr const char* kQueueDir = "AfterSend";
constexpr const char* kIndexFile = "AfterSend.ini";
constexpr const char* kSettingsFile = "SendSMTP.ini";
constexpr const char* kHeaderFile = "SendHeader.ini";
constexpr const char* kBodyFile = "SendBody.ini";
constexpr const char* kAttachFile = "SendAttach.ini";
constexpr const char* kSheetFile = "SendSheet.csv";
constexpr const char* kThreadFile = "SendThread.ini";  // In-Reply-To and References of a reply
// An entry of the old two-digit form counted minutes of a run long gone: it is due at once.
constexpr const char* kDueAtOnce = "0000/00/00_000000";

bool IsMerge(const std::vector<std::string>& headers) { return !ValueOf(headers, Sjis(texts::kKeyMergeFile)).empty(); }

// The entry folder's own name, from "AfterSend\NAME\" or a full path of either kind.
std::string FolderName(std::string_view field) {
  while (!field.empty() && (field.back() == '\\' || field.back() == '/')) field.remove_suffix(1);
  const size_t cut = field.find_last_of("\\/");
  return std::string(cut == std::string_view::npos ? field : field.substr(cut + 1));
}

std::string FolderNameFor(std::time_t t) {
  const LocalDateTime l = ToLocal(t);
  return Pad4(l.year) + Pad2(l.month) + Pad2(l.day) + "_" + Pad2(l.hour) + Pad2(l.minute) + Pad2(l.second);
}

}  // namespace

void SendQueue::RemoveIndex() const {
  std::error_code ignored;
  std::filesystem::remove(Dir() / kIndexFile, ignored);
}

std::string FormatDueTime(std::time_t t) {
  const LocalDateTime l = ToLocal(t);
  return Pad4(l.year) + "/" + Pad2(l.month) + "/" + Pad2(l.day) + "_" + Pad2(l.hour) + Pad2(l.minute) + Pad2(l.second);
}

SendQueue::SendQueue(std::filesystem::path mail_root, Clock clock)
    : mail_root_(std::move(mail_root)), clock_(std::move(clock)) {}

std::filesystem::path SendQueue::Dir() const { return mail_root_ / kQueueDir; }

std::time_t SendQueue::Now() const { return clock_ ? clock_() : NowSeconds(); }

bool SendQueue::Active() const { return FileExists(Dir() / kIndexFile); }

std::vector<QueueEntry> SendQueue::Entries() const {
  std::vector<std::string> lines;
  ReadLines(Dir() / kIndexFile, lines);
  std::vector<QueueEntry> entries;
  for (const std::string& line : lines) {
    if (line.empty()) continue;
    QueueEntry e{FieldOf(line, 0), FolderName(FieldOf(line, 1))};
    if (e.due.size() != std::string_view(kDueAtOnce).size()) e.due = kDueAtOnce;
    entries.push_back(std::move(e));
  }
  std::stable_sort(entries.begin(), entries.end(), [](const QueueEntry& a, const QueueEntry& b) { return a.due < b.due; });
  return entries;
}

void SendQueue::WriteEntries(const std::vector<QueueEntry>& entries) const {
  std::vector<std::string> lines;
  for (const QueueEntry& e : entries) lines.push_back(e.due + "\t" + std::string(kQueueDir) + "\\" + e.folder + "\\");
  WriteLines(Dir() / kIndexFile, lines);
}

QueueEntry SendQueue::Enqueue(const SendRequest& request, long long delay_minutes) {
  EnsureDirectory(Dir());
  std::vector<QueueEntry> entries = Entries();
  const std::time_t now = Now();
  QueueEntry entry{FormatDueTime(now + static_cast<std::time_t>(delay_minutes) * 60), FolderNameFor(now)};
  // Two messages queued in one second get folders of their own.
  const std::string stem = entry.folder;
  for (int n = 2; DirectoryExists(Dir() / NativeName(entry.folder)) ||
                  std::any_of(entries.begin(), entries.end(), [&](const QueueEntry& e) { return e.folder == entry.folder; });
       ++n)
    entry.folder = stem + "_" + std::to_string(n);
  const std::filesystem::path folder = Dir() / NativeName(entry.folder);
  EnsureDirectory(folder);
  WriteLines(folder / kSettingsFile, request.settings);
  WriteLines(folder / kHeaderFile, request.headers);
  WriteLines(folder / kBodyFile, request.body);
  WriteLines(folder / kAttachFile, request.attachments);
  // A merge goes out with the sheet it was queued with, whatever the window holds by then.
  if (IsMerge(request.headers)) WriteLines(folder / kSheetFile, request.merge_sheet);
  // A reply keeps its thread while it waits.
  const Threading thread = ThreadingOfRequest(request);
  if (!thread.references.empty())
    WriteLines(folder / kThreadFile, {"In-Reply-To:" + thread.in_reply_to, "References:" + thread.references});
  entries.push_back(entry);
  std::stable_sort(entries.begin(), entries.end(), [](const QueueEntry& a, const QueueEntry& b) { return a.due < b.due; });
  WriteEntries(entries);
  return entry;
}

std::optional<SendRequest> SendQueue::Load(const QueueEntry& entry) const {
  const std::filesystem::path folder = Dir() / NativeName(entry.folder);
  SendRequest request;
  if (!ReadLines(folder / kSettingsFile, request.settings) || !ReadLines(folder / kHeaderFile, request.headers) ||
      !ReadLines(folder / kBodyFile, request.body) || !ReadLines(folder / kAttachFile, request.attachments))
    return std::nullopt;
  if (IsMerge(request.headers) && !ReadLines(folder / kSheetFile, request.merge_sheet)) return std::nullopt;
  std::vector<std::string> thread;
  if (ReadLines(folder / kThreadFile, thread))
    SetThreading(request, {ValueOf(thread, "In-Reply-To"), ValueOf(thread, "References")});
  return request;
}

QueueTickResult SendQueue::RunDue(const Sender& send) {
  QueueTickResult result;
  const std::string now = FormatDueTime(Now());
  // The index is read again after every entry: a message queued while one was being sent
  // (the window stays live during a send) keeps its line.
  auto drop = [this](const std::string& folder) {
    std::vector<QueueEntry> entries = Entries();
    std::erase_if(entries, [&](const QueueEntry& e) { return e.folder == folder; });
    RemoveRecursively(Dir() / NativeName(folder));
    WriteEntries(entries);
  };
  for (const QueueEntry& entry : Entries()) {
    if (entry.due > now) break;
    std::optional<SendRequest> request = Load(entry);
    if (!request) {
      ++result.missing;
      drop(entry.folder);
      continue;
    }
    try {
      send(*request);
    } catch (const std::exception& e) {
      result.failed.emplace_back(entry, AsAppError(e));
      continue;
    }
    ++result.sent;
    if (IsMerge(request->headers)) result.sent_merges.push_back(entry.folder);
    drop(entry.folder);
  }
  if (Active() && Entries().empty()) RemoveIndex();
  result.active = Active();
  return result;
}

void SendQueue::CancelAll() {
  if (RemoveRecursively(Dir())) EnsureDirectory(Dir());
}

std::vector<std::string> SendQueue::Cancel(const std::vector<std::string>& folders) {
  std::vector<QueueEntry> entries = Entries();
  std::vector<std::string> unknown;
  for (const std::string& name : folders) {
    const std::string folder = FolderName(name);
    const auto before = entries.size();
    std::erase_if(entries, [&](const QueueEntry& e) { return e.folder == folder; });
    if (entries.size() == before) {
      unknown.push_back(name);
      continue;
    }
    RemoveRecursively(Dir() / NativeName(folder));
  }
  if (entries.empty()) RemoveIndex();
  else WriteEntries(entries);
  return unknown;
}

}  // namespace plumex

#include "store/maintenance.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_set>

#include "text/ascii_case.h"
#include "platform/directories.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "platform/unique_fd.h"
#include "store/file_key.h"
#include "store/index_row.h"
#include "store/message_file_key.h"
#include "store/store_texts.h"
#include "store/tab_line.h"
#include "store/sorted_line_list.h"
#include "store/store_layout.h"
#include "store/stored_message.h"

namespace fs = std::filesystem;

namespace plumex {
namespace {

std::string_view IdOf(std::string_view row) { return row.substr(0, row.find('\t')); }

// The pseudo-header lines of a message file: read in pieces up to the separator, so a large
// message costs no more than its first lines.
std::vector<std::string> ReadPseudoHeader(const fs::path& file) {
  UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  // A leading line end lets a separator on the first line be found like any other.
  std::string text = "\n";
  if (!fd) return {};
  char buffer[4096];
  const std::string separator = std::string("\n") + std::string(kStoredMessageSeparator);
  for (;;) {
    ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
    if (text.find(separator) != std::string::npos) break;
  }
  std::vector<std::string> lines = SplitLines(std::string_view(text).substr(1));
  auto end = std::find(lines.begin(), lines.end(), kStoredMessageSeparator);
  lines.erase(end, lines.end());
  return lines;
}

// The value of the first line whose key (before its first ":") equals key, ignoring case.
std::optional<std::string> ValueOf(const std::vector<std::string>& lines, std::string_view key) {
  for (const auto& line : lines) {
    size_t colon = line.find(':');
    if (colon != std::string::npos && EqualIgnoringCase(std::string_view(line).substr(0, colon), key))
      return line.substr(colon + 1);
  }
  return std::nullopt;
}

// A message file names an orphan candidate when it ends in ".txt" and starts with a digit (the
// FileKey of an ordinary Message-ID starts with "0"); files starting with a letter are never
// indexed.
bool IsMessageFileName(std::string_view name) {
  return name.size() > 4 && name.substr(name.size() - 4) == ".txt" && name[0] >= '0' && name[0] <= '9';
}

// The row of a message file no row names, or nothing when its "差出人" is empty. Its id is the
// file's own Message-ID when that Message-ID leads to this file, so look-ups by Message-ID find
// it; the file key only when there is no such line.
// A file that a row names through the key rule of filing (a distinct key beside another id's
// plain one, or a key made before keys were made by character) is no orphan: nothing.
std::optional<std::string> RebuiltRow(const fs::path& folder, const std::string& name,
                                      const std::unordered_set<std::string>& row_ids) {
  const std::vector<std::string> header = ReadPseudoHeader(folder / NativeName(name));
  const std::string key = name.substr(0, name.size() - 4);
  const auto message_id = ValueOf(header, "Message-ID");
  const bool leads_here = message_id && !message_id->empty() && FileKeyInFolder(folder, *message_id) == key;
  if (leads_here && row_ids.count(*message_id)) return std::nullopt;
  std::string from = ValueOf(header, Sjis(texts::kKeyFrom)).value_or("");
  if (from.empty()) return std::nullopt;
  std::string id = key;
  if (leads_here) id = *message_id;
  auto field = [&](std::string_view k) { return ValueOf(header, Sjis(k)).value_or(""); };
  return id + "\t" + field(texts::kKeySubject) + "\t" + from + "\t" + field(texts::kKeyDate) + "\t" +
         field(texts::kKeyFileSize) + "\t2\t1\t2";
}

}  // namespace

RepairedIndex RepairIndex(const fs::path& folder, std::vector<std::string> lines) {
  RepairedIndex out;
  const size_t before = lines.size();
  // Sorted ignoring case with equal lines once; then of each run of one MessageId the first row
  // stays. A row without an id names no message and goes.
  SortedLineList sorted(std::move(lines));
  std::string last;
  for (const std::string& row : sorted.Lines()) {
    std::string_view id = IdOf(row);
    if (id.empty() || id == last) continue;
    out.rows.push_back(row);
    last = id;
  }
  out.duplicates_removed = before - out.rows.size();

  std::unordered_set<std::string> named;
  std::unordered_set<std::string> row_ids;
  named.reserve(out.rows.size());
  row_ids.reserve(out.rows.size());
  for (const auto& row : out.rows) {
    named.insert(MakeFileKey(IdOf(row)) + ".txt");
    row_ids.emplace(IdOf(row));
  }
  std::vector<std::string> orphans;
  for (std::string& name : ListFiles(folder))
    if (IsMessageFileName(name) && !named.count(name)) orphans.push_back(std::move(name));
  // In the order of a list sorted ignoring case.
  std::stable_sort(orphans.begin(), orphans.end(),
                   [](const std::string& a, const std::string& b) { return CompareIgnoringCase(a, b) < 0; });
  for (const auto& name : orphans)
    if (auto row = RebuiltRow(folder, name, row_ids)) {
      out.rows.push_back(std::move(*row));
      ++out.rows_rebuilt;
    }
  return out;
}

namespace {

bool RepairBelow(const fs::path& dir, const std::string& store_path, const std::function<bool()>& before_each,
                 std::vector<FolderRepair>& done) {
  for (const std::string& name : ListSubdirectories(dir)) {
    if (before_each && !before_each()) return false;
    if (name == kAttachmentDirName) continue;
    const fs::path folder = dir / NativeName(name);
    const fs::path index_file = folder / std::string(kReceiveIndexName);
    std::vector<std::string> lines;
    if (!ReadLines(index_file, lines)) continue;
    const std::vector<std::string> old = lines;
    RepairedIndex repaired = RepairIndex(folder, std::move(lines));
    if (repaired.rows != old) WriteLines(index_file, repaired.rows);
    const std::string path = store_path + name + "\\";
    long long unread = 0;
    for (const auto& row : repaired.rows)
      if (FieldOf(row, IndexRow::kMark) == kMarkUnread) ++unread;
    done.push_back({path, repaired.duplicates_removed, repaired.rows_rebuilt, unread});
    if (!RepairBelow(folder, path, before_each, done)) return false;
  }
  return true;
}

// Rows without repeats of one MessageId (the first of each run in sorted order stays) and
// without rows that name no message.
std::vector<std::string> WithoutRepeats(std::vector<std::string> lines) {
  SortedLineList sorted(std::move(lines));
  std::vector<std::string> out;
  std::string last;
  for (const std::string& row : sorted.Lines()) {
    std::string_view id = IdOf(row);
    if (id.empty() || id == last) continue;
    out.push_back(row);
    last = id;
  }
  return out;
}

// The row of a sent copy no index names: its recipient, subject and date as its pseudo-header
// holds them, read, its size on disk.
std::string RebuiltSentRow(const fs::path& folder, const std::string& name) {
  const fs::path file = folder / NativeName(name);
  const std::vector<std::string> header = ReadPseudoHeader(file);
  const std::string key = name.substr(0, name.size() - 4);
  std::string id = key;
  if (auto message_id = ValueOf(header, "Message-ID"); message_id && !message_id->empty() && MakeFileKey(*message_id) == key)
    id = *message_id;
  auto field = [&](std::string_view k) { return ValueOf(header, Sjis(k)).value_or(""); };
  std::error_code ec;
  const auto size = fs::file_size(file, ec);
  return id + "\t" + field(texts::kKeySubject) + "\t" + field(texts::kKeyTo) + "\t" + field(texts::kKeyDate) + "\t" +
         std::to_string(ec ? 0 : size) + "\t2\t2\t2";
}

// Every folder below dir (and dir itself) holding a "Send.ini", depth first.
void SendIndexes(const fs::path& dir, const std::string& store_path, std::vector<std::pair<fs::path, std::string>>& out) {
  if (FileExists(dir / std::string(kSendIndexName))) out.emplace_back(dir, store_path);
  for (const std::string& name : ListSubdirectories(dir))
    if (name != kAttachmentDirName) SendIndexes(dir / NativeName(name), store_path + name + "\\", out);
}

}  // namespace

std::vector<FolderRepair> RepairSendFolders(const fs::path& send_dir, const std::string& store_path,
                                            const std::function<bool()>& before_each, bool* completed) {
  std::vector<FolderRepair> done;
  if (completed) *completed = false;
  std::vector<std::pair<fs::path, std::string>> folders;
  SendIndexes(send_dir, store_path, folders);
  std::unordered_set<std::string> named;
  std::vector<std::string> root_rows;
  FolderRepair root{store_path, 0, 0, 0};
  bool root_changed = false;
  for (const auto& [folder, path] : folders) {
    if (before_each && !before_each()) return done;
    const fs::path index_file = folder / std::string(kSendIndexName);
    std::vector<std::string> lines;
    if (!ReadLines(index_file, lines)) continue;
    std::vector<std::string> rows = WithoutRepeats(lines);
    for (const auto& row : rows) named.insert(MakeFileKey(IdOf(row)) + ".txt");
    const size_t removed = lines.size() - rows.size();
    if (folder == send_dir) {
      root.duplicates_removed = removed;
      root_changed = rows != lines;
      root_rows = std::move(rows);
    } else if (rows != lines) {
      WriteLines(index_file, rows);
      done.push_back({path, removed, 0, 0});
    }
  }
  // All copies live in "送信" itself; one that no index of the tree names is listed there.
  std::vector<std::string> orphans;
  for (std::string& name : ListFiles(send_dir))
    if (IsMessageFileName(name) && !named.count(name)) orphans.push_back(std::move(name));
  std::stable_sort(orphans.begin(), orphans.end(),
                   [](const std::string& a, const std::string& b) { return CompareIgnoringCase(a, b) < 0; });
  for (const auto& name : orphans) root_rows.push_back(RebuiltSentRow(send_dir, name));
  root.rows_rebuilt = orphans.size();
  if (root_changed || !orphans.empty()) {
    WriteLines(send_dir / std::string(kSendIndexName), root_rows);
    done.insert(done.begin(), root);
  }
  if (completed) *completed = true;
  return done;
}

std::vector<FolderRepair> RepairFolders(const fs::path& dir, const std::string& store_path,
                                        const std::function<bool()>& before_each, bool* completed) {
  std::vector<FolderRepair> done;
  bool finished = RepairBelow(dir, store_path, before_each, done);
  if (completed) *completed = finished;
  return done;
}

}  // namespace plumex

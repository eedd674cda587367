#include "search/extraction.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <system_error>

#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "platform/unique_fd.h"
#include "search/folded_match.h"
#include "search/search_texts.h"
#include "store/store_layout.h"
#include "store/store_texts.h"
#include "store/stored_message.h"

namespace plumex {
namespace {

struct MessageFile {
  std::string name;  // native
  size_t folder;     // into the folder lists
};

// Lists the message files under dir depth first, entries in the byte order of their names.
// False when a stop cut the listing short.
bool ListMessageFiles(const std::filesystem::path& dir, const std::string& folder, std::vector<std::string>& folders,
                      std::vector<std::filesystem::path>& dirs, std::vector<MessageFile>& files, WalkPacer& pacer) {
  std::vector<std::pair<std::string, bool>> entries;  // native name, is a directory
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    // A folder of a hundred thousand files takes a while to read.
    if (entries.size() % 1024 == 1023 && pacer.Stop(0, 0)) return false;
    std::error_code type_ec;
    bool is_dir = it->is_directory(type_ec);
    entries.emplace_back(it->path().filename().string(), is_dir && !type_ec);
  }
  std::sort(entries.begin(), entries.end());
  size_t here = folders.size();
  const bool here_is_send_root = folder == SendFolderPath();
  static const std::string merge_log = NativeName(Sjis(texts::kMergeLogName));
  folders.push_back(folder);
  dirs.push_back(dir);
  for (const auto& [name, is_dir] : entries) {
    if (pacer.Stop(0, 0)) return false;
    if (is_dir) {
      if (name == kAttachmentDirName) continue;
      if (!ListMessageFiles(dir / name, folder + StoreName(name) + "\\", folders, dirs, files, pacer)) return false;
    } else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0 &&
               !(here_is_send_root && name == merge_log)) {
      // The merge log of "送信" is no message, whatever addresses it names.
      files.push_back({name, here});
    }
  }
  return true;
}

// The whole file (opened by name relative to the directory dir_fd: no path walk per file)
// into buffer; false when it cannot be read.
bool ReadInto(int dir_fd, const std::string& name, std::string& buffer) {
  UniqueFd fd(::openat(dir_fd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  if (!fd) return false;
  struct stat st;
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  buffer.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  // The size stat gave is trusted: one read for a file that is not being written to.
  const auto expected = static_cast<size_t>(st.st_size);
  while (got < expected || expected == 0) {
    if (got == buffer.size()) buffer.resize(got + 4096 + got / 2);
    ssize_t n = ::read(fd.get(), buffer.data() + got, buffer.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  buffer.resize(got);
  return true;
}

}  // namespace

std::string ExtractionRow(std::string_view file_text, const std::string& folder) {
  StoredMessage m = ParseStoredMessage(SplitLines(file_text));
  std::string row = m.ValueOr(Sjis(texts::kKeyMessageId));
  for (std::string_view key : {texts::kKeySubject, texts::kKeyFrom, texts::kKeyDate, texts::kKeyFileSize}) {
    row += '\t';
    row += m.ValueOr(Sjis(key));
  }
  // No attachment flag, mark or priority: the row shows the no-attachment icon.
  row += "\t\t\t\t";
  row += folder;
  return row;
}

ExtractionResult ExtractMessages(const std::filesystem::path& mail_root, const std::string& folder,
                                 const std::string& key, UiPort& ui, const bool& stop_requested,
                                 std::chrono::milliseconds pump_interval, const ExtractionConfirm& confirm) {
  ExtractionResult result;
  WalkPacer pacer(ui, stop_requested, pump_interval);
  std::vector<std::string> folders;
  std::vector<std::filesystem::path> dirs;
  std::vector<MessageFile> files;
  if (!ListMessageFiles(ToNativePath(mail_root, folder), folder, folders, dirs, files, pacer)) {
    result.stopped = true;
    return result;
  }
  FoldedKey folded(key);
  const int total = static_cast<int>(std::min<size_t>(files.size(), 0x7FFFFFFF));
  std::string text, scratch;
  UniqueFd dir_fd;
  size_t open_folder = SIZE_MAX;
  for (size_t i = 0; i < files.size(); ++i) {
    if (pacer.Stop(static_cast<int>(i), total)) {
      result.stopped = true;
      return result;
    }
    ++result.files_tested;
    if (files[i].folder != open_folder) {
      open_folder = files[i].folder;
      dir_fd = UniqueFd(::open(dirs[open_folder].c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    }
    if (!dir_fd || !ReadInto(dir_fd.get(), files[i].name, text)) continue;
    if (folded.FoundIn(text, scratch) && (!confirm || confirm(dirs[open_folder] / files[i].name)))
      result.rows.push_back(ExtractionRow(text, folders[files[i].folder]));
  }
  ui.SetProgress(total, total);
  return result;
}

}  // namespace plumex

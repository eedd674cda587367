#include "search/extraction.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <system_error>

#include "platform/sjis_text.h"
#include "platform/store_path.h"
#include "platform/text_file.h"
#include "platform/unique_fd.h"
#include "search/folded_match.h"
#include "search/search_texts.h"
#include "store/store_layout.h"
#include "store/stored_message.h"

namespace plumex {
namespace {

struct MessageFile {
  std::filesystem::path path;
  size_t folder;  // into the folder list
};

// Lists the message files under dir depth first, entries in the byte order of their names.
// False when a stop cut the listing short.
bool ListMessageFiles(const std::filesystem::path& dir, const std::string& folder, std::vector<std::string>& folders,
                      std::vector<MessageFile>& files, WalkPacer& pacer) {
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
  folders.push_back(folder);
  for (const auto& [name, is_dir] : entries) {
    if (pacer.Stop(0, 0)) return false;
    if (is_dir) {
      if (name == kAttachmentDirName) continue;
      if (!ListMessageFiles(dir / name, folder + StoreName(name) + "\\", folders, files, pacer)) return false;
    } else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0) {
      files.push_back({dir / name, here});
    }
  }
  return true;
}

// The whole file into buffer; false when it cannot be read.
bool ReadInto(const std::filesystem::path& path, std::string& buffer) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return false;
  struct stat st;
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  buffer.resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  for (;;) {
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
                                 std::chrono::milliseconds pump_interval) {
  ExtractionResult result;
  WalkPacer pacer(ui, stop_requested, pump_interval);
  std::vector<std::string> folders;
  std::vector<MessageFile> files;
  if (!ListMessageFiles(ToNativePath(mail_root, folder), folder, folders, files, pacer)) {
    result.stopped = true;
    return result;
  }
  FoldedKey folded(key);
  const int total = static_cast<int>(std::min<size_t>(files.size(), 0x7FFFFFFF));
  std::string text, scratch;
  for (size_t i = 0; i < files.size(); ++i) {
    if (pacer.Stop(static_cast<int>(i), total)) {
      result.stopped = true;
      return result;
    }
    ++result.files_tested;
    if (!ReadInto(files[i].path, text)) continue;
    if (folded.FoundIn(text, scratch)) result.rows.push_back(ExtractionRow(text, folders[files[i].folder]));
  }
  ui.SetProgress(total, total);
  return result;
}

}  // namespace plumex

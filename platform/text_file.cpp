#include "platform/text_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <fstream>

#include "platform/atomic_file.h"
#include "platform/file_start.h"
#include "platform/platform_texts.h"
#include "platform/private_files.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"
#include "platform/unique_fd.h"

namespace plumex {

AppError NotAFileError(const std::filesystem::path& path) {
  return AppError(ErrorKind::LocalFile, Sjis(texts::kNotAFile) + DisplayPath(path));
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path) { return ReadFileStart(path, SIZE_MAX); }

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  ForEachLine(text, [&](std::string_view line, std::string_view) { lines.emplace_back(line); });
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  size_t total = 0;
  for (const auto& l : lines) total += l.size() + 2;
  std::string out;
  out.reserve(total);
  for (const auto& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

bool ReadLines(const std::filesystem::path& path, std::vector<std::string>& lines) {
  auto data = ReadFileBytes(path);
  if (!data) {
    lines.clear();
    return false;
  }
  lines = SplitLines(*data);
  return true;
}

void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes, bool sync) {
  AtomicFile file(path);
  file.Write(bytes);
  file.Commit(sync);
}

bool SyncPath(const std::filesystem::path& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  return fd && ::fsync(fd.get()) == 0;
}

void AppendToFile(const std::filesystem::path& path, std::string_view bytes, bool sync) {
  UniqueFd fd = OpenPrivateFile(path, O_APPEND);
  if (!fd) throw FileWriteError::ForPath(path);
  const off_t old_size = ::lseek(fd.get(), 0, SEEK_END);
  if (!WriteAll(fd.get(), bytes)) {
    // A part of the bytes would leave a broken record: cut it off again, as far as the system
    // lets us (the failed write is what is reported either way).
    [[maybe_unused]] const bool cut = old_size >= 0 && ::ftruncate(fd.get(), old_size) == 0;
    throw FileWriteError::ForPath(path);
  }
  if ((sync && ::fsync(fd.get()) != 0) || !fd.close()) throw FileWriteError::ForPath(path);
}

void WriteLines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  WriteFileAtomic(path, JoinLines(lines));
}

}  // namespace plumex

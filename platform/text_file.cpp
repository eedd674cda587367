#include "platform/text_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>

namespace plumex {

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string data;
  in.seekg(0, std::ios::end);
  auto size = in.tellg();
  if (size > 0) {
    data.resize(static_cast<size_t>(size));
    in.seekg(0, std::ios::beg);
    in.read(data.data(), size);
    data.resize(static_cast<size_t>(in.gcount()));
  }
  if (in.bad()) return std::nullopt;
  return data;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < n) lines.emplace_back(text.substr(start));
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

namespace {

std::string ErrorText(const std::filesystem::path& path, const char* what) {
  return std::string(what) + " " + path.string() + ": " + std::strerror(errno);
}

// Writes all bytes to fd; false (errno set) on failure.
bool WriteAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t w = ::write(fd, p, left);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    left -= static_cast<size_t>(w);
  }
  return true;
}

}  // namespace

void WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes, bool sync) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path temp = path;
  temp += ".tmp" + std::to_string(getpid()) + "_" + std::to_string(counter++);
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw FileWriteError(ErrorText(temp, "cannot create"));
  if (!WriteAll(fd, bytes)) {
    std::string msg = ErrorText(temp, "cannot write");
    ::close(fd);
    ::unlink(temp.c_str());
    throw FileWriteError(msg);
  }
  if ((sync && ::fsync(fd) != 0) || ::close(fd) != 0) {
    std::string msg = ErrorText(temp, "cannot flush");
    ::unlink(temp.c_str());
    throw FileWriteError(msg);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    std::string msg = ErrorText(path, "cannot replace");
    ::unlink(temp.c_str());
    throw FileWriteError(msg);
  }
}

bool SyncPath(const std::filesystem::path& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

void AppendToFile(const std::filesystem::path& path, std::string_view bytes, bool sync) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) throw FileWriteError(ErrorText(path, "cannot open"));
  if (!WriteAll(fd, bytes)) {
    std::string msg = ErrorText(path, "cannot write");
    ::close(fd);
    throw FileWriteError(msg);
  }
  if ((sync && ::fsync(fd) != 0) || ::close(fd) != 0) throw FileWriteError(ErrorText(path, "cannot flush"));
}

void WriteLines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  WriteFileAtomic(path, JoinLines(lines));
}

}  // namespace plumex

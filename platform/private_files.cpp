#include "platform/private_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace plumex {

UniqueFd OpenPrivateFile(const std::filesystem::path& path, int flags) {
  UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | flags, kPrivateFileMode));
  // The umask may have taken bits from a new file, and a file that was there keeps its old
  // mode: set it either way.
  if (fd && ::fchmod(fd.get(), kPrivateFileMode) != 0) fd.reset();
  return fd;
}

bool MakePrivateDirectory(const std::filesystem::path& dir) {
  if (::mkdir(dir.c_str(), kPrivateDirectoryMode) != 0) return false;
  // A umask such as 0277 would leave the owner unable to write into the new directory.
  return ::chmod(dir.c_str(), kPrivateDirectoryMode) == 0;
}

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

}  // namespace plumex

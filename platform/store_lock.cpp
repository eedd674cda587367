#include "platform/store_lock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <thread>

#include "platform/directories.h"
#include "platform/file_write_error.h"

namespace plumex {

std::optional<StoreLock> StoreLock::Acquire(const std::filesystem::path& mail_root, std::chrono::milliseconds wait) {
  EnsureDirectory(mail_root);
  const auto file = mail_root / kStoreLockName;
  UniqueFd fd(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (!fd) throw FileWriteError::ForPath(file, errno);
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) return StoreLock(std::move(fd));
    if (errno != EWOULDBLOCK && errno != EINTR) throw FileWriteError::ForPath(file, errno);
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

}  // namespace plumex

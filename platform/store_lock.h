// One writer per mail store. The window, for as long as it runs, and every plumex-cli command
// that writes the store hold an flock on MailRoot + "plumex.lock"; the kernel lets it go when
// the process ends however it ends, so a crash never leaves the store locked. Commands that
// only read never take it.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>

#include "platform/unique_fd.h"

namespace plumex {

inline constexpr const char* kStoreLockName = "plumex.lock";
// How long a second writer waits for the first before it gives up.
inline constexpr std::chrono::milliseconds kStoreLockWait{5000};

class StoreLock {
 public:
  // The lock of the store at mail_root, waiting up to `wait` while another process holds it;
  // nothing when it stayed taken. Throws FileWriteError when the lock file cannot be made.
  static std::optional<StoreLock> Acquire(const std::filesystem::path& mail_root,
                                          std::chrono::milliseconds wait = kStoreLockWait);

 private:
  explicit StoreLock(UniqueFd fd) : fd_(std::move(fd)) {}
  UniqueFd fd_;
};

}  // namespace plumex

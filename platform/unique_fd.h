// Sole owner of a POSIX file descriptor: closed when the owner goes away, so no error path
// can leak it. Move-only, like std::unique_ptr.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace plumex {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) noexcept : fd_(fd) {}
  ~UniqueFd() { reset(); }

  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const noexcept { return fd_; }
  explicit operator bool() const noexcept { return fd_ >= 0; }

  // Gives the descriptor up without closing it.
  int release() noexcept { return std::exchange(fd_, -1); }

  // Closes the descriptor held (if any) and takes fd. errno is kept as it was, so a caller
  // that is giving up after a failed call can still report why it failed.
  void reset(int fd = -1) noexcept {
    if (fd_ >= 0) {
      const int saved = errno;
      ::close(fd_);
      errno = saved;
    }
    fd_ = fd;
  }

  // Closes now and tells whether close succeeded: for a written file, a failing close can be
  // the first report of a lost write. The descriptor is gone either way.
  bool close() noexcept {
    if (fd_ < 0) return true;
    return ::close(std::exchange(fd_, -1)) == 0;
  }

 private:
  int fd_ = -1;
};

}  // namespace plumex

#include "platform/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "platform/private_files.h"

namespace plumex {

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)) {
  static std::atomic<unsigned> counter{0};
  temp_ = target_;
  temp_ += ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
  fd_ = OpenPrivateFile(temp_, O_TRUNC);
  if (!fd_) {
    // The open may have created the file before its mode could be set.
    const int error_number = errno;
    ::unlink(temp_.c_str());
    throw FileWriteError::ForPath(target_, error_number);
  }
}

AtomicFile::~AtomicFile() {
  if (committed_) return;
  fd_.reset();
  ::unlink(temp_.c_str());
}

void AtomicFile::Write(std::string_view bytes) {
  if (!fd_ || !WriteAll(fd_.get(), bytes)) throw FileWriteError::ForPath(target_);
}

void AtomicFile::Commit(bool sync) {
  if (!fd_ || (sync && ::fsync(fd_.get()) != 0) || !fd_.close() || ::rename(temp_.c_str(), target_.c_str()) != 0)
    throw FileWriteError::ForPath(target_);
  committed_ = true;
}

}  // namespace plumex

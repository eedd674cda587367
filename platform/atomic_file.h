// A file written in place of another: the bytes go to a temporary file (0600) in the same
// directory, and Commit() renames it over the target, so a reader sees the old file or the
// new one, never a part. Destroyed without a successful Commit(), it removes the temporary
// file; the target is then left as it was. Every failure throws FileWriteError naming the
// target.
#pragma once

#include <filesystem>
#include <string_view>

#include "platform/file_write_error.h"
#include "platform/unique_fd.h"

namespace plumex {

class AtomicFile {
 public:
  explicit AtomicFile(std::filesystem::path target);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  void Write(std::string_view bytes);

  // Flushes the file to disk (unless sync is false: a crash of the machine may then lose it)
  // and renames it over the target.
  void Commit(bool sync);

 private:
  std::filesystem::path target_;
  std::filesystem::path temp_;
  UniqueFd fd_;
  bool committed_ = false;
};

}  // namespace plumex

// The error of a file of the store that could not be written.
#pragma once

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/app_error.h"

namespace plumex {

// Raised when a file cannot be written; the old file, if any, is left as it was.
// The text is code page 932.
class FileWriteError : public AppError {
 public:
  explicit FileWriteError(const std::string& text, int error_number = 0)
      : AppError(ErrorKind::LocalFile, text), error_number_(error_number) {}

  // "ファイルに書き込めませんでした: " and the path, for the file the caller asked for; the
  // errno of the call that failed.
  static FileWriteError ForPath(const std::filesystem::path& path, int error_number = errno);

  // The errno of the failed call; 0 when not known.
  int error_number() const { return error_number_; }

 private:
  int error_number_;
};

// Whether a failure to write belongs to the store as a whole (disk full, read-only, no
// permission, I/O error, something else standing where a file or folder should be) rather
// than to the one file (a name too long or not allowed by the file system, as on a mounted
// FAT or encrypted folder). Unknown causes count as the store's.
bool IsStoreWideWriteFailure(int error_number);

}  // namespace plumex

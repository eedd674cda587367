// The error of a file of the store that could not be written.
#pragma once

#include <filesystem>
#include <string>

#include "platform/app_error.h"

namespace plumex {

// Raised when a file cannot be written; the old file, if any, is left as it was.
// The text is code page 932.
class FileWriteError : public AppError {
 public:
  explicit FileWriteError(const std::string& text) : AppError(ErrorKind::LocalFile, text) {}

  // "ファイルに書き込めませんでした: " and the path, for the file the caller asked for.
  static FileWriteError ForPath(const std::filesystem::path& path);
};

}  // namespace plumex

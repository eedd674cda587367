#include "platform/file_write_error.h"

#include "platform/platform_texts.h"
#include "platform/sjis_text.h"
#include "platform/store_path.h"

namespace plumex {

FileWriteError FileWriteError::ForPath(const std::filesystem::path& path) {
  return FileWriteError(Sjis(texts::kFileWriteFailed) + DisplayPath(path));
}

}  // namespace plumex

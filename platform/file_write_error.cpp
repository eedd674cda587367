#include "platform/file_write_error.h"

#include "platform/platform_texts.h"
#include "text/sjis_text.h"
#include "platform/store_path.h"

namespace plumex {

FileWriteError FileWriteError::ForPath(const std::filesystem::path& path, int error_number) {
  return FileWriteError(Sjis(texts::kFileWriteFailed) + DisplayPath(path), error_number);
}

bool IsStoreWideWriteFailure(int error_number) {
  switch (error_number) {
    case ENAMETOOLONG:
    case EILSEQ:
    case EINVAL: return false;
    default: return true;
  }
}

}  // namespace plumex

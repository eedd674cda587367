#include "platform/system_error_text.h"

#include <cerrno>

#include "text/code_page.h"
#include "platform/platform_texts.h"
#include "text/sjis_text.h"

namespace plumex {

std::string SystemErrorText(const std::error_code& code) {
  if (code.category() == std::generic_category() || code.category() == std::system_category()) {
    switch (code.value()) {
      case ENOENT: return Sjis(texts::kNoSuchFileOrFolder);
      case EACCES:
      case EPERM: return Sjis(texts::kAccessDenied);
      case EEXIST: return Sjis(texts::kFileExists);
      case ENOTDIR: return Sjis(texts::kNotAFolder);
      case EISDIR: return Sjis(texts::kIsAFolder);
      case ENOTEMPTY: return Sjis(texts::kFolderNotEmpty);
      case ENOSPC: return Sjis(texts::kDiskFull);
      case EDQUOT: return Sjis(texts::kDiskQuotaExceeded);
      case EROFS: return Sjis(texts::kReadOnlyDisk);
      case ENAMETOOLONG: return Sjis(texts::kNameTooLong);
      case EIO: return Sjis(texts::kDiskIoError);
      case EMFILE:
      case ENFILE: return Sjis(texts::kTooManyOpenFiles);
      case ECONNREFUSED: return Sjis(texts::kSocketRefused);
      case ETIMEDOUT: return Sjis(texts::kSocketTimedOut);
      case ECONNRESET: return Sjis(texts::kSocketReset);
      case ENETUNREACH: return Sjis(texts::kSocketNetworkUnreachable);
      case EHOSTUNREACH: return Sjis(texts::kSocketHostUnreachable);
      default: break;
    }
  }
  return Sjis(texts::kSystemErrorNumber) + std::to_string(code.value()) + " (" + Utf8ToCp932(code.message()) + ")";
}

}  // namespace plumex
